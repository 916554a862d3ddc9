// The Link operations. The local branch hands each call to LocalFileSystem; the
// remote branch frames it for the Remote Module: SendCommand(code), one
// SendBlock per request field, WaitForAck, one GetBlock per answer field,
// FinishReceive. The program does not trust the answers further than the
// caller's buffers: a count that does not fit is read and dropped (or, when
// absurd, the link is given up) and the caller sees a failure.
#include "link/link.h"

#include <cstring>

#include "link/extension_codes.h"
#include "link/link_layer.h"
#include "link/remote_call.h"
#include "link/wire_format.h"
#include "localfs/local_file_system.h"

namespace duplane {

static_assert(kFileBlockSize <= kMaxWireData, "a copy's block must fit one LinkFileRead");

namespace {

constexpr std::int32_t kMaxDriveLetters = 26;
constexpr std::int32_t kMaxBitmapBytes = 4 << 20;
constexpr std::int32_t kMaxListedNames = 1 << 20;

bool Sendable(const std::string& text) {
  return text.size() <= static_cast<std::size_t>(kMaxWireText);
}

bool ValidSlot(std::int32_t slot) { return slot >= 1 && slot <= kSearchSlots; }

std::string WithFinalBackslash(const std::string& path) {
  return path.back() == '\\' ? path : path + '\\';
}

}  // namespace

Link::Link(LocalFileSystem& local, LinkLayer* remote)
    : local_(local), remote_(remote), extensions_(remote) {}

bool Link::FastPath() {
  // A plain module answers false for a path no file system holds, and its
  // exchanges stay exactly what they were but for this one.
  if (extensions_.NeedsProbe()) {
    extensions_.SetProbeAnswer(LinkFileExists(Side::kRemote, kExtensionsProbePath));
  }
  return extensions_.Available();
}

bool Link::HasExtensions(Side side) { return side == Side::kLocal || FastPath(); }

const FindRecord& Link::SlotRecord(std::int32_t slot) const {
  static const FindRecord kNoRecord;
  return ValidSlot(slot) ? records_[slot - 1] : kNoRecord;
}

void Link::LinkNop() {
  if (remote_ == nullptr) return;
  remote_->SendCommand(kOpNop);
  remote_->WaitForAck();
}

std::string Link::LinkGetDrives(Side side) {
  if (side == Side::kLocal) return local_.GetDrives();
  RemoteCall call(remote_, kOpGetDrives);
  if (!call.live()) return std::string();
  call.Turn();
  std::string letters;
  call.GetText(kMaxDriveLetters, &letters);
  return call.Finish() ? letters : std::string();
}

char Link::LinkGetHomeDrive(Side side) {
  if (side == Side::kLocal) return local_.GetHomeDrive();
  RemoteCall call(remote_, kOpGetHomeDrive);
  if (!call.live()) return '\0';
  call.Turn();
  const char letter = static_cast<char>(GetU8(call.link()));
  return call.Finish() ? letter : '\0';
}

std::int32_t Link::LinkChDir(Side side, const std::string& path) {
  if (side == Side::kLocal) return local_.ChDir(path);
  if (!Sendable(path)) return kErrorPathNotFound;
  RemoteCall call(remote_, kOpChDir);
  if (!call.live()) return kErrorNotReady;
  SendText(call.link(), path);
  call.Turn();
  const std::int32_t result = GetI32(call.link());
  return call.Finish() ? result : kErrorNotReady;
}

std::string Link::LinkGetDir(Side side, std::uint8_t drive) {
  if (side == Side::kLocal) return local_.GetDir(drive);
  RemoteCall call(remote_, kOpGetDir);
  if (!call.live()) return std::string();
  SendU8(call.link(), drive);
  call.Turn();
  std::string directory;
  call.GetText(kMaxWireText, &directory);
  return call.Finish() ? directory : std::string();
}

// Free and total bytes of a drive: one drive number out, one i64 back, -1 on failure.
static std::int64_t RemoteDriveBytes(LinkLayer* remote, OpCode code, std::uint8_t drive) {
  RemoteCall call(remote, code);
  if (!call.live()) return -1;
  SendU8(call.link(), drive);
  call.Turn();
  const std::int64_t bytes = GetI64(call.link());
  return call.Finish() ? bytes : -1;
}

std::int64_t Link::LinkDiskFree(Side side, std::uint8_t drive) {
  if (side == Side::kLocal) return local_.DiskFree(drive);
  return RemoteDriveBytes(remote_, kOpDiskFree, drive);
}

std::int32_t Link::LinkFindFirst(Side side, std::int32_t slot, const std::string& pattern,
                                 std::int32_t mask) {
  if (!ValidSlot(slot)) return kErrorInvalidHandle;
  if (side == Side::kLocal) return local_.FindFirst(slot, pattern, mask, &records_[slot - 1]);
  if (!Sendable(pattern)) return kErrorPathNotFound;
  extensions_.ForgetSearch(slot);
  std::int32_t result = kErrorNotReady;
  if (FastPath()) {
    result = extensions_.FindFirst(slot, pattern, mask, &records_[slot - 1]);
  } else {
    RemoteCall call(remote_, kOpFindFirst);
    if (!call.live()) return kErrorNotReady;
    SendI32(call.link(), slot);
    SendText(call.link(), pattern);
    SendI32(call.link(), mask);
    call.Turn();
    FindRecordBytes bytes{};
    call.link().GetBlock(kFindRecordSize, bytes.data());
    records_[slot - 1] = DecodeFindRecord(bytes);
    const std::int32_t answer = GetI32(call.link());
    if (call.Finish()) result = answer;
  }
  // A name that is no plain path component would make a copy, move or delete
  // reach outside the directory searched: it is passed over like a file that
  // is not there.
  if (result == 0 && !IsPlainFindName(records_[slot - 1].name))
    return LinkFindNext(Side::kRemote, slot);
  return result;
}

std::int32_t Link::LinkFindNext(Side side, std::int32_t slot) {
  if (!ValidSlot(slot)) return kErrorInvalidHandle;
  if (side == Side::kLocal) return local_.FindNext(slot, &records_[slot - 1]);
  std::int32_t result = kErrorNotReady;
  do {
    if (extensions_.ServesSearch(slot)) {
      result = extensions_.FindNext(slot, &records_[slot - 1]);
      continue;
    }
    RemoteCall call(remote_, kOpFindNext);
    if (!call.live()) return kErrorNotReady;
    SendI32(call.link(), slot);
    call.Turn();
    FindRecordBytes bytes{};
    call.link().GetBlock(kFindRecordSize, bytes.data());
    records_[slot - 1] = DecodeFindRecord(bytes);
    const std::int32_t answer = GetI32(call.link());
    result = call.Finish() ? answer : kErrorNotReady;
  } while (result == 0 && !IsPlainFindName(records_[slot - 1].name));
  return result;
}

void Link::LinkFindClose(Side side, std::int32_t slot) {
  if (!ValidSlot(slot)) return;
  if (side == Side::kLocal) return local_.FindClose(slot);
  extensions_.ForgetSearch(slot);
  RemoteCall call(remote_, kOpFindClose);
  if (!call.live()) return;
  SendI32(call.link(), slot);
  call.Turn();
  GetU8(call.link());
  call.Finish();
}

// The operations that send one path (and perhaps one i32) and get one i32
// back (a handle, attributes, a DOS date-time) share this shape; -1 is their
// failure value.
static std::int32_t RemotePathNumber(LinkLayer* remote, OpCode code, const std::string& path,
                                     const std::int32_t* extra) {
  if (!Sendable(path)) return -1;
  RemoteCall call(remote, code);
  if (!call.live()) return -1;
  SendText(call.link(), path);
  if (extra != nullptr) SendI32(call.link(), *extra);
  call.Turn();
  const std::int32_t number = GetI32(call.link());
  return call.Finish() ? number : -1;
}

std::int32_t Link::LinkFileOpen(Side side, const std::string& path, std::int32_t mode) {
  if (side == Side::kLocal) return local_.FileOpen(path, mode);
  return RemotePathNumber(remote_, kOpFileOpen, path, &mode);
}

std::int64_t Link::LinkFileSeek(Side side, std::int32_t handle, std::int64_t offset,
                                std::int32_t origin) {
  if (side == Side::kLocal) return local_.FileSeek(handle, offset, origin);
  RemoteCall call(remote_, kOpFileSeek);
  if (!call.live()) return -1;
  SendI32(call.link(), handle);
  SendI64(call.link(), offset);
  SendI32(call.link(), origin);
  call.Turn();
  const std::int64_t position = GetI64(call.link());
  return call.Finish() ? position : -1;
}

std::int32_t Link::LinkFileRead(Side side, std::int32_t handle, void* buffer, std::int32_t count) {
  if (side == Side::kLocal) return local_.FileRead(handle, buffer, count);
  // The Remote Module takes no more than one transfer block per request.
  if (count < 0 || count > kMaxWireData || (buffer == nullptr && count > 0)) return -1;
  if (FastPath()) return extensions_.FileRead(handle, buffer, count);
  RemoteCall call(remote_, kOpFileRead);
  if (!call.live()) return -1;
  SendI32(call.link(), handle);
  SendI32(call.link(), count);
  call.Turn();
  const std::int32_t got = GetI32(call.link());
  if (got > count) {
    call.Drop(got);  // more than asked for: none of it may land in the buffer
  } else if (got > 0) {
    // Straight into the caller's buffer: no copy, no allocation per block.
    call.link().GetBlock(got, buffer);
  }
  return call.Finish() ? got : -1;
}

std::int32_t Link::LinkFileWrite(Side side, std::int32_t handle, const void* buffer,
                                 std::int32_t count) {
  if (side == Side::kLocal) return local_.FileWrite(handle, buffer, count);
  if (count < 0 || count > kMaxWireData || (buffer == nullptr && count > 0)) return -1;
  if (FastPath()) return extensions_.FileWrite(handle, buffer, count);
  RemoteCall call(remote_, kOpFileWrite);
  if (!call.live()) return -1;
  SendI32(call.link(), handle);
  SendI32(call.link(), count);
  call.link().SendBlock(count, buffer);
  call.Turn();
  const std::int32_t written = GetI32(call.link());
  return call.Finish() ? written : -1;
}

bool Link::LinkFileClose(Side side, std::int32_t handle) {
  if (side == Side::kLocal) return local_.FileClose(handle);
  RemoteCall call(remote_, kOpFileClose);
  if (!call.live()) return false;
  SendI32(call.link(), handle);
  call.Turn();
  // Our Remote Module answers 0 once the file is closed and on its disk.
  const std::uint8_t answer = GetU8(call.link());
  return call.Finish() && answer == 0;
}

// The many operations that send one path (and perhaps one i32) and get one
// truth value back share this shape.
static bool RemotePathQuery(LinkLayer* remote, OpCode code, const std::string& path,
                            const std::int32_t* extra) {
  if (!Sendable(path)) return false;
  RemoteCall call(remote, code);
  if (!call.live()) return false;
  SendText(call.link(), path);
  if (extra != nullptr) SendI32(call.link(), *extra);
  call.Turn();
  const bool yes = GetU8(call.link()) != 0;
  return call.Finish() && yes;
}

bool Link::LinkDeleteFile(Side side, const std::string& path, std::int32_t mode) {
  if (side == Side::kLocal) return local_.Delete(path, mode);
  return RemotePathQuery(remote_, kOpDeleteFile, path, &mode);
}

bool Link::LinkFileExists(Side side, const std::string& path) {
  if (side == Side::kLocal) return local_.FileExists(path);
  return RemotePathQuery(remote_, kOpFileExists, path, nullptr);
}

std::int32_t Link::LinkFileCreate(Side side, const std::string& path) {
  if (side == Side::kLocal) return local_.FileCreate(path);
  return RemotePathNumber(remote_, kOpFileCreate, path, nullptr);
}

bool Link::LinkGetFileTime(Side side, std::int32_t handle, FileTime* creation,
                           FileTime* last_access, FileTime* last_write) {
  if (side == Side::kLocal) return local_.GetFileTime(handle, creation, last_access, last_write);
  RemoteCall call(remote_, kOpGetFileTime);
  if (!call.live()) return false;
  SendI32(call.link(), handle);
  call.Turn();
  const bool success = GetU8(call.link()) != 0;
  FileTime times[3] = {};
  if (success) {
    for (FileTime& time : times) time = GetU64(call.link());
  }
  if (!call.Finish() || !success) return false;
  *creation = times[0];
  *last_access = times[1];
  *last_write = times[2];
  return true;
}

bool Link::LinkSetFileTime(Side side, std::int32_t handle, FileTime creation, FileTime last_access,
                           FileTime last_write) {
  if (side == Side::kLocal) return local_.SetFileTime(handle, creation, last_access, last_write);
  RemoteCall call(remote_, kOpSetFileTime);
  if (!call.live()) return false;
  SendI32(call.link(), handle);
  SendU64(call.link(), creation);
  SendU64(call.link(), last_access);
  SendU64(call.link(), last_write);
  call.Turn();
  const bool success = GetU8(call.link()) != 0;
  return call.Finish() && success;
}

std::int32_t Link::LinkFileGetAttr(Side side, const std::string& path) {
  if (side == Side::kLocal) return local_.FileGetAttr(path);
  return RemotePathNumber(remote_, kOpFileGetAttr, path, nullptr);
}

bool Link::LinkFileSetAttr(Side side, const std::string& path, std::int32_t attributes) {
  if (side == Side::kLocal) return local_.FileSetAttr(path, attributes);
  return RemotePathQuery(remote_, kOpFileSetAttr, path, &attributes);
}

bool Link::LinkCreateDir(Side side, const std::string& path) {
  if (side == Side::kLocal) return local_.CreateDir(path);
  return RemotePathQuery(remote_, kOpCreateDir, path, nullptr);
}

bool Link::LinkRemoveDir(Side side, const std::string& path) {
  if (side == Side::kLocal) return local_.RemoveDir(path);
  return RemotePathQuery(remote_, kOpRemoveDir, path, nullptr);
}

bool Link::LinkRenameFile(Side side, const std::string& old_path, const std::string& new_path) {
  if (side == Side::kLocal) return local_.RenameFile(old_path, new_path);
  if (!Sendable(old_path) || !Sendable(new_path)) return false;
  RemoteCall call(remote_, kOpRenameFile);
  if (!call.live()) return false;
  SendText(call.link(), old_path);
  SendText(call.link(), new_path);
  call.Turn();
  const bool success = GetU8(call.link()) != 0;
  return call.Finish() && success;
}

bool Link::LinkDirectoryExists(Side side, const std::string& path) {
  if (side == Side::kLocal) return local_.DirectoryExists(path);
  return RemotePathQuery(remote_, kOpDirectoryExists, path, nullptr);
}

std::uint32_t Link::LinkGetCRC(Side side) {
  if (side == Side::kLocal) return local_.GetCRC();
  RemoteCall call(remote_, kOpGetCRC);
  if (!call.live()) return 0;
  call.Turn();
  const std::uint32_t crc = GetU32(call.link());
  return call.Finish() ? crc : 0;
}

std::int32_t Link::LinkFileAge(Side side, const std::string& path) {
  if (side == Side::kLocal) return local_.FileAge(path);
  return RemotePathNumber(remote_, kOpFileAge, path, nullptr);
}

std::int64_t Link::LinkDiskSize(Side side, std::uint8_t drive) {
  if (side == Side::kLocal) return local_.DiskSize(drive);
  return RemoteDriveBytes(remote_, kOpDiskSize, drive);
}

bool Link::LinkGetSysImageList(Side side, std::vector<std::uint8_t>* bitmap) {
  bitmap->clear();
  if (side == Side::kLocal) {
    *bitmap = local_.SysImageList();
    return !bitmap->empty();
  }
  RemoteCall call(remote_, kOpGetSysImageList);
  if (!call.live()) return false;
  call.Turn();
  const std::int32_t length = GetI32(call.link());
  if (length < 0) {
    call.Fail();
  } else if (length > kMaxBitmapBytes) {
    call.Drop(length);
  } else {
    bitmap->resize(static_cast<std::size_t>(length));
    call.link().GetBlock(length, bitmap->data());
  }
  if (!call.Finish() || bitmap->empty()) {
    bitmap->clear();
    return false;
  }
  return true;
}

void Link::LinkGetIconIndex(Side side, const std::string& path, std::int32_t* normal,
                            std::int32_t* open) {
  if (side == Side::kLocal) return local_.GetIconIndex(path, normal, open);
  *normal = 0;
  *open = 0;
  if (extensions_.KnownIconIndex(path, normal, open)) return;
  if (!Sendable(path)) return;
  RemoteCall call(remote_, kOpGetIconIndex);
  if (!call.live()) return;
  SendText(call.link(), path);
  call.Turn();
  const std::int32_t got_normal = GetI32(call.link());
  const std::int32_t got_open = GetI32(call.link());
  if (call.Finish()) {
    *normal = got_normal;
    *open = got_open;
  }
}

bool Link::LinkHasSubDirs(Side side, const std::string& path) {
  if (path.empty()) return false;
  const std::string directory = WithFinalBackslash(path);
  if (side == Side::kLocal) return local_.HasSubDirs(directory);
  bool has = false;
  if (extensions_.KnownHasSubDirs(directory, &has)) return has;
  return RemotePathQuery(remote_, kOpHasSubDirs, directory, nullptr);
}

std::int32_t Link::LinkListSubDirs(Side side, const std::string& path,
                                   std::vector<std::string>* names) {
  names->clear();
  if (path.empty()) return 0;
  const std::string directory = WithFinalBackslash(path);
  if (side == Side::kLocal) return local_.ListSubDirs(directory, names);
  if (!Sendable(directory)) return 0;
  if (FastPath()) {
    const std::int32_t count = extensions_.ListSubDirs(directory, names);
    if (count != kSubDirsTooMany) return count;
  }
  RemoteCall call(remote_, kOpListSubDirs);
  if (!call.live()) return 0;
  SendText(call.link(), directory);
  call.Turn();
  const std::int32_t count = GetI32(call.link());
  if (count > kMaxListedNames) {
    call.Break();  // each name is at least four bytes: no cheap way back in step
  } else {
    // A name that does not fit is dropped and the rest still read, so the link
    // stays in step; the whole answer then counts as failed.
    for (std::int32_t i = 0; i < count && call.link().connected(); ++i) {
      std::string name;
      if (call.GetText(kMaxWireText, &name)) names->push_back(std::move(name));
    }
  }
  if (!call.Finish()) {
    names->clear();
    return -1;
  }
  return count;
}

std::int64_t Link::LinkRangeCRC(Side side, const std::string& path, std::int64_t offset,
                                std::int64_t length, std::uint32_t* crc) {
  if (offset < 0 || length < 0) return -1;
  if (side == Side::kLocal) return local_.RangeCrc(path, offset, length, crc);
  if (!Sendable(path) || !FastPath()) return -1;
  return extensions_.RangeCrc(path, offset, length, crc);
}

}  // namespace duplane
