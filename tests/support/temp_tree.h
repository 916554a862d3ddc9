// Temporary folders for the link and Remote Module tests, and a fingerprint of
// a whole tree to show that nothing in it changed. The folder helpers
// themselves live in file_tree.h.
#pragma once

#include <string>

#include "support/file_tree.h"

namespace duplane {

using TempTree = TempFolder;

// Every entry below `root` as "relative-path size mode mtime" lines, sorted.
std::string Fingerprint(const std::string& root);

}  // namespace duplane
