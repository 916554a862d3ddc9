// The Recycle Bin of a test program: XDG_DATA_HOME pointed at a folder under
// /tmp before anything can touch GIO (which reads it once), so the user's own
// trash is never used. A Remote Module process started later inherits it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/file_tree.h"

namespace duplane {

class PrivateTrash : public ::testing::Environment {
 public:
  void SetUp() override;
  void TearDown() override;
  // The folder the trash keeps the deleted entries in.
  static std::string TrashFiles();

 private:
  std::unique_ptr<TempFolder> folder_;
};

}  // namespace duplane
