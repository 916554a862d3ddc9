// Linux state of a LocalFileSystem shared by its *_linux.cc files: one open
// directory per drive that every path is walked from, the table of open files,
// and the twenty search states. All path walks go through Open(), which is
// where confinement happens (path_walk_linux.cc).
#pragma once

#include <sys/stat.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "localfs/drive_table.h"
#include "localfs/local_file_system.h"

namespace duplane {

class ScopedFd {
 public:
  ScopedFd() = default;
  explicit ScopedFd(int fd) : fd_(fd) {}
  ~ScopedFd();
  ScopedFd(ScopedFd&& other) noexcept : fd_(other.Release()) {}
  ScopedFd& operator=(ScopedFd&& other) noexcept;
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void Reset(int fd = -1);

 private:
  int fd_ = -1;
};

// What a search remembers between LinkFindFirst and LinkFindNext: the names
// that matched the pattern, read once, and where the next one is.
struct SearchState {
  bool open = false;
  ScopedFd directory;
  ResolvedPath path;
  std::vector<std::string> names;
  std::size_t next = 0;
  std::int32_t mask = 0;
};

struct LocalFileSystem::Native {
  enum class Walk { kUnconfined, kOpenat2, kByName };

  std::vector<ScopedFd> roots;  // O_PATH directory of each drive, in table order
  Walk walk = Walk::kUnconfined;
  std::array<int, kMaxOpenFiles> files;
  // Where each file made by FileCreate was made, by the index of its handle,
  // until it is closed: such a file is removed when the connection ends with
  // it still open (but for a safe copy's part file).
  std::array<std::optional<ResolvedPath>, kMaxOpenFiles> created;
  // Whether each file is open for writing: flushed to stable storage when
  // closed, whoever made it, so a resumed file is as safe as a created one.
  std::array<bool, kMaxOpenFiles> written{};
  std::array<SearchState, kSearchSlots> searches;

  void ChooseWalk(bool confine, PathWalk wanted);
  // Opens the path below its drive's root; -1 with errno set on failure. With
  // O_NOFOLLOW a link as the last name is opened as itself (O_PATH) or refused.
  int Open(const ResolvedPath& path, int flags, mode_t mode = 0) const;
  // Opens the directory that holds the path's last name and gives that name;
  // -1 (errno EINVAL) for a drive's root, which has no parent here.
  int OpenParent(const ResolvedPath& path, std::string* leaf) const;
  // The same two for a path about to be changed (created, written, renamed,
  // deleted): below the drive's current directory, the directory the user
  // chose, no link is followed, the last name included, so a directory
  // swapped for a link after someone looked at it fails the walk (ENOTDIR)
  // instead of taking the change wherever it leads. The current directory
  // and what lies above it are walked as Open walks them.
  int OpenForChange(const ResolvedPath& path, int flags) const;
  int OpenParentForChange(const ResolvedPath& path, std::string* leaf) const;
  // The metadata of the path (links followed, confined); false with errno.
  bool Stat(const ResolvedPath& path, struct statx* info) const;
  // The open file of a handle, or -1 for any number this object did not hand out.
  int FileOf(std::int32_t handle) const;
  // Closes every open file; those made by FileCreate are unfinished and go,
  // but for part files, which say so by their name.
  void CloseFiles();
};

// "/proc/self/fd/N": names an O_PATH descriptor for the calls that take a path
// only (xattrs, chmod) without walking any name again.
std::string FdPath(int fd);
// The Windows error code for errno after a failed walk to `path`: a missing
// last name is 2, a missing directory on the way 3.
std::int32_t WindowsError(const LocalFileSystem::Native& native, const ResolvedPath& path,
                          int error);
// Windows attribute bits from the metadata, the entry's name and its xattr
// (read through `xattr_path`, which names the entry itself, not a link to it).
std::int32_t AttributesOf(const struct statx& info, const std::string& name,
                          const std::string& xattr_path);
// What a search and LinkFileGetAttr report for the last name of `path`, which
// lies in the open directory `dir_fd`: the entry's own metadata and attributes,
// or for a symbolic link those of what it leads to through the walk, with
// kAttrReparsePoint. kAttrDevice marks whatever cannot be opened as a plain
// file or a directory: FIFOs, sockets, devices, and links that lead nowhere or
// out of the drive. False when the entry is gone.
bool DescribeEntry(const LocalFileSystem::Native& native, int dir_fd, const ResolvedPath& path,
                   struct statx* info, std::int32_t* attributes);
FindRecord RecordOf(const struct statx& info, const std::string& name, std::int32_t attributes);
FileTime CreationTime(const struct statx& info);
// Moves the entry `leaf` of the open directory `parent_fd` (never what a link
// points at) to the trash of its mount; false, with the entry left where it
// was, when that mount has no trash or the move fails.
bool TrashEntry(int parent_fd, const std::string& leaf);

}  // namespace duplane
