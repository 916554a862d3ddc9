// LinkDeleteFile on Windows: the Recycle Bin through the shell's file
// operation (with undo), normal delete, and wipe, which overwrites the whole
// file with random bytes, flushes it to the disk and only then deletes it. A
// link (symbolic link, junction) is always removed as itself: no mode reaches
// what it points at.
#include <windows.h>
// The shell's headers need windows.h first.
#include <shellapi.h>

#include <random>

#include "localfs/file_values.h"
#include "localfs/local_file_system.h"
#include "localfs/local_native_win.h"

namespace duplane {
namespace {

constexpr DWORD kWipeBlock = 8192;

// The shell moves the entry into the drive's Recycle Bin. It is told never to
// ask and never to show an error: nobody sits at the Remote PC. A drive
// without a Recycle Bin (a floppy, a USB stick) would make the shell delete
// for good without a word, so there the answer is false and the user sees
// the delete error instead.
bool Recycle(const std::wstring& shell_path, const std::wstring& drive_folder) {
  SHQUERYRBINFO bin;
  bin.cbSize = sizeof bin;
  std::wstring root = drive_folder.substr(0, 3);
  if (SHQueryRecycleBinW(root.c_str(), &bin) != S_OK) return false;
  std::wstring from = shell_path;
  from.push_back(L'\0');  // a list of one, ended by a second zero
  SHFILEOPSTRUCTW operation = {};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  return SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
}

bool RemoveLink(const std::wstring& native, DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(native.c_str()) != 0
                                                 : DeleteFileW(native.c_str()) != 0;
}

}  // namespace

// Overwrites the file named `native` and deletes it. Only bytes that this name
// alone holds are overwritten: a file that another name still holds (a hard
// link, perhaps from outside the folders served) loses this name only, and
// the other keeps its data.
static bool WipeFile(const std::wstring& native, std::mt19937* random,
                     const std::function<void(std::size_t)>& observer) {
  HANDLE file = CreateFileW(native.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    CloseHandle(file);
    return false;
  }
  if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    CloseHandle(file);
    return RemoveLink(native, info.dwFileAttributes);
  }
  if (info.nNumberOfLinks > 1) {
    CloseHandle(file);
    return DeleteFileW(native.c_str()) != 0;
  }
  std::uint64_t remaining =
      (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  std::uint8_t buffer[kWipeBlock];
  std::uniform_int_distribution<int> byte(0, 255);
  while (remaining > 0) {
    const DWORD n = remaining < kWipeBlock ? static_cast<DWORD>(remaining) : kWipeBlock;
    for (DWORD i = 0; i < n; ++i) buffer[i] = static_cast<std::uint8_t>(byte(*random));
    DWORD written = 0;
    if (!WriteFile(file, buffer, n, &written, nullptr) || written == 0) {
      CloseHandle(file);  // the file stays, overwritten as far as we got
      return false;
    }
    if (observer) observer(written);
    remaining -= written;
  }
  const bool flushed = FlushFileBuffers(file) != 0;
  CloseHandle(file);
  return flushed && DeleteFileW(native.c_str()) != 0;
}

bool LocalFileSystem::Delete(const std::string& path, std::int32_t mode) {
  if (mode != kDeleteRecycle && mode != kDeleteNormal && mode != kDeleteWipe) return false;
  ResolvedPath resolved;
  PinnedWalk pins;
  std::wstring native;
  if (!table_.Resolve(path, &resolved) || native_->Reach(resolved, true, &pins, &native) != 0) {
    return false;
  }
  const DWORD attributes = GetFileAttributesW(native.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  switch (mode) {
    case kDeleteRecycle: {
      // The shell walks the path again, but the directories on the way are
      // held by the walk until it is done, so it reaches the same entry.
      std::wstring shell_path;
      return native_->ShellPath(resolved, &shell_path) &&
             Recycle(shell_path, native_->roots[resolved.drive]);
    }
    case kDeleteNormal:
      if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return RemoveLink(native, attributes);
      return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && DeleteFileW(native.c_str()) != 0;
    default:
      return WipeFile(native, &random_, wipe_observer_);
  }
}

}  // namespace duplane
