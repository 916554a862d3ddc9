// Open files on Windows: LinkFileOpen/Create/Seek/Read/Write/Close and the file
// times of an open file. Callers get small handle numbers from a table, never
// the system's handles, so a number that arrives over the cable can only ever
// name a file this object opened itself.
#include <windows.h>

#include "localfs/crc32.h"
#include "localfs/local_file_system.h"
#include "localfs/local_native_win.h"

namespace duplane {
namespace {

// Only plain files on a disk are kept open: not a directory, not a device,
// and (confined) not a reparse point, whose target was never walked to.
bool IsPlainFile(HANDLE handle, bool confine, BY_HANDLE_FILE_INFORMATION* info) {
  if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, info)) {
    return false;
  }
  if (info->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  return !confine || (info->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

DWORD OpenFlags(bool confine) {
  return FILE_ATTRIBUTE_NORMAL | (confine ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
}

// What a create asks for: DELETE too, so that an unfinished file can be
// removed through its own handle (below).
constexpr DWORD kCreateAccess = GENERIC_READ | GENERIC_WRITE | DELETE;

// Marks the open file to be deleted when its handle closes. Through the handle
// itself, not the name: whatever the name may lead to by then, only the file
// we created goes. Kernel32 offers that only from Vista on; on XP the native
// call beneath it does it, looked up at run time so that nothing newer than
// XP is imported.
bool DeleteWhenClosed(HANDLE handle) {
  struct IoStatusBlock {
    union {
      LONG status;
      void* pointer;
    };
    ULONG_PTR information;
  };
  struct DispositionInformation {
    BOOLEAN delete_file;
  };
  constexpr int kFileDispositionInformation = 13;
  using SetInformationFile = LONG(WINAPI*)(HANDLE, IoStatusBlock*, void*, ULONG, int);
  static const auto set_information =
      reinterpret_cast<SetInformationFile>(reinterpret_cast<void (*)()>(
          GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtSetInformationFile")));
  if (set_information == nullptr) return false;
  IoStatusBlock io = {};
  DispositionInformation disposition = {TRUE};
  return set_information(handle, &io, &disposition, sizeof disposition,
                         kFileDispositionInformation) >= 0;
}

}  // namespace

static std::int32_t Adopt(LocalFileSystem::Native* native, HANDLE handle, bool created,
                          bool written) {
  if (handle == INVALID_HANDLE_VALUE) return -1;
  for (int i = 0; i < kMaxOpenFiles; ++i) {
    OpenFile& slot = native->files[i];
    if (slot.handle == INVALID_HANDLE_VALUE) {
      slot.handle = handle;
      slot.created = created;
      slot.written = written;
      return kFirstHandle + i;
    }
  }
  CloseHandle(handle);
  return -1;
}

std::int32_t LocalFileSystem::FileOpen(const std::string& path, std::int32_t mode) {
  crc_ = kCrcStart;
  // By access: read, write, both.
  static constexpr DWORD kAccess[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
  // By sharing: compatible, exclusive, deny write, deny read, deny none.
  static constexpr DWORD kSharing[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE};
  const int access = mode & kOpenAccessMask;
  const int sharing = (mode & kShareMask) >> kShareShift;
  ResolvedPath resolved;
  PinnedWalk pins;
  std::wstring native;
  if (access > kOpenReadWrite || sharing > (kShareDenyNone >> kShareShift) ||
      !table_.Resolve(path, &resolved) || native_->Reach(resolved, true, &pins, &native) != 0) {
    return -1;
  }
  HANDLE handle = CreateFileW(native.c_str(), kAccess[access], kSharing[sharing], nullptr,
                              OPEN_EXISTING, OpenFlags(confine_), nullptr);
  // A writer never changes what another name (a hard link) still holds.
  BY_HANDLE_FILE_INFORMATION info;
  if (handle != INVALID_HANDLE_VALUE &&
      (!IsPlainFile(handle, confine_, &info) || (access != kOpenRead && info.nNumberOfLinks > 1))) {
    CloseHandle(handle);
    return -1;
  }
  return Adopt(native_.get(), handle, false, access != kOpenRead);
}

std::int32_t LocalFileSystem::FileCreate(const std::string& path) {
  crc_ = kCrcStart;
  ResolvedPath resolved;
  PinnedWalk pins;
  std::wstring native;
  if (!table_.Resolve(path, &resolved) ||
      native_->Reach(resolved, true, &pins, &native, /*for_creation=*/true) != 0) {
    return -1;
  }
  // An existing file is looked at before it is emptied: never through a link.
  // A file that another name still holds keeps its bytes for that name; this
  // name is given a new file instead.
  HANDLE handle = CreateFileW(native.c_str(), kCreateAccess, 0, nullptr, OPEN_EXISTING,
                              OpenFlags(confine_), nullptr);
  bool shared = false;
  if (handle != INVALID_HANDLE_VALUE) {
    BY_HANDLE_FILE_INFORMATION info;
    shared = IsPlainFile(handle, confine_, &info) && info.nNumberOfLinks > 1;
    if (!shared && (!IsPlainFile(handle, confine_, &info) ||
                    SetFilePointer(handle, 0, nullptr, FILE_BEGIN) != 0 || !SetEndOfFile(handle))) {
      CloseHandle(handle);
      return -1;
    }
    if (shared) {
      CloseHandle(handle);
      handle = INVALID_HANDLE_VALUE;
      if (!DeleteFileW(native.c_str())) return -1;
    }
  }
  if (handle == INVALID_HANDLE_VALUE && (shared || GetLastError() == ERROR_FILE_NOT_FOUND)) {
    handle = CreateFileW(native.c_str(), kCreateAccess, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  // The part file of a safe copy is unfinished by its very name: it stays
  // when the connection ends, so that the next copy can resume it.
  const bool part = !resolved.names.empty() && IsPartFileName(resolved.names.back());
  return Adopt(native_.get(), handle, !part, true);
}

std::int64_t LocalFileSystem::FileSeek(std::int32_t handle, std::int64_t offset,
                                       std::int32_t origin) {
  static constexpr DWORD kMethod[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};  // by origin
  OpenFile* file = native_->FileOf(handle);
  if (file == nullptr || origin < kSeekBegin || origin > kSeekEnd) return -1;
  LARGE_INTEGER distance, position;
  distance.QuadPart = offset;
  if (!SetFilePointerEx(file->handle, distance, &position, kMethod[origin])) return -1;
  return position.QuadPart;
}

std::int32_t LocalFileSystem::FileRead(std::int32_t handle, void* buffer, std::int32_t count) {
  OpenFile* file = native_->FileOf(handle);
  if (file == nullptr || count < 0) return -1;
  DWORD done = 0;
  if (!ReadFile(file->handle, buffer, static_cast<DWORD>(count), &done, nullptr)) return -1;
  crc_ = UpdateCrcLong(crc_, done, buffer);
  return static_cast<std::int32_t>(done);
}

std::int32_t LocalFileSystem::FileWrite(std::int32_t handle, const void* buffer,
                                        std::int32_t count) {
  OpenFile* file = native_->FileOf(handle);
  if (file == nullptr || count < 0) return -1;
  crc_ = UpdateCrcLong(crc_, static_cast<std::size_t>(count), buffer);
  DWORD done = 0;
  if (!WriteFile(file->handle, buffer, static_cast<DWORD>(count), &done, nullptr)) return -1;
  return static_cast<std::int32_t>(done);
}

bool LocalFileSystem::FileClose(std::int32_t handle) {
  OpenFile* file = native_->FileOf(handle);
  if (file == nullptr) return false;
  // A file this side wrote is on the disk before anyone hears it is closed,
  // so a move deletes its source only after the copy would survive a power cut.
  const bool flushed = !file->written || FlushFileBuffers(file->handle) != 0;
  const bool closed = CloseHandle(file->handle) != 0;
  *file = OpenFile();
  return flushed && closed;
}

void LocalFileSystem::Native::CloseFiles() {
  for (OpenFile& file : files) {
    if (file.handle == INVALID_HANDLE_VALUE) continue;
    // A created file still open was never finished (the program closes every
    // target it completes): it goes, so that no half-written file looks like
    // a copy. Opened with no sharing, it cannot have been renamed meanwhile.
    if (file.created) DeleteWhenClosed(file.handle);
    CloseHandle(file.handle);
    file = OpenFile();
  }
}

bool LocalFileSystem::GetFileTime(std::int32_t handle, FileTime* creation, FileTime* last_access,
                                  FileTime* last_write) {
  OpenFile* file = native_->FileOf(handle);
  FILETIME times[3];
  if (file == nullptr || !::GetFileTime(file->handle, &times[0], &times[1], &times[2])) {
    return false;
  }
  *creation = FromFileTime(times[0]);
  *last_access = FromFileTime(times[1]);
  *last_write = FromFileTime(times[2]);
  return true;
}

bool LocalFileSystem::SetFileTime(std::int32_t handle, FileTime creation, FileTime last_access,
                                  FileTime last_write) {
  OpenFile* file = native_->FileOf(handle);
  if (file == nullptr) return false;
  // A zero time leaves that time as it is: Windows' own rule.
  const FILETIME times[3] = {ToFileTime(creation), ToFileTime(last_access), ToFileTime(last_write)};
  return ::SetFileTime(file->handle, &times[0], &times[1], &times[2]) != 0;
}

}  // namespace duplane
