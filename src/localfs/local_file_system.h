// The local branch of every Link operation: the file system of this PC seen
// through a table of drive letters, answered with Windows results (handles,
// Windows error codes, attribute bits, FILETIMEs). The program runs it for
// Side::kLocal; the Remote Module runs the same object for every request.
//
// With `confine` set (the Remote Module) no path that arrives reaches outside
// the mapped directories: ".." stops at a drive's root and a symbolic link that
// leads out is refused by the kernel's path walk.
//
// The class is platform-neutral; its operations live in *_linux.cc files so
// that a Windows branch can be added beside them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "localfs/drive_table.h"
#include "localfs/file_values.h"
#include "localfs/find_record.h"

namespace duplane {

// Open files at once per object: the copy engine needs two, the rest is slack.
constexpr int kMaxOpenFiles = 64;
// First handle number: 0, 1 and 2 never name a file, whatever a caller sends.
constexpr std::int32_t kFirstHandle = 0x100;

// How a confined object walks paths: with the kernel's openat2 where there is
// one, else one name at a time; tests ask for the second to check it alike.
enum class PathWalk { kAuto, kByName };

class LocalFileSystem {
 public:
  LocalFileSystem(std::vector<DriveMapping> drives, bool confine, PathWalk walk = PathWalk::kAuto);
  ~LocalFileSystem();
  LocalFileSystem(const LocalFileSystem&) = delete;
  LocalFileSystem& operator=(const LocalFileSystem&) = delete;

  // C: = /.
  static std::vector<DriveMapping> DefaultDrives();

  const DriveTable& drive_table() const { return table_; }
  bool confined() const { return confine_; }
  // Which walk confines the paths, in words for the Remote Module's log.
  const char* path_walk_name() const;

  std::string GetDrives() const { return table_.Letters(); }
  char GetHomeDrive() const;
  std::int32_t ChDir(const std::string& path);
  std::string GetDir(std::uint8_t drive) const;
  std::int64_t DiskFree(std::uint8_t drive);
  std::int64_t DiskSize(std::uint8_t drive);

  // Slots 1..20; any other number does nothing and answers kErrorInvalidHandle.
  std::int32_t FindFirst(std::int32_t slot, const std::string& pattern, std::int32_t mask,
                         FindRecord* record);
  std::int32_t FindNext(std::int32_t slot, FindRecord* record);
  void FindClose(std::int32_t slot);

  std::int32_t FileOpen(const std::string& path, std::int32_t mode);
  std::int32_t FileCreate(const std::string& path);
  std::int64_t FileSeek(std::int32_t handle, std::int64_t offset, std::int32_t origin);
  std::int32_t FileRead(std::int32_t handle, void* buffer, std::int32_t count);
  std::int32_t FileWrite(std::int32_t handle, const void* buffer, std::int32_t count);
  // A file made by FileCreate is flushed to stable storage first, so that a
  // move deletes its source only once the copy would survive a power loss.
  // False when the flush or the close failed, or the handle names no file.
  bool FileClose(std::int32_t handle);
  bool GetFileTime(std::int32_t handle, FileTime* creation, FileTime* last_access,
                   FileTime* last_write);
  bool SetFileTime(std::int32_t handle, FileTime creation, FileTime last_access,
                   FileTime last_write);
  std::uint32_t GetCRC() const { return crc_; }
  // The CRC register continued from *crc over `length` bytes of the file from
  // `offset` on; the number of bytes folded (fewer at the end of the file), or
  // -1 when the file cannot be opened and read. The running CRC is left as it
  // was: the copy that owns it may be half-way through a file.
  std::int64_t RangeCrc(const std::string& path, std::int64_t offset, std::int64_t length,
                        std::uint32_t* crc);

  bool Delete(const std::string& path, std::int32_t mode);
  bool FileExists(const std::string& path);
  std::int32_t FileGetAttr(const std::string& path);
  bool FileSetAttr(const std::string& path, std::int32_t attributes);
  bool CreateDir(const std::string& path);
  bool RemoveDir(const std::string& path);
  bool RenameFile(const std::string& old_path, const std::string& new_path);
  bool DirectoryExists(const std::string& path);
  std::int32_t FileAge(const std::string& path);

  std::vector<std::uint8_t> SysImageList() const;
  void GetIconIndex(const std::string& path, std::int32_t* normal, std::int32_t* open);
  // Both take a directory path ending in a backslash (the Link adds it).
  bool HasSubDirs(const std::string& path);
  std::int32_t ListSubDirs(const std::string& path, std::vector<std::string>* names);

  // Closes every open file and search; the Remote Module calls it when a
  // connection ends. A file made by FileCreate and never closed was never
  // finished (the program closes every target it completes): it is removed,
  // so that no half-written file looks like a copy.
  void CloseAll();

  // Told the size of every write a wipe makes; for tests of the block sizes.
  void SetWipeObserver(std::function<void(std::size_t)> observer) {
    wipe_observer_ = std::move(observer);
  }

  // The platform's open roots, handles and searches; opaque outside the
  // platform's own files.
  struct Native;

 private:
  bool Wipe(int parent_fd, const std::string& leaf);
  // The walk behind HasSubDirs and ListSubDirs, one per platform: every entry
  // of the directory with mask 0x3F that is a directory other than "." and
  // "..", counted and (when `names` is given) named; stops at the first when
  // `first_only`.
  std::int32_t WalkSubDirs(const std::string& path, bool first_only,
                           std::vector<std::string>* names);

  DriveTable table_;
  bool confine_;
  std::uint32_t crc_ = 0xFFFFFFFFu;
  std::mt19937 random_;  // wipe bytes; seeded once per object
  std::function<void(std::size_t)> wipe_observer_;
  std::unique_ptr<Native> native_;
};

}  // namespace duplane
