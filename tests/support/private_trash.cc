// A trash of the test's own.
#include "support/private_trash.h"

#include <stdlib.h>

namespace duplane {

void PrivateTrash::SetUp() {
  folder_ = std::make_unique<TempFolder>("trash");
  setenv("XDG_DATA_HOME", folder_->path().c_str(), 1);
}

void PrivateTrash::TearDown() { folder_.reset(); }

std::string PrivateTrash::TrashFiles() {
  return std::string(getenv("XDG_DATA_HOME")) + "/Trash/files";
}

}  // namespace duplane
