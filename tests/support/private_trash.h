// The Recycle Bin of a test program: a trash under /tmp, never the user's.
// GLib reads XDG_DATA_HOME once, at its first use, so a test program registers
// this as a global environment, which is set up before any test runs:
//   ::testing::AddGlobalTestEnvironment(new PrivateTrash);
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>
#include <string>

#include "support/file_tree.h"

namespace duplane {

class PrivateTrash : public ::testing::Environment {
 public:
  void SetUp() override {
    folder_ = std::make_unique<TempFolder>("trash");
    setenv("XDG_DATA_HOME", folder_->path().c_str(), 1);
  }
  void TearDown() override { folder_.reset(); }
  static std::string TrashFiles() { return std::string(getenv("XDG_DATA_HOME")) + "/Trash/files"; }

 private:
  std::unique_ptr<TempFolder> folder_;
};

}  // namespace duplane
