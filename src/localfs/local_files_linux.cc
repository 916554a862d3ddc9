// Open files on Linux: LinkFileOpen/Create/Seek/Read/Write/Close and the file
// times of an open file. Callers get small handle numbers from a table, never
// raw descriptors, so a number that arrives over the cable can only ever name
// a file this object opened itself.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "localfs/crc32.h"
#include "localfs/file_times.h"
#include "localfs/local_file_system.h"
#include "localfs/local_native_linux.h"

namespace duplane {
namespace {

// Opens again, for reading or writing, the very file an O_PATH descriptor was
// taken of, without walking any name again. Nothing but a plain file is ever
// opened (a FIFO would block, a device act on the open, and Windows opens no
// directory as a file); a read-only file refuses writers as on Windows, even
// for an administrator, and so does a file another name still holds.
int Reopen(int path_fd, int access) {
  struct stat info;
  if (fstat(path_fd, &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  if (access != O_RDONLY && ((info.st_mode & S_IWUSR) == 0 || info.st_nlink > 1)) return -1;
  return open(FdPath(path_fd).c_str(), access | O_NOCTTY | O_CLOEXEC);
}

// Creates `leaf` in the directory, or opens the plain file of that name to be
// emptied. A link there is never written through: the create fails. A file
// that another name still holds keeps its bytes for that name; this name is
// given a new file instead.
int CreateIn(int dir_fd, const std::string& leaf) {
  for (int look = 0; look < 2; ++look) {
    ScopedFd existing(openat(dir_fd, leaf.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!existing.valid()) {
      if (errno != ENOENT) return -1;
      const int fd = openat(dir_fd, leaf.c_str(),
                            O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
      if (fd >= 0 || errno != EEXIST) return fd;
      continue;  // made by someone else meanwhile: look at it
    }
    struct stat info;
    if (fstat(existing.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        (info.st_mode & S_IWUSR) == 0) {
      return -1;
    }
    if (info.st_nlink == 1) return Reopen(existing.get(), O_RDWR);
    if (unlinkat(dir_fd, leaf.c_str(), 0) != 0) return -1;
  }
  return -1;
}

// Calls `io` (read or write) until `count` bytes went through, the file
// ended or a call failed: the bytes that went, or -1 when none did because the
// first call failed. A signal is no failure.
template <typename Io, typename Byte>
std::int32_t AllOf(Io io, int fd, Byte* bytes, std::int32_t count) {
  std::int32_t done = 0;
  while (done < count) {
    const ssize_t moved = io(fd, bytes + done, static_cast<std::size_t>(count - done));
    if (moved < 0) {
      if (errno == EINTR) continue;
      if (done == 0) return -1;
      break;
    }
    if (moved == 0) break;
    done += static_cast<std::int32_t>(moved);
  }
  return done;
}

}  // namespace

// `created` is the path of a file FileCreate made, null for an opened one;
// `written` says the file is open for writing and so flushed when closed.
static std::int32_t Adopt(LocalFileSystem::Native* native, int fd, bool written,
                          const ResolvedPath* created = nullptr) {
  if (fd < 0) return -1;
  for (int i = 0; i < kMaxOpenFiles; ++i) {
    if (native->files[i] < 0) {
      native->files[i] = fd;
      native->written[i] = written;
      native->created[i].reset();
      // The part file of a safe copy is unfinished by its very name: it stays
      // when the connection ends, so that the next copy can resume it.
      if (created != nullptr &&
          (created->names.empty() || !IsPartFileName(created->names.back()))) {
        native->created[i] = *created;
      }
      return kFirstHandle + i;
    }
  }
  close(fd);
  return -1;
}

// Removes the file that `fd` was created as, if its name still holds that
// very file: whatever took the name meanwhile is left alone.
static void RemoveUnfinished(const LocalFileSystem::Native& native, const ResolvedPath& path,
                             int fd) {
  std::string leaf;
  ScopedFd parent(native.OpenParentForChange(path, &leaf));
  struct stat named, open_file;
  if (parent.valid() && fstatat(parent.get(), leaf.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
      fstat(fd, &open_file) == 0 && named.st_dev == open_file.st_dev &&
      named.st_ino == open_file.st_ino) {
    unlinkat(parent.get(), leaf.c_str(), 0);
  }
}

void LocalFileSystem::Native::CloseFiles() {
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (files[i] < 0) continue;
    if (created[i]) RemoveUnfinished(*this, *created[i], files[i]);
    close(files[i]);
    files[i] = -1;
    written[i] = false;
    created[i].reset();
  }
}

// Windows keeps a file that is open for reading from being created over, and a
// file being created "with no sharing" from being opened. Open file
// description locks give the same rule between this program and a Remote
// Module on one machine (the demo, the tests), where a copy onto the very file
// it reads would otherwise empty the source before reading it. Advisory, so
// nothing else on the machine is hindered.
static bool LockForSharing(int fd, bool exclusive) {
  struct flock lock {};
  lock.l_type = exclusive ? F_WRLCK : F_RDLCK;
  lock.l_whence = SEEK_SET;
  if (fcntl(fd, F_OFD_SETLK, &lock) == 0) return true;
  return errno != EAGAIN && errno != EACCES;  // a file system without locks allows all
}

std::int32_t LocalFileSystem::FileOpen(const std::string& path, std::int32_t mode) {
  crc_ = kCrcStart;
  static constexpr int kAccess[] = {O_RDONLY, O_WRONLY, O_RDWR};  // read, write, both
  const int access = mode & kOpenAccessMask;
  ResolvedPath resolved;
  if (access > kOpenReadWrite || !table_.Resolve(path, &resolved)) return -1;
  // A reader may reach its file through a link (as confined as every walk); a
  // writer writes to the named file itself, reached through no link below the
  // chosen directory, or to nothing.
  ScopedFd checked(access == kOpenRead ? native_->Open(resolved, O_PATH)
                                       : native_->OpenForChange(resolved, O_PATH));
  const int fd = checked.valid() ? Reopen(checked.get(), kAccess[access]) : -1;
  // Only a reader is registered: that is what a create must not empty.
  if (fd >= 0 && access != kOpenWrite && !LockForSharing(fd, /*exclusive=*/false)) {
    close(fd);
    return -1;
  }
  return Adopt(native_.get(), fd, access != kOpenRead);
}

std::int32_t LocalFileSystem::FileCreate(const std::string& path) {
  crc_ = kCrcStart;
  ResolvedPath resolved;
  std::string leaf;
  if (!table_.Resolve(path, &resolved)) return -1;
  ScopedFd parent(native_->OpenParentForChange(resolved, &leaf));
  const int fd = parent.valid() ? CreateIn(parent.get(), leaf) : -1;
  // Emptied only once no reader holds it.
  if (fd >= 0 && (!LockForSharing(fd, /*exclusive=*/true) || ftruncate(fd, 0) != 0)) {
    close(fd);
    return -1;
  }
  return Adopt(native_.get(), fd, /*written=*/true, &resolved);
}

std::int64_t LocalFileSystem::FileSeek(std::int32_t handle, std::int64_t offset,
                                       std::int32_t origin) {
  static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};  // by origin
  const int fd = native_->FileOf(handle);
  if (fd < 0 || origin < kSeekBegin || origin > kSeekEnd) return -1;
  const off_t position = lseek(fd, static_cast<off_t>(offset), kWhence[origin]);
  return position < 0 ? -1 : static_cast<std::int64_t>(position);
}

std::int32_t LocalFileSystem::FileRead(std::int32_t handle, void* buffer, std::int32_t count) {
  const int fd = native_->FileOf(handle);
  if (fd < 0 || count < 0) return -1;
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  const std::int32_t done = AllOf(read, fd, bytes, count);
  if (done < 0) return -1;
  crc_ = UpdateCrcLong(crc_, static_cast<std::size_t>(done), bytes);
  return done;
}

std::int32_t LocalFileSystem::FileWrite(std::int32_t handle, const void* buffer,
                                        std::int32_t count) {
  const int fd = native_->FileOf(handle);
  if (fd < 0 || count < 0) return -1;
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  crc_ = UpdateCrcLong(crc_, static_cast<std::size_t>(count), bytes);
  return AllOf(write, fd, bytes, count);
}

bool LocalFileSystem::FileClose(std::int32_t handle) {
  const int fd = native_->FileOf(handle);
  if (fd < 0) return false;
  const auto index = static_cast<std::size_t>(handle - kFirstHandle);
  // A flush that fails (a full disk found late, an I/O error) means the
  // written bytes may never reach the disk.
  const bool flushed = !native_->written[index] || fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  native_->files[index] = -1;
  native_->written[index] = false;
  native_->created[index].reset();
  return flushed && closed;
}

bool LocalFileSystem::GetFileTime(std::int32_t handle, FileTime* creation, FileTime* last_access,
                                  FileTime* last_write) {
  const int fd = native_->FileOf(handle);
  struct statx info;
  if (fd < 0 || statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &info) != 0) {
    return false;
  }
  *creation = CreationTime(info);
  *last_access = FileTimeFromUnix(info.stx_atime.tv_sec, info.stx_atime.tv_nsec);
  *last_write = FileTimeFromUnix(info.stx_mtime.tv_sec, info.stx_mtime.tv_nsec);
  return true;
}

bool LocalFileSystem::SetFileTime(std::int32_t handle, FileTime creation, FileTime last_access,
                                  FileTime last_write) {
  (void)creation;  // Linux keeps no settable creation time; it stays as it is.
  const int fd = native_->FileOf(handle);
  if (fd < 0) return false;
  // A zero FILETIME means "leave this time alone", as on Windows.
  timespec times[2];
  const FileTime given[2] = {last_access, last_write};
  for (int i = 0; i < 2; ++i) {
    if (given[i] == 0) {
      times[i].tv_sec = 0;
      times[i].tv_nsec = UTIME_OMIT;
    } else {
      std::int64_t seconds, nanoseconds;
      UnixFromFileTime(given[i], &seconds, &nanoseconds);
      times[i].tv_sec = static_cast<time_t>(seconds);
      times[i].tv_nsec = static_cast<long>(nanoseconds);
    }
  }
  return futimens(fd, times) == 0;
}

}  // namespace duplane
