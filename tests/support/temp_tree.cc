// Tree fingerprints for the confinement checks.
#include "support/temp_tree.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <sstream>
#include <vector>

namespace duplane {
namespace {

void Collect(const std::string& root, const std::string& relative, std::vector<std::string>* out) {
  const std::string path = relative.empty() ? root : root + "/" + relative;
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) return;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string child = relative.empty() ? name : relative + "/" + name;
    struct stat info;
    if (lstat((root + "/" + child).c_str(), &info) != 0) continue;
    std::ostringstream line;
    line << child << ' ' << info.st_size << ' ' << std::oct << info.st_mode << std::dec << ' '
         << info.st_mtim.tv_sec << '.' << info.st_mtim.tv_nsec;
    out->push_back(line.str());
    if (S_ISDIR(info.st_mode)) Collect(root, child, out);
  }
  closedir(dir);
}

}  // namespace

std::string Fingerprint(const std::string& root) {
  std::vector<std::string> lines;
  Collect(root, "", &lines);
  std::sort(lines.begin(), lines.end());
  std::string all;
  for (const std::string& line : lines) all += line + "\n";
  return all;
}

}  // namespace duplane
