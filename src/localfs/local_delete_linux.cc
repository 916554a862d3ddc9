// LinkDeleteFile on Linux: the Recycle Bin is the freedesktop.org trash (see
// local_trash_linux.cc), normal delete is unlink, and wipe overwrites the
// whole file with random bytes, flushes it to the disk and only then deletes
// it. Every mode deletes the name given: a link goes, never what it leads to.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "localfs/file_values.h"
#include "localfs/local_file_system.h"
#include "localfs/local_native_linux.h"

namespace duplane {
namespace {

constexpr std::size_t kWipeBlock = 8192;

}  // namespace

bool LocalFileSystem::Delete(const std::string& path, std::int32_t mode) {
  if (mode != kDeleteRecycle && mode != kDeleteNormal && mode != kDeleteWipe) {
    return false;
  }
  ResolvedPath resolved;
  std::string leaf;
  if (!table_.Resolve(path, &resolved)) return false;
  ScopedFd parent(native_->OpenParentForChange(resolved, &leaf));
  if (!parent.valid()) return false;
  switch (mode) {
    case kDeleteRecycle:
      return TrashEntry(parent.get(), leaf);
    case kDeleteNormal:
      return unlinkat(parent.get(), leaf.c_str(), 0) == 0;
    default:
      return Wipe(parent.get(), leaf);
  }
}

bool LocalFileSystem::Wipe(int parent_fd, const std::string& leaf) {
  ScopedFd entry(openat(parent_fd, leaf.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
  struct stat info;
  if (!entry.valid() || fstat(entry.get(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  // Only bytes that this name alone holds are overwritten. A link, a FIFO, a
  // socket or a device holds none here (and is never opened); a file with a
  // second name (a hard link, perhaps from outside the folders served) keeps
  // its bytes for that name. Each of them just loses this name.
  if (!S_ISREG(info.st_mode) || info.st_nlink > 1) return unlinkat(parent_fd, leaf.c_str(), 0) == 0;
  ScopedFd file(open(FdPath(entry.get()).c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!file.valid() || fstat(file.get(), &info) != 0) return false;
  if (info.st_nlink > 1) return unlinkat(parent_fd, leaf.c_str(), 0) == 0;  // linked meanwhile
  const off_t size = lseek(file.get(), 0, SEEK_END);
  if (size < 0 || lseek(file.get(), 0, SEEK_SET) != 0) return false;
  std::uint8_t buffer[kWipeBlock];
  std::uniform_int_distribution<int> byte(0, 255);
  off_t remaining = size;
  while (remaining > 0) {
    const std::size_t n = static_cast<std::size_t>(std::min<off_t>(remaining, kWipeBlock));
    for (std::size_t i = 0; i < n; ++i) buffer[i] = static_cast<std::uint8_t>(byte(random_));
    ssize_t written;
    do {
      written = write(file.get(), buffer, n);
    } while (written < 0 && errno == EINTR);
    if (written <= 0) return false;  // the file stays, overwritten as far as we got
    if (wipe_observer_) wipe_observer_(static_cast<std::size_t>(written));
    remaining -= written;
  }
  if (fsync(file.get()) != 0) return false;
  file.Reset();
  return unlinkat(parent_fd, leaf.c_str(), 0) == 0;
}

}  // namespace duplane
