// Temporary test folders.
#include "support/temp_tree.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace duplane {
namespace {

void RemoveAll(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return;
  if (S_ISDIR(info.st_mode)) {
    chmod(path.c_str(), 0700);
    if (DIR* dir = opendir(path.c_str())) {
      while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") RemoveAll(path + "/" + name);
      }
      closedir(dir);
    }
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

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

TempTree::TempTree() {
  char pattern[] = "/tmp/duplane-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempTree::~TempTree() { RemoveAll(path_); }

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool Exists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

void MakeDir(const std::string& path) { mkdir(path.c_str(), 0755); }

std::string Fingerprint(const std::string& root) {
  std::vector<std::string> lines;
  Collect(root, "", &lines);
  std::sort(lines.begin(), lines.end());
  std::string all;
  for (const std::string& line : lines) all += line + "\n";
  return all;
}

}  // namespace duplane
