// LocalFileSystem on Linux: drives and current directories, disk space, attributes, times and the
// path operations that need no open file (exists, create/remove directory, rename, icons).
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>

#include "localfs/file_times.h"
#include "localfs/icon_strip.h"
#include "localfs/local_file_system.h"
#include "localfs/local_native_linux.h"

namespace duplane {
namespace {

constexpr char kAttribXattr[] = "user.duplane.attrib";
// The bits the name and the mode cannot hold.
constexpr std::int32_t kXattrBits = kAttrHidden | kAttrSystem | kAttrArchive;

bool IsDotName(const std::string& name) { return name == "." || name == ".."; }

std::uint32_t StatxMask() { return STATX_BASIC_STATS | STATX_BTIME; }

}  // namespace

ScopedFd::~ScopedFd() { Reset(); }

ScopedFd& ScopedFd::operator=(ScopedFd&& other) noexcept {
  if (this != &other) Reset(other.Release());
  return *this;
}

void ScopedFd::Reset(int fd) {
  if (fd_ >= 0) close(fd_);
  fd_ = fd;
}

std::string FdPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

bool LocalFileSystem::Native::Stat(const ResolvedPath& path, struct statx* info) const {
  ScopedFd fd(Open(path, O_PATH));
  if (!fd.valid()) return false;
  return statx(fd.get(), "", AT_EMPTY_PATH, StatxMask(), info) == 0;
}

int LocalFileSystem::Native::FileOf(std::int32_t handle) const {
  const std::int64_t index = static_cast<std::int64_t>(handle) - kFirstHandle;
  if (index < 0 || index >= kMaxOpenFiles) return -1;
  return files[static_cast<std::size_t>(index)];
}

std::int32_t WindowsError(const LocalFileSystem::Native& native, const ResolvedPath& path,
                          int error) {
  switch (error) {
    case ENOENT: {
      std::string leaf;
      ScopedFd parent(native.OpenParent(path, &leaf));
      return parent.valid() ? kErrorFileNotFound : kErrorPathNotFound;
    }
    case ENOTDIR:
    case EXDEV:  // the walk would have left the drive: as if nothing were there
    case ELOOP:
    case ENAMETOOLONG:
      return kErrorPathNotFound;
    case EEXIST:
      return kErrorFileExists;
    case ENOTEMPTY:
      return kErrorDirNotEmpty;
    case EIO:
    case ENODEV:
    case ENXIO:
    case ENOMEDIUM:
      return kErrorNotReady;
    default:
      return kErrorAccessDenied;
  }
}

FileTime CreationTime(const struct statx& info) {
  // Some file systems (overlays among them) claim a birth time and report the
  // epoch; that is no creation time, so take the status-change time instead.
  const bool has_birth =
      (info.stx_mask & STATX_BTIME) && (info.stx_btime.tv_sec != 0 || info.stx_btime.tv_nsec != 0);
  const statx_timestamp& t = has_birth ? info.stx_btime : info.stx_ctime;
  return FileTimeFromUnix(t.tv_sec, t.tv_nsec);
}

std::int32_t AttributesOf(const struct statx& info, const std::string& name,
                          const std::string& xattr_path) {
  std::int32_t attributes = 0;
  const bool directory = S_ISDIR(info.stx_mode);
  if (directory) attributes |= kAttrDirectory;
  if ((info.stx_mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
  if (!name.empty() && name[0] == '.' && !IsDotName(name)) attributes |= kAttrHidden;
  unsigned char stored = 0;
  const ssize_t got = getxattr(xattr_path.c_str(), kAttribXattr, &stored, 1);
  if (got == 1) {
    attributes |= stored & kXattrBits;
  } else if (S_ISREG(info.stx_mode)) {
    // Files that never passed through a DOS or Windows PC: what Windows shows
    // for a file that has been written.
    attributes |= kAttrArchive;
  }
  return attributes;
}

bool DescribeEntry(const LocalFileSystem::Native& native, int dir_fd, const ResolvedPath& path,
                   struct statx* info, std::int32_t* attributes) {
  const std::string& name = path.names.back();
  if (statx(dir_fd, name.c_str(), AT_SYMLINK_NOFOLLOW, StatxMask(), info) != 0) return false;
  const auto plain = [](const struct statx& i) {
    return S_ISREG(i.stx_mode) || S_ISDIR(i.stx_mode);
  };
  if (!S_ISLNK(info->stx_mode)) {
    *attributes = AttributesOf(*info, name, FdPath(dir_fd) + "/" + name);
    if (!plain(*info)) *attributes |= kAttrDevice;
    return true;
  }
  // Followed through the walk, so a link that leads out of a confined drive
  // tells nothing about what it leads to.
  ScopedFd target(native.Open(path, O_PATH));
  struct statx followed;
  if (target.valid() && statx(target.get(), "", AT_EMPTY_PATH, StatxMask(), &followed) == 0) {
    *info = followed;
    *attributes = AttributesOf(*info, name, FdPath(target.get())) | kAttrReparsePoint;
    if (!plain(*info)) *attributes |= kAttrDevice;
  } else {
    *attributes = AttributesOf(*info, name, std::string()) | kAttrReparsePoint | kAttrDevice;
  }
  return true;
}

FindRecord RecordOf(const struct statx& info, const std::string& name, std::int32_t attributes) {
  FindRecord record;
  record.name = name.substr(0, kMaxFindName);
  // Only a plain file has a size of its own; a link that is not followed
  // would tell the length of its text, and a device nothing true.
  record.size = S_ISREG(info.stx_mode) && !(attributes & kAttrDevice) ? info.stx_size : 0;
  record.attributes = static_cast<std::uint32_t>(attributes);
  record.creation_time = CreationTime(info);
  record.last_access_time = FileTimeFromUnix(info.stx_atime.tv_sec, info.stx_atime.tv_nsec);
  record.last_write_time = FileTimeFromUnix(info.stx_mtime.tv_sec, info.stx_mtime.tv_nsec);
  return record;
}

LocalFileSystem::LocalFileSystem(std::vector<DriveMapping> drives, bool confine, PathWalk walk)
    : table_(drives.empty() ? DefaultDrives() : std::move(drives)),
      confine_(confine),
      random_(static_cast<std::mt19937::result_type>(
          std::chrono::steady_clock::now().time_since_epoch().count() ^ getpid())),
      native_(new Native) {
  native_->files.fill(-1);
  native_->ChooseWalk(confine, walk);
  for (const DriveMapping& drive : table_.drives()) {
    native_->roots.emplace_back(open(drive.directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  }
  const int home = table_.IndexOfLetter(GetHomeDrive());
  table_.set_current_drive(home < 0 ? 0 : home);
}

LocalFileSystem::~LocalFileSystem() { CloseAll(); }

std::vector<DriveMapping> LocalFileSystem::DefaultDrives() { return {{'C', "/"}}; }

char LocalFileSystem::GetHomeDrive() const {
  const auto& drives = table_.drives();
  if (drives.empty()) return 'C';
  char exe[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
  if (length > 0) {
    const std::string path(exe, static_cast<std::size_t>(length));
    const DriveMapping* best = nullptr;
    for (const DriveMapping& drive : drives) {
      const std::string& dir = drive.directory;
      const bool inside = dir == "/" || (path.compare(0, dir.size(), dir) == 0 &&
                                         (path.size() == dir.size() || path[dir.size()] == '/'));
      if (inside && (best == nullptr || dir.size() > best->directory.size())) best = &drive;
    }
    if (best != nullptr) return best->letter;
  }
  return drives.front().letter;
}

std::int32_t LocalFileSystem::ChDir(const std::string& path) {
  ResolvedPath resolved;
  if (!table_.Resolve(path, &resolved)) return kErrorPathNotFound;
  ScopedFd fd(native_->Open(resolved, O_PATH | O_DIRECTORY));
  if (!fd.valid()) return WindowsError(*native_, resolved, errno);
  table_.SetCurrent(resolved);
  return 0;
}

std::string LocalFileSystem::GetDir(std::uint8_t drive) const {
  return table_.CurrentDirectoryText(drive);
}

std::int64_t LocalFileSystem::DiskFree(std::uint8_t drive) {
  const int index = table_.IndexOfNumber(drive);
  struct statvfs info;
  if (index < 0 || fstatvfs(native_->roots[index].get(), &info) != 0) return -1;
  return static_cast<std::int64_t>(info.f_bavail) * static_cast<std::int64_t>(info.f_frsize);
}

std::int64_t LocalFileSystem::DiskSize(std::uint8_t drive) {
  const int index = table_.IndexOfNumber(drive);
  struct statvfs info;
  if (index < 0 || fstatvfs(native_->roots[index].get(), &info) != 0) return -1;
  return static_cast<std::int64_t>(info.f_blocks) * static_cast<std::int64_t>(info.f_frsize);
}

bool LocalFileSystem::FileExists(const std::string& path) {
  ResolvedPath resolved;
  struct statx info;
  return table_.Resolve(path, &resolved) && native_->Stat(resolved, &info) &&
         !S_ISDIR(info.stx_mode);
}

bool LocalFileSystem::DirectoryExists(const std::string& path) {
  ResolvedPath resolved;
  struct statx info;
  return table_.Resolve(path, &resolved) && native_->Stat(resolved, &info) &&
         S_ISDIR(info.stx_mode);
}

// As Windows does, a link answers for itself (marked kAttrReparsePoint), so a
// caller can tell it from what it leads to before walking into it.
std::int32_t LocalFileSystem::FileGetAttr(const std::string& path) {
  ResolvedPath resolved;
  std::string leaf;
  struct statx info;
  std::int32_t attributes = -1;
  if (!table_.Resolve(path, &resolved)) return -1;
  if (resolved.names.empty()) {
    ScopedFd fd(native_->Open(resolved, O_PATH));
    if (!fd.valid() || statx(fd.get(), "", AT_EMPTY_PATH, StatxMask(), &info) != 0) return -1;
    return AttributesOf(info, std::string(), FdPath(fd.get()));
  }
  ScopedFd parent(native_->OpenParent(resolved, &leaf));
  if (!parent.valid() || !DescribeEntry(*native_, parent.get(), resolved, &info, &attributes)) {
    return -1;
  }
  return attributes;
}

bool LocalFileSystem::FileSetAttr(const std::string& path, std::int32_t attributes) {
  ResolvedPath resolved;
  if (!table_.Resolve(path, &resolved)) return false;
  ScopedFd fd(native_->OpenForChange(resolved, O_PATH));
  struct statx info;
  // A link below the chosen directory is opened as itself, and a link has no
  // attributes of its own to set here.
  if (!fd.valid() || statx(fd.get(), "", AT_EMPTY_PATH, StatxMask(), &info) != 0 ||
      S_ISLNK(info.stx_mode)) {
    return false;
  }
  const std::string proc_path = FdPath(fd.get());
  mode_t mode = info.stx_mode & 07777;
  if (attributes & kAttrReadOnly) {
    mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  } else {
    mode |= S_IWUSR;
  }
  if (mode != (info.stx_mode & 07777) && chmod(proc_path.c_str(), mode) != 0) return false;

  // Keep the extra bits only where they differ from what the file reports
  // without them, so ordinary files carry no attribute of ours.
  const std::int32_t wanted = attributes & kXattrBits;
  const std::int32_t implied = S_ISREG(info.stx_mode) ? kAttrArchive : 0;
  if (wanted == implied) {
    removexattr(proc_path.c_str(), kAttribXattr);
  } else {
    const unsigned char value = static_cast<unsigned char>(wanted);
    // A file system without user xattrs loses these bits; Windows has them, so
    // the call itself still succeeded as far as the caller can act on it.
    setxattr(proc_path.c_str(), kAttribXattr, &value, 1, 0);
  }
  return true;
}

bool LocalFileSystem::CreateDir(const std::string& path) {
  ResolvedPath resolved;
  std::string leaf;
  if (!table_.Resolve(path, &resolved)) return false;
  ScopedFd parent(native_->OpenParentForChange(resolved, &leaf));
  return parent.valid() && mkdirat(parent.get(), leaf.c_str(), 0777) == 0;
}

bool LocalFileSystem::RemoveDir(const std::string& path) {
  ResolvedPath resolved;
  std::string leaf;
  if (!table_.Resolve(path, &resolved)) return false;
  ScopedFd parent(native_->OpenParentForChange(resolved, &leaf));
  return parent.valid() && unlinkat(parent.get(), leaf.c_str(), AT_REMOVEDIR) == 0;
}

bool LocalFileSystem::RenameFile(const std::string& old_path, const std::string& new_path) {
  ResolvedPath from, to;
  std::string from_leaf, to_leaf;
  if (!table_.Resolve(old_path, &from) || !table_.Resolve(new_path, &to)) return false;
  ScopedFd from_dir(native_->OpenParentForChange(from, &from_leaf));
  ScopedFd to_dir(native_->OpenParentForChange(to, &to_leaf));
  if (!from_dir.valid() || !to_dir.valid()) return false;
  if (renameat2(from_dir.get(), from_leaf.c_str(), to_dir.get(), to_leaf.c_str(),
                RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL) return false;
  // File systems without RENAME_NOREPLACE: test, then rename.
  struct stat existing;
  if (fstatat(to_dir.get(), to_leaf.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) return false;
  return renameat(from_dir.get(), from_leaf.c_str(), to_dir.get(), to_leaf.c_str()) == 0;
}

std::int32_t LocalFileSystem::FileAge(const std::string& path) {
  ResolvedPath resolved;
  struct statx info;
  if (!table_.Resolve(path, &resolved) || !native_->Stat(resolved, &info) ||
      !S_ISREG(info.stx_mode)) {
    return -1;
  }
  return DosDateTime(static_cast<std::time_t>(info.stx_mtime.tv_sec));
}

std::vector<std::uint8_t> LocalFileSystem::SysImageList() const { return DrawIconStrip(); }

void LocalFileSystem::GetIconIndex(const std::string& path, std::int32_t* normal,
                                   std::int32_t* open) {
  *normal = kIconFile;
  *open = kIconFile;
  ResolvedPath resolved;
  struct statx info;
  if (!table_.Resolve(path, &resolved)) return;
  if (resolved.names.empty()) {
    *normal = *open = kIconDrive;
  } else if (native_->Stat(resolved, &info) && S_ISDIR(info.stx_mode)) {
    *normal = kIconFolder;
    *open = kIconFolderOpen;
  }
}

void LocalFileSystem::CloseAll() {
  native_->CloseFiles();
  for (int slot = 1; slot <= kSearchSlots; ++slot) FindClose(slot);
}

}  // namespace duplane
