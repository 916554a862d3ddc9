// LocalFileSystem on Windows: native paths and the confined walk, drives and
// current directories, disk space, attributes, and the path operations that
// need no open file (exists, create/remove directory, rename, file age).
#include <windows.h>

#include <chrono>
#include <cwctype>

#include "localfs/local_file_system.h"
#include "localfs/local_native_win.h"
#include "text/windows_text.h"

namespace duplane {
namespace {

constexpr wchar_t kLongPrefix[] = L"\\\\?\\";
constexpr wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";

bool IsWindowsNameChar(wchar_t c) {
  return c >= 0x20 && c != L'<' && c != L'>' && c != L':' && c != L'"' && c != L'/' && c != L'\\' &&
         c != L'|' && c != L'?' && c != L'*';
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9, alone or with an extension: names
// that Windows programs open as devices.
bool IsDeviceName(const std::wstring& name) {
  std::wstring base = name.substr(0, name.find(L'.'));
  while (!base.empty() && base.back() == L' ') base.pop_back();
  for (wchar_t& c : base) c = static_cast<wchar_t>(std::towupper(c));
  if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL") return true;
  return base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0) &&
         base[3] >= L'1' && base[3] <= L'9';
}

std::wstring WithBackslash(std::wstring path) {
  if (path.empty() || path.back() != L'\\') path += L'\\';
  return path;
}

// Holds a handle opened for a walk; closed unless handed to the pins.
HANDLE OpenDirectoryForWalk(const std::wstring& path, bool* pinned) {
  // List access takes part in the sharing checks, so leaving out delete
  // sharing keeps the directory from being renamed or removed while held.
  HANDLE handle = CreateFileW(path.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  *pinned = handle != INVALID_HANDLE_VALUE;
  if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
    // A folder that may be passed but not listed: looked at, not held.
    handle = CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  }
  return handle;
}

std::int32_t ErrorOnTheWay(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND ? kErrorPathNotFound : static_cast<std::int32_t>(error);
}

}  // namespace

PinnedWalk::~PinnedWalk() {
  for (HANDLE handle : handles_) CloseHandle(handle);
}

bool LocalFileSystem::Native::NativePath(const ResolvedPath& path, std::wstring* out,
                                         std::int32_t* error, bool for_creation) const {
  if (path.drive < 0 || path.drive >= static_cast<int>(roots.size())) {
    *error = kErrorPathNotFound;
    return false;
  }
  const std::wstring& root = roots[path.drive];
  if (root.compare(0, 2, L"\\\\") == 0) {
    *out = kLongUncPrefix + root.substr(2);
  } else {
    *out = kLongPrefix + root;
  }
  for (std::size_t i = 0; i < path.names.size(); ++i) {
    std::wstring name;
    bool valid = WideFromUtf8(path.names[i], &name) && !name.empty();
    for (wchar_t c : name) valid = valid && IsWindowsNameChar(c);
    if (valid && for_creation && i + 1 == path.names.size()) {
      valid = name.back() != L'.' && name.back() != L' ' && !IsDeviceName(name);
    }
    if (!valid) {
      *error = kErrorInvalidName;
      return false;
    }
    *out = WithBackslash(std::move(*out)) + name;
  }
  return true;
}

bool LocalFileSystem::Native::ShellPath(const ResolvedPath& path, std::wstring* out) const {
  std::int32_t error;
  std::wstring native;
  if (!NativePath(path, &native, &error)) return false;
  if (native.compare(0, 8, kLongUncPrefix) == 0) {
    *out = L"\\\\" + native.substr(8);
  } else {
    *out = native.substr(4);
  }
  return out->size() < MAX_PATH;
}

std::int32_t LocalFileSystem::Native::WalkNames(const ResolvedPath& path, std::size_t depth,
                                                PinnedWalk* pins) const {
  if (!confine) return 0;
  ResolvedPath prefix;
  prefix.drive = path.drive;
  for (std::size_t i = 0; i <= depth; ++i) {
    if (i > 0) prefix.names.push_back(path.names[i - 1]);
    std::wstring native;
    std::int32_t error;
    if (!NativePath(prefix, &native, &error)) return error;
    bool pinned = false;
    HANDLE handle = OpenDirectoryForWalk(native, &pinned);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD code = GetLastError();
      return i == depth && depth == path.names.size() ? static_cast<std::int32_t>(code)
                                                      : ErrorOnTheWay(code);
    }
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(handle, &info) != 0;
    if (pinned) {
      pins->handles_.push_back(handle);
    } else {
      CloseHandle(handle);
    }
    // The drive's own folder is the user's choice, link or not; below it the
    // walk goes through plain directories only.
    if (!known) return kErrorAccessDenied;
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return kErrorPathNotFound;
    if (i > 0 && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      return kErrorPathNotFound;
    }
  }
  return 0;
}

std::int32_t LocalFileSystem::Native::Reach(const ResolvedPath& path, bool parent_only,
                                            PinnedWalk* pins, std::wstring* native,
                                            bool for_creation) const {
  std::int32_t error = 0;
  if (!NativePath(path, native, &error, for_creation)) return error;
  if (parent_only && path.names.empty()) return kErrorAccessDenied;  // a drive has no parent here
  return WalkNames(path, parent_only ? path.names.size() - 1 : path.names.size(), pins);
}

OpenFile* LocalFileSystem::Native::FileOf(std::int32_t handle) {
  const std::int64_t index = static_cast<std::int64_t>(handle) - kFirstHandle;
  if (index < 0 || index >= kMaxOpenFiles) return nullptr;
  OpenFile* file = &files[static_cast<std::size_t>(index)];
  return file->handle == INVALID_HANDLE_VALUE ? nullptr : file;
}

FileTime FromFileTime(const FILETIME& time) {
  return (static_cast<FileTime>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME ToFileTime(FileTime time) {
  FILETIME out;
  out.dwLowDateTime = static_cast<DWORD>(time & 0xFFFFFFFFu);
  out.dwHighDateTime = static_cast<DWORD>(time >> 32);
  return out;
}

// Windows has one walk: each folder held open, reparse points refused.
LocalFileSystem::LocalFileSystem(std::vector<DriveMapping> drives, bool confine, PathWalk)
    : table_(drives.empty() ? DefaultDrives() : std::move(drives)),
      confine_(confine),
      random_(static_cast<std::mt19937::result_type>(
          std::chrono::steady_clock::now().time_since_epoch().count() ^ GetCurrentProcessId())),
      native_(new Native) {
  // Nobody may have to answer "There is no disk in the drive" on a PC where
  // this runs unattended: a drive without a disk is just not ready.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  native_->confine = confine;
  for (const DriveMapping& drive : table_.drives()) {
    std::wstring folder;
    WideFromUtf8(drive.directory, &folder);
    // A drive's root keeps its backslash ("C:\"), a folder does without.
    if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    native_->roots.push_back(folder);
  }
  const int home = table_.IndexOfLetter(GetHomeDrive());
  table_.set_current_drive(home < 0 ? 0 : home);
}

LocalFileSystem::~LocalFileSystem() { CloseAll(); }

const char* LocalFileSystem::path_walk_name() const {
  return confine_ ? "confined by a walk one folder at a time, each held open, no reparse point "
                    "entered"
                  : "not confined";
}

std::vector<DriveMapping> LocalFileSystem::DefaultDrives() {
  // The drives present when the module starts, each at its own root.
  std::vector<DriveMapping> drives;
  const DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (mask & (1u << i)) {
      const char letter = static_cast<char>('A' + i);
      drives.push_back({letter, std::string(1, letter) + ":\\"});
    }
  }
  return drives;
}

char LocalFileSystem::GetHomeDrive() const {
  const auto& drives = table_.drives();
  if (drives.empty()) return 'C';
  std::vector<wchar_t> buffer(MAX_PATH);
  DWORD length;
  while ((length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()))) ==
             buffer.size() &&
         buffer.size() < 32768) {
    buffer.resize(buffer.size() * 2);
  }
  std::wstring exe(buffer.data(), length);
  for (wchar_t& c : exe) c = static_cast<wchar_t>(std::towupper(c));
  // The drive whose folder holds the executable, the deepest if several do.
  int best = -1;
  for (std::size_t i = 0; i < drives.size(); ++i) {
    std::wstring folder = WithBackslash(native_->roots[i]);
    for (wchar_t& c : folder) c = static_cast<wchar_t>(std::towupper(c));
    if (exe.compare(0, folder.size(), folder) == 0 &&
        (best < 0 || folder.size() > native_->roots[best].size())) {
      best = static_cast<int>(i);
    }
  }
  return best >= 0 ? drives[best].letter : drives.front().letter;
}

std::int32_t LocalFileSystem::ChDir(const std::string& path) {
  ResolvedPath resolved;
  if (!table_.Resolve(path, &resolved)) return kErrorPathNotFound;
  PinnedWalk pins;
  std::wstring native;
  std::int32_t error = native_->Reach(resolved, false, &pins, &native);
  if (error == 0) {
    const DWORD attributes = GetFileAttributesW(native.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      error = static_cast<std::int32_t>(GetLastError());
    } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      error = kErrorDirectoryName;
    }
  }
  if (error != 0) return error;
  table_.SetCurrent(resolved);
  return 0;
}

std::string LocalFileSystem::GetDir(std::uint8_t drive) const {
  return table_.CurrentDirectoryText(drive);
}

static bool DiskSpace(const std::wstring& folder, ULARGE_INTEGER* available,
                      ULARGE_INTEGER* total) {
  ULARGE_INTEGER free_total;
  return GetDiskFreeSpaceExW(WithBackslash(folder).c_str(), available, total, &free_total) != 0;
}

std::int64_t LocalFileSystem::DiskFree(std::uint8_t drive) {
  const int index = table_.IndexOfNumber(drive);
  ULARGE_INTEGER available, total;
  if (index < 0 || !DiskSpace(native_->roots[index], &available, &total)) return -1;
  return static_cast<std::int64_t>(available.QuadPart);
}

std::int64_t LocalFileSystem::DiskSize(std::uint8_t drive) {
  const int index = table_.IndexOfNumber(drive);
  ULARGE_INTEGER available, total;
  if (index < 0 || !DiskSpace(native_->roots[index], &available, &total)) return -1;
  return static_cast<std::int64_t>(total.QuadPart);
}

// The attributes of a path, reached through the walk; false when there is
// nothing there (or it cannot be reached).
static bool AttributesAt(const LocalFileSystem::Native& native, const DriveTable& table,
                         const std::string& path, WIN32_FILE_ATTRIBUTE_DATA* data) {
  ResolvedPath resolved;
  PinnedWalk pins;
  std::wstring name;
  if (!table.Resolve(path, &resolved) || native.Reach(resolved, true, &pins, &name) != 0) {
    // The drive's folder itself has no parent to walk to.
    if (resolved.drive < 0 || !resolved.names.empty()) return false;
    std::int32_t error;
    if (!native.NativePath(resolved, &name, &error)) return false;
  }
  return GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, data) != 0;
}

bool LocalFileSystem::FileExists(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return AttributesAt(*native_, table_, path, &data) &&
         (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool LocalFileSystem::DirectoryExists(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return AttributesAt(*native_, table_, path, &data) &&
         (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::int32_t LocalFileSystem::FileGetAttr(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!AttributesAt(*native_, table_, path, &data)) return -1;
  return static_cast<std::int32_t>(data.dwFileAttributes);
}

std::int32_t LocalFileSystem::FileAge(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  FILETIME local;
  WORD date, time;
  if (!AttributesAt(*native_, table_, path, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
      !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
      !FileTimeToDosDateTime(&local, &date, &time)) {
    return -1;
  }
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(date) << 16) | time);
}

bool LocalFileSystem::FileSetAttr(const std::string& path, std::int32_t attributes) {
  // Only the bits a caller may set; the directory bit and the like come with
  // a copied entry's attributes and mean nothing to SetFileAttributes.
  constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                              FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                              FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                              FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  ResolvedPath resolved;
  PinnedWalk pins;
  std::wstring native;
  if (!table_.Resolve(path, &resolved) || native_->Reach(resolved, true, &pins, &native) != 0) {
    return false;
  }
  DWORD wanted = static_cast<DWORD>(attributes) & kSettable;
  if (wanted == 0) wanted = FILE_ATTRIBUTE_NORMAL;
  return SetFileAttributesW(native.c_str(), wanted) != 0;
}

bool LocalFileSystem::CreateDir(const std::string& path) {
  ResolvedPath resolved;
  PinnedWalk pins;
  std::wstring native;
  return table_.Resolve(path, &resolved) &&
         native_->Reach(resolved, true, &pins, &native, /*for_creation=*/true) == 0 &&
         CreateDirectoryW(native.c_str(), nullptr) != 0;
}

bool LocalFileSystem::RemoveDir(const std::string& path) {
  ResolvedPath resolved;
  PinnedWalk pins;
  std::wstring native;
  // A junction goes as the link it is; what it leads to stays.
  return table_.Resolve(path, &resolved) && native_->Reach(resolved, true, &pins, &native) == 0 &&
         RemoveDirectoryW(native.c_str()) != 0;
}

bool LocalFileSystem::RenameFile(const std::string& old_path, const std::string& new_path) {
  ResolvedPath from, to;
  PinnedWalk from_pins, to_pins;
  std::wstring from_native, to_native;
  // No copy across volumes and no replacing: a rename or nothing.
  return table_.Resolve(old_path, &from) && table_.Resolve(new_path, &to) &&
         native_->Reach(from, true, &from_pins, &from_native) == 0 &&
         native_->Reach(to, true, &to_pins, &to_native, /*for_creation=*/true) == 0 &&
         MoveFileExW(from_native.c_str(), to_native.c_str(), 0) != 0;
}

void LocalFileSystem::CloseAll() {
  native_->CloseFiles();
  for (int slot = 1; slot <= kSearchSlots; ++slot) FindClose(slot);
}

}  // namespace duplane
