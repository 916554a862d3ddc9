// The path walk below a drive's root, where confinement happens. A confined
// object (the Remote Module) walks with openat2 and RESOLVE_BENEATH, which
// refuses any walk through "..", an absolute link or a relative one that would
// leave the root. Kernels before Linux 5.6 have no openat2; there the same rule
// is kept by walking one name at a time with O_NOFOLLOW, reading every link
// met on the way and walking its text in its place. The program's own,
// unconfined object walks with plain openat.
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <deque>

#include "localfs/local_file_system.h"
#include "localfs/local_native_linux.h"

namespace duplane {
namespace {

// As many links as the kernel follows in one walk before it answers ELOOP.
constexpr int kMaxLinks = 40;

long Openat2(int dir_fd, const char* path, int flags, mode_t mode, std::uint64_t resolve) {
  open_how how{};
  how.flags = static_cast<std::uint64_t>(flags | O_CLOEXEC);
  how.mode = (flags & O_CREAT) ? mode : 0;
  how.resolve = resolve;
  long fd;
  do {
    fd = syscall(SYS_openat2, dir_fd, path, &how, sizeof(how));
  } while (fd < 0 && (errno == EINTR || errno == EAGAIN));
  return fd;
}

// ENOSYS on kernels before 5.6; EPERM from container seccomp filters written
// before the call existed.
bool KernelHasOpenat2() {
  static const bool has = [] {
    const long fd = Openat2(AT_FDCWD, ".", O_PATH | O_DIRECTORY, 0, RESOLVE_BENEATH);
    if (fd >= 0) close(static_cast<int>(fd));
    return fd >= 0 || (errno != ENOSYS && errno != EPERM);
  }();
  return has;
}

int Fail(int error) {
  errno = error;
  return -1;
}

// Puts the names of a link's text in front of what is still to be walked.
void Splice(const std::string& text, std::deque<std::string>* todo) {
  std::deque<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = text.find('/', start);
    parts.push_back(text.substr(start, slash - start));
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  todo->insert(todo->begin(), parts.begin(), parts.end());
}

// The walk of kernels without openat2. `stack` holds the directories from the
// root down, so ".." returns to where the walk came from and never above the
// root; a link is never followed by the kernel but read, and its text walked
// in its place, absolute ones refused (as RESOLVE_BENEATH does). Only the
// last name is opened with the caller's flags, and with O_NOFOLLOW, so a link
// swapped in meanwhile fails the open instead of being followed.
int WalkByName(int root, const std::vector<std::string>& names, int flags, mode_t mode) {
  std::vector<ScopedFd> stack;
  std::deque<std::string> todo(names.begin(), names.end());
  if (todo.empty()) todo.push_back(".");
  int links = 0;
  while (!todo.empty()) {
    const std::string name = std::move(todo.front());
    todo.pop_front();
    const bool last = todo.empty();
    const int here = stack.empty() ? root : stack.back().get();
    if (name == "..") {
      if (stack.empty()) return Fail(EXDEV);
      stack.pop_back();
      if (last) todo.push_back(".");
      continue;
    }
    if (name.empty() || name == ".") {
      if (last) return openat(here, ".", flags | O_CLOEXEC, mode);
      continue;
    }
    if (last && (flags & O_NOFOLLOW)) return openat(here, name.c_str(), flags | O_CLOEXEC, mode);
    ScopedFd entry(openat(here, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!entry.valid()) {
      if (last && errno == ENOENT && (flags & O_CREAT)) {
        return openat(here, name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, mode);
      }
      return -1;
    }
    struct stat info;
    if (fstat(entry.get(), &info) != 0) return -1;
    if (S_ISLNK(info.st_mode)) {
      if (++links > kMaxLinks) return Fail(ELOOP);
      char text[PATH_MAX];
      const ssize_t length = readlinkat(entry.get(), "", text, sizeof(text));
      if (length <= 0 || length >= static_cast<ssize_t>(sizeof(text))) return Fail(ENOENT);
      if (text[0] == '/') return Fail(EXDEV);
      Splice(std::string(text, static_cast<std::size_t>(length)), &todo);
      continue;
    }
    if (!last) {
      if (!S_ISDIR(info.st_mode)) return Fail(ENOTDIR);
      stack.push_back(std::move(entry));
      continue;
    }
    if ((flags & O_DIRECTORY) && !S_ISDIR(info.st_mode)) return Fail(ENOTDIR);
    if ((flags & O_PATH) && !(flags & O_CREAT)) return entry.Release();
    return openat(here, name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, mode);
  }
  return Fail(ENOENT);  // not reached: the last name always returns
}

// The directory that holds the path's last name, and that name; false (errno
// EINVAL) for a drive's root, which has no parent here.
bool SplitLeaf(const ResolvedPath& path, ResolvedPath* parent, std::string* leaf) {
  if (path.names.empty()) {
    errno = EINVAL;
    return false;
  }
  *parent = path;
  *leaf = parent->names.back();
  parent->names.pop_back();
  return true;
}

}  // namespace

void LocalFileSystem::Native::ChooseWalk(bool confine, PathWalk wanted) {
  if (!confine) {
    walk = Walk::kUnconfined;
  } else if (wanted == PathWalk::kByName || !KernelHasOpenat2()) {
    walk = Walk::kByName;
  } else {
    walk = Walk::kOpenat2;
  }
}

int LocalFileSystem::Native::Open(const ResolvedPath& path, int flags, mode_t mode) const {
  if (path.drive < 0 || path.drive >= static_cast<int>(roots.size()) ||
      !roots[path.drive].valid()) {
    return Fail(ENOENT);
  }
  const int root = roots[path.drive].get();
  switch (walk) {
    case Walk::kOpenat2:
      return static_cast<int>(Openat2(root, DriveTable::NativeRelative(path.names).c_str(), flags,
                                      mode, RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS));
    case Walk::kByName:
      return WalkByName(root, path.names, flags, mode);
    case Walk::kUnconfined:
      break;
  }
  return openat(root, DriveTable::NativeRelative(path.names).c_str(), flags | O_CLOEXEC, mode);
}

int LocalFileSystem::Native::OpenParent(const ResolvedPath& path, std::string* leaf) const {
  ResolvedPath parent;
  return SplitLeaf(path, &parent, leaf) ? Open(parent, O_PATH | O_DIRECTORY) : -1;
}

int LocalFileSystem::Native::OpenForChange(const ResolvedPath& path, int flags) const {
  const std::size_t chosen = std::min(path.current_names, path.names.size());
  if (chosen == path.names.size()) return Open(path, flags);
  ResolvedPath top = path;
  top.names.resize(chosen);
  ScopedFd dir(Open(top, O_PATH | O_DIRECTORY));
  // The names below are plain ones (the drive table folded away "." and
  // ".."), so a walk that follows no link cannot leave the chosen directory.
  for (std::size_t i = chosen; dir.valid() && i + 1 < path.names.size(); ++i) {
    dir.Reset(
        openat(dir.get(), path.names[i].c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  }
  if (!dir.valid()) return -1;
  return openat(dir.get(), path.names.back().c_str(), flags | O_NOFOLLOW | O_CLOEXEC);
}

int LocalFileSystem::Native::OpenParentForChange(const ResolvedPath& path,
                                                 std::string* leaf) const {
  ResolvedPath parent;
  return SplitLeaf(path, &parent, leaf) ? OpenForChange(parent, O_PATH | O_DIRECTORY) : -1;
}

const char* LocalFileSystem::path_walk_name() const {
  switch (native_->walk) {
    case Native::Walk::kOpenat2:
      return "confined by openat2";
    case Native::Walk::kByName:
      return KernelHasOpenat2()
                 ? "confined by a walk one name at a time"
                 : "confined by a walk one name at a time (no openat2 in this kernel)";
    case Native::Walk::kUnconfined:
      break;
  }
  return "unconfined";
}

}  // namespace duplane
