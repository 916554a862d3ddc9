// Every file-system operation of the program, once, with the side first: on
// Side::kLocal it runs on this PC through the local branch; on Side::kRemote it
// is sent to the Remote Module as an operation code with its request fields and
// the answer is read back in the same form. Callers never see which branch ran,
// only data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/link_extensions.h"
#include "localfs/file_values.h"
#include "localfs/find_record.h"

namespace duplane {

class LinkLayer;
class LocalFileSystem;

// Which PC an operation runs on: this one, through the local branch, or the
// other one, through the Remote Module.
enum class Side { kLocal, kRemote };

constexpr Side Other(Side side) { return side == Side::kLocal ? Side::kRemote : Side::kLocal; }
// 0 for the local side, 1 for the remote one: where a pair keeps each side's.
constexpr int SideIndex(Side side) { return side == Side::kLocal ? 0 : 1; }

// The file data a copy moves per LinkFileRead or LinkFileWrite: each block
// crosses the cable in one operation.
constexpr std::int32_t kFileBlockSize = 8192;

// Operation codes on the wire.
enum OpCode : std::uint8_t {
  kOpNop = 0,
  kOpGetDrives = 1,
  kOpGetHomeDrive = 2,
  kOpChDir = 3,
  kOpGetDir = 4,
  kOpDiskFree = 5,
  kOpFindFirst = 6,
  kOpFindNext = 7,
  kOpFindClose = 8,
  kOpFileOpen = 9,
  kOpFileSeek = 10,
  kOpFileRead = 11,
  kOpFileWrite = 12,
  kOpUnused13 = 13,
  kOpFileClose = 14,
  kOpDeleteFile = 15,
  kOpFileExists = 16,
  kOpFileCreate = 17,
  kOpGetFileTime = 18,
  kOpSetFileTime = 19,
  kOpFileGetAttr = 20,
  kOpFileSetAttr = 21,
  kOpCreateDir = 22,
  kOpRemoveDir = 23,
  kOpRenameFile = 24,
  kOpDirectoryExists = 25,
  kOpGetCRC = 26,
  kOpFileAge = 27,
  kOpDiskSize = 28,
  kOpGetSysImageList = 29,
  kOpGetIconIndex = 30,
  kOpHasSubDirs = 31,
  kOpListSubDirs = 32,
};

class Link {
 public:
  // `remote` may be null for a program that never connects (tests of the local
  // branch); remote calls then fail like a dead link.
  Link(LocalFileSystem& local, LinkLayer* remote);

  LocalFileSystem& local() { return local_; }
  LinkLayer* remote() { return remote_; }

  // Whether a side offers what only two Duplane ends share (the range CRC
  // below, packed file blocks, batched listings): this PC always; the Remote
  // PC once its module has answered the probe with true on this connection
  // (the first call asks it).
  bool HasExtensions(Side side);
  // Off, the remote branch never probes and sends the plain codes only. On by
  // default.
  void SetExtensionsEnabled(bool enabled) { extensions_.set_enabled(enabled); }

  // The find record of slot 1..20, filled by whichever branch searched last.
  const FindRecord& SlotRecord(std::int32_t slot) const;

  void LinkNop();
  std::string LinkGetDrives(Side side);
  char LinkGetHomeDrive(Side side);
  std::int32_t LinkChDir(Side side, const std::string& path);
  std::string LinkGetDir(Side side, std::uint8_t drive);
  std::int64_t LinkDiskFree(Side side, std::uint8_t drive);
  std::int32_t LinkFindFirst(Side side, std::int32_t slot, const std::string& pattern,
                             std::int32_t mask);
  std::int32_t LinkFindNext(Side side, std::int32_t slot);
  void LinkFindClose(Side side, std::int32_t slot);
  std::int32_t LinkFileOpen(Side side, const std::string& path, std::int32_t mode);
  std::int64_t LinkFileSeek(Side side, std::int32_t handle, std::int64_t offset,
                            std::int32_t origin);
  // `buffer` holds at least `count` bytes; nothing is stored beyond them.
  std::int32_t LinkFileRead(Side side, std::int32_t handle, void* buffer, std::int32_t count);
  std::int32_t LinkFileWrite(Side side, std::int32_t handle, const void* buffer,
                             std::int32_t count);
  // False when the file may not be whole on the disk: a file written through
  // LinkFileCreate is flushed to stable storage before it is closed, and a
  // failed flush or close is a failed write.
  bool LinkFileClose(Side side, std::int32_t handle);
  bool LinkDeleteFile(Side side, const std::string& path, std::int32_t mode);
  bool LinkFileExists(Side side, const std::string& path);
  std::int32_t LinkFileCreate(Side side, const std::string& path);
  // On false the three times are left untouched.
  bool LinkGetFileTime(Side side, std::int32_t handle, FileTime* creation, FileTime* last_access,
                       FileTime* last_write);
  bool LinkSetFileTime(Side side, std::int32_t handle, FileTime creation, FileTime last_access,
                       FileTime last_write);
  std::int32_t LinkFileGetAttr(Side side, const std::string& path);
  bool LinkFileSetAttr(Side side, const std::string& path, std::int32_t attributes);
  bool LinkCreateDir(Side side, const std::string& path);
  bool LinkRemoveDir(Side side, const std::string& path);
  bool LinkRenameFile(Side side, const std::string& old_path, const std::string& new_path);
  bool LinkDirectoryExists(Side side, const std::string& path);
  std::uint32_t LinkGetCRC(Side side);
  std::int32_t LinkFileAge(Side side, const std::string& path);
  std::int64_t LinkDiskSize(Side side, std::uint8_t drive);
  // The side's small icons as a BMP file image: 16 x 16 each, side by side on
  // white, in icon-index order (file, closed folder, open folder, drive).
  bool LinkGetSysImageList(Side side, std::vector<std::uint8_t>* bitmap);
  void LinkGetIconIndex(Side side, const std::string& path, std::int32_t* normal,
                        std::int32_t* open);
  bool LinkHasSubDirs(Side side, const std::string& path);
  std::int32_t LinkListSubDirs(Side side, const std::string& path, std::vector<std::string>* names);
  // The running-CRC register continued from *crc over the file's bytes from
  // `offset` on, `length` of them at most, without touching the running CRC
  // or sending the bytes: the number folded (fewer at the end of the file),
  // or -1 when the file cannot be read or the side lacks the extensions.
  std::int64_t LinkRangeCRC(Side side, const std::string& path, std::int64_t offset,
                            std::int64_t length, std::uint32_t* crc);

 private:
  // Probes once per connection; true when the extension codes may be sent.
  bool FastPath();

  LocalFileSystem& local_;
  LinkLayer* remote_;
  FindRecord records_[kSearchSlots];
  LinkExtensions extensions_;
};

}  // namespace duplane
