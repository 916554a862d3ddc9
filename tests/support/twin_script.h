// The script of every Link operation that the twin-folder tests run on two
// sides (the local branch, a Remote Module in a thread, a real module
// process): the folder it expects, and its results, one line each.
#pragma once

#include <string>
#include <vector>

#include "link/link.h"

namespace duplane {

// Makes the folder the script works on (files, directories, times).
void FillTwin(const std::string& root);
// Runs the whole script on one side of `link` against a folder made by
// FillTwin as drive C:, and writes one "what=result" line per result.
std::vector<std::string> RunTwinScript(Link& link, Side side);
// The relative paths of every entry below `root`, one a line, sorted.
std::string TreeNames(const std::string& root);

}  // namespace duplane
