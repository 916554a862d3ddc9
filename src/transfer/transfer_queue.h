// The transfer queue: the flat, ordered list of the files and directories one
// copy, move or delete works on, with its three counters. Paths are relative to
// the source pane's directory; a trailing backslash marks a directory and is the
// only such mark anywhere in the transfers. The window owns one queue for the
// program's life; each operation clears it before it gathers, and the two
// review dialogs read it (and unqueue from it) while they are open.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace duplane {

class TransferQueue {
 public:
  // Empties both lists and sets the three counters to 0.
  void Clear();

  // Appends a file entry: file count + 1, byte count + size.
  void AddFile(const std::string& path, std::int64_t size);
  // Appends a directory entry (a backslash is added when `path` lacks one) with
  // size "0": directory count + 1.
  void AddDir(const std::string& path);
  // Removes entry `index` from both lists without touching the counters.
  void RemoveAt(std::size_t index);

  std::size_t size() const { return paths_.size(); }
  bool empty() const { return paths_.empty(); }
  const std::string& path(std::size_t index) const { return paths_[index]; }
  // The size-list text of an entry ("0" for a directory).
  const std::string& size_text(std::size_t index) const { return sizes_[index]; }
  // The size-list value read as a signed 64-bit number (0 when unreadable).
  std::int64_t size_value(std::size_t index) const;
  bool is_dir(std::size_t index) const { return IsDirPath(paths_[index]); }

  const std::vector<std::string>& paths() const { return paths_; }
  const std::vector<std::string>& sizes() const { return sizes_; }

  // The counters are plain fields: the engines reuse the directory counter
  // (and the delete engine the file counter) for their own tallies.
  std::int32_t file_count = 0;
  std::int32_t dir_count = 0;
  std::int64_t byte_count = 0;

  static bool IsDirPath(const std::string& path) { return !path.empty() && path.back() == '\\'; }

 private:
  std::vector<std::string> paths_;
  std::vector<std::string> sizes_;
};

// Reads a decimal text as a signed 64-bit number the way the lists hold sizes;
// anything that is not a plain number gives 0.
std::int64_t ParseInt64(const std::string& text);

}  // namespace duplane
