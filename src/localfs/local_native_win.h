// Windows state of a LocalFileSystem shared by its *_win.cc files: the folder
// of each drive, the table of open files, the twenty searches, and the path
// walk where confinement happens.
//
// Every native path is built from a drive's folder and the plain names the
// drive table resolved, in the "\\?\" form: no name is reinterpreted on the
// way (no "..", no device names such as CON or LPT1, no trailing dots cut
// off). A confined walk (the Remote Module) opens every directory from the
// drive's folder down and holds it open without delete sharing while the
// operation runs, so no directory on the way can be renamed or swapped for
// a link meanwhile, and it refuses any reparse point on the way: junctions
// and symbolic links are Windows' links, and where they lead is not checked.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "localfs/drive_table.h"
#include "localfs/local_file_system.h"

namespace duplane {

// Windows error codes the walk answers beyond those of local_file_system.h.
constexpr std::int32_t kErrorSharingViolation = 32;
constexpr std::int32_t kErrorInvalidName = 123;
constexpr std::int32_t kErrorDirectoryName = 267;

struct SearchState {
  HANDLE find = INVALID_HANDLE_VALUE;
  bool at_drive_root = false;  // "." and ".." are left out there, as Windows does
  std::int32_t mask = 0;
};

struct OpenFile {
  HANDLE handle = INVALID_HANDLE_VALUE;
  bool created = false;  // never finished unless closed: removed when the connection ends
  bool written = false;  // flushed to the disk when closed
};

// The directories of one walk, held open until the operation is done.
class PinnedWalk {
 public:
  PinnedWalk() = default;
  ~PinnedWalk();
  PinnedWalk(const PinnedWalk&) = delete;
  PinnedWalk& operator=(const PinnedWalk&) = delete;

 private:
  friend struct LocalFileSystem::Native;
  std::vector<HANDLE> handles_;
};

struct LocalFileSystem::Native {
  std::vector<std::wstring> roots;  // each drive's folder, full path without "\\?\"
  bool confine = false;
  std::array<OpenFile, kMaxOpenFiles> files;
  std::array<SearchState, kSearchSlots> searches;

  // "\\?\" + the drive's folder + the names. False (with kErrorInvalidName)
  // for a name Windows cannot hold; `for_creation` also refuses the names
  // Windows programs cannot open (device names, a trailing dot or space).
  bool NativePath(const ResolvedPath& path, std::wstring* out, std::int32_t* error,
                  bool for_creation = false) const;
  // The same path as the shell takes it: plain, at most MAX_PATH characters.
  bool ShellPath(const ResolvedPath& path, std::wstring* out) const;
  // The native path, and (when confined) the walk from the drive's folder to
  // the path itself or, with `parent_only`, to the directory that holds it,
  // each directory held open in `pins`. 0, or the Windows error code met.
  std::int32_t Reach(const ResolvedPath& path, bool parent_only, PinnedWalk* pins,
                     std::wstring* native, bool for_creation = false) const;
  // The open file of a handle, or null for any number this object did not hand out.
  OpenFile* FileOf(std::int32_t handle);
  // Closes every open file; removes the created ones, which were never finished.
  void CloseFiles();

 private:
  std::int32_t WalkNames(const ResolvedPath& path, std::size_t depth, PinnedWalk* pins) const;
};

// The find record of one entry as Windows keeps it; the 8.3 name stands in
// for a long name too long for the record, so the entry can still be named.
FindRecord RecordOfFindData(const WIN32_FIND_DATAW& data);
FileTime FromFileTime(const FILETIME& time);
FILETIME ToFileTime(FileTime time);

}  // namespace duplane
