// Temporary folders on a disk file system (under /tmp, where the trash works)
// and small helpers to fill and inspect them.
#pragma once

#include <string>

namespace duplane {

class TempTree {
 public:
  TempTree();   // a fresh /tmp/duplane-XXXXXX
  ~TempTree();  // removes it with everything inside
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::string& path() const { return path_; }
  // `relative` joined to the folder with '/'.
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);  // lstat: links count as they are
void MakeDir(const std::string& path);
// Every entry below `root` as "relative-path size mode mtime" lines, sorted:
// a fingerprint to show that nothing changed.
std::string Fingerprint(const std::string& root);

}  // namespace duplane
