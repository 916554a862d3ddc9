// The two subdirectory operations of the local branch, alike on every
// platform; the walk under them is the platform's (WalkSubDirs).
#include "localfs/local_file_system.h"

namespace duplane {

bool LocalFileSystem::HasSubDirs(const std::string& path) {
  return WalkSubDirs(path, /*first_only=*/true, nullptr) > 0;
}

std::int32_t LocalFileSystem::ListSubDirs(const std::string& path,
                                          std::vector<std::string>* names) {
  names->clear();
  return WalkSubDirs(path, /*first_only=*/false, names);
}

}  // namespace duplane
