// Native file trees for the transfer tests: temporary folders under /tmp (a
// disk file system, where the trash works), files written with given bytes,
// modes and times, and a whole tree read back for byte-for-byte comparison.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>

namespace duplane {

// A fresh folder under /tmp, removed with everything in it on destruction
// (read-only entries included).
class TempFolder {
 public:
  explicit TempFolder(const std::string& tag = "transfer");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  // `relative` uses '/' and is joined to the folder.
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

// Writes a file (parent folders made as needed).
void WriteFile(const std::string& path, const std::string& bytes);
// A file of `size` bytes of a pattern that differs per `seed`.
std::string PatternBytes(std::size_t size, unsigned seed);
// `size` bytes of prose-like text (words, spaces, line ends) that differs per
// `seed`: it deflates to well under half, as real text does.
std::string TextBytes(std::size_t size, unsigned seed);
std::string ReadFile(const std::string& path);
void MakeDir(const std::string& path);
// Sets access and modification time, in whole seconds since 1970.
void SetTimes(const std::string& path, std::int64_t atime, std::int64_t mtime);
void MakeReadOnly(const std::string& path);
bool Exists(const std::string& path);

struct TreeEntry {
  bool is_dir = false;
  std::string bytes;
  mode_t mode = 0;  // permission bits
  std::int64_t mtime = 0;
};
// Every entry below `root` by relative path ('/'-separated); the root itself
// is not included.
std::map<std::string, TreeEntry> ReadTree(const std::string& root);

// Empty when the two trees hold the same names, kinds and bytes (and, with
// `times_and_modes`, the same write permission and modification times);
// otherwise a description of the first differences.
std::string CompareTrees(const std::string& a, const std::string& b, bool times_and_modes);

}  // namespace duplane
