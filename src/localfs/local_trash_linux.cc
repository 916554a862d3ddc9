// The Recycle Bin on Linux: the freedesktop.org trash, entered from the open
// parent directory of the entry. GIO's own g_file_trash takes a path and walks
// it again, so a directory swapped for a link in between would send a file
// from outside the served folder to the trash; here the entry is moved with
// renameat from the descriptor the confined walk gave, and GLib only answers
// where the trash of that mount is and whether the mount may have one.
#include <fcntl.h>
#include <gio/gio.h>
#include <gio/gunixmounts.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <ctime>
#include <string>

#include "localfs/local_native_linux.h"

namespace duplane {
namespace {

constexpr char kInfoSuffix[] = ".trashinfo";

// The real path of an open directory, as the kernel knows it now.
bool RealPathOf(int fd, std::string* path) {
  char buffer[PATH_MAX];
  const ssize_t length = readlink(FdPath(fd).c_str(), buffer, sizeof(buffer) - 1);
  if (length <= 0) return false;
  path->assign(buffer, static_cast<std::size_t>(length));
  return true;
}

// Opens (creating it when asked) a directory of the trash below `at`. It must
// be a real directory, never a link; with `owned` it must also be ours.
ScopedFd OpenTrashDir(int at, const std::string& name, bool create, bool owned) {
  if (create) mkdirat(at, name.c_str(), 0700);
  ScopedFd dir(openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  struct stat info;
  if (!dir.valid() || fstat(dir.get(), &info) != 0 || (owned && info.st_uid != geteuid())) {
    return ScopedFd();
  }
  return dir;
}

// One trash: its files/ and info/ folders, and what the .trashinfo Path of an
// entry is measured from (empty for the home trash: absolute paths).
struct TrashPlace {
  ScopedFd files;
  ScopedFd info;
  std::string top;
};

bool OpenFilesAndInfo(ScopedFd trash, TrashPlace* place) {
  if (!trash.valid()) return false;
  place->files = OpenTrashDir(trash.get(), "files", true, true);
  place->info = OpenTrashDir(trash.get(), "info", true, true);
  return place->files.valid() && place->info.valid();
}

dev_t DeviceOf(int fd) {
  struct stat info;
  return fstat(fd, &info) == 0 ? info.st_dev : static_cast<dev_t>(-1);
}

// The home trash when the entry lives on its device, otherwise the trash at
// the top of the entry's mount: .Trash/$uid when an administrator made a
// sticky .Trash there, else .Trash-$uid. Mounts that GIO counts as the
// system's own (/dev/shm, /proc, ...) get no trash at all.
bool FindTrash(dev_t device, const std::string& directory, TrashPlace* place) {
  const char* data_home = g_get_user_data_dir();
  g_mkdir_with_parents(data_home, 0700);
  ScopedFd data(open(data_home, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (data.valid()) {
    ScopedFd home = OpenTrashDir(data.get(), "Trash", true, true);
    if (home.valid() && DeviceOf(home.get()) == device) {
      place->top.clear();
      return OpenFilesAndInfo(std::move(home), place);
    }
  }
  GUnixMountEntry* mount = g_unix_mount_for(directory.c_str(), nullptr);
  if (mount == nullptr) return false;
  const bool internal = g_unix_mount_is_system_internal(mount);
  place->top = g_unix_mount_get_mount_path(mount);
  g_unix_mount_free(mount);
  if (internal) return false;
  ScopedFd top(open(place->top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!top.valid() || DeviceOf(top.get()) != device) return false;
  const std::string uid = std::to_string(geteuid());
  ScopedFd shared = OpenTrashDir(top.get(), ".Trash", false, false);
  struct stat info;
  if (shared.valid() && fstat(shared.get(), &info) == 0 && (info.st_mode & S_ISVTX) != 0 &&
      OpenFilesAndInfo(OpenTrashDir(shared.get(), uid, true, true), place)) {
    return true;
  }
  return OpenFilesAndInfo(OpenTrashDir(top.get(), ".Trash-" + uid, true, true), place);
}

std::string InfoText(const std::string& original) {
  char* escaped = g_uri_escape_string(original.c_str(), "/", FALSE);
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char date[32];
  std::strftime(date, sizeof(date), "%Y-%m-%dT%H:%M:%S", &local);
  std::string text = "[Trash Info]\nPath=";
  text += escaped;
  text += "\nDeletionDate=";
  text += date;
  text += '\n';
  g_free(escaped);
  return text;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t put = write(fd, text.data() + done, text.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

// Claims a free name in the trash by creating its .trashinfo exclusively, as
// the trash's rules ask: "name", then "name.2", "name.3", ... Names are cut so
// that the info file's name still fits.
bool ClaimTrashName(const TrashPlace& place, const std::string& leaf, const std::string& info,
                    std::string* name) {
  const std::size_t room = NAME_MAX - (sizeof(kInfoSuffix) - 1) - 8;
  const std::string base = leaf.substr(0, room);
  for (int i = 1; i < 10000; ++i) {
    *name = i == 1 ? base : base + "." + std::to_string(i);
    struct stat existing;
    if (fstatat(place.files.get(), name->c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) continue;
    const std::string info_name = *name + kInfoSuffix;
    ScopedFd fd(openat(place.info.get(), info_name.c_str(),
                       O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd.valid()) {
      if (errno == EEXIST) continue;
      return false;
    }
    if (WriteAll(fd.get(), info) && fsync(fd.get()) == 0) return true;
    unlinkat(place.info.get(), info_name.c_str(), 0);
    return false;
  }
  return false;
}

}  // namespace

bool TrashEntry(int parent_fd, const std::string& leaf) {
  struct stat entry;
  std::string directory;
  if (fstatat(parent_fd, leaf.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0 ||
      !RealPathOf(parent_fd, &directory)) {
    return false;
  }
  TrashPlace place;
  if (!FindTrash(entry.st_dev, directory, &place)) return false;
  // The path the entry has now, from the kernel's own record of the open
  // directory, so a restore puts it back where it really was.
  std::string original = (directory == "/" ? "" : directory) + "/" + leaf;
  if (!place.top.empty()) {
    const std::string prefix = place.top == "/" ? "/" : place.top + "/";
    if (original.compare(0, prefix.size(), prefix) == 0) original.erase(0, prefix.size());
  }
  std::string name;
  if (!ClaimTrashName(place, leaf, InfoText(original), &name)) return false;
  int moved = renameat2(parent_fd, leaf.c_str(), place.files.get(), name.c_str(), RENAME_NOREPLACE);
  // Without RENAME_NOREPLACE the claimed info file still keeps the name ours.
  if (moved != 0 && errno == EINVAL) {
    moved = renameat(parent_fd, leaf.c_str(), place.files.get(), name.c_str());
  }
  if (moved == 0) return true;
  unlinkat(place.info.get(), (name + kInfoSuffix).c_str(), 0);
  return false;
}

}  // namespace duplane
