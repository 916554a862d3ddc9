// Request decoding and answering for operation codes 1 to 32 (13 excepted);
// the extension codes go to ExtensionHandlers.
// Everything that arrives is bounded before use: texts by kMaxWireText, file
// data by kMaxWireData (a larger write is drained, up to kMaxWireDrain, and
// refused); slots and handles are checked by LocalFileSystem, which answers
// with an error for any number it did not hand out.
#include "remote/command_dispatcher.h"

#include <algorithm>

#include "link/link.h"
#include "link/link_layer.h"
#include "link/wire_format.h"
#include "localfs/find_record.h"
#include "localfs/local_file_system.h"

namespace duplane {

CommandDispatcher::CommandDispatcher(LinkLayer& link, LocalFileSystem& files,
                                     ExtensionOptions extensions)
    : link_(link),
      files_(files),
      io_(link),
      extensions_(io_, files, extensions),
      data_(kMaxWireData) {}

bool CommandDispatcher::FindAnswer(std::int32_t result, const FindRecord& record) {
  const FindRecordBytes bytes = EncodeFindRecord(record);
  link_.SendBlock(kFindRecordSize, bytes.data());
  SendI32(link_, result);
  return io_.EndAnswer();
}

// Codes whose request is one path (plus an i32 for some) and whose answer is
// one truth value.
bool CommandDispatcher::PathQuery(std::uint8_t code) {
  std::string path;
  if (!io_.GetText(&path)) return false;
  std::int32_t extra = 0;
  if (code == kOpDeleteFile || code == kOpFileSetAttr) extra = GetI32(link_);
  if (!io_.EndRequest()) return false;
  bool answer = false;
  switch (code) {
    case kOpDeleteFile:
      answer = files_.Delete(path, extra);
      break;
    case kOpFileExists:
      answer = extensions_.AnswersProbe(path) || files_.FileExists(path);
      break;
    case kOpFileSetAttr:
      answer = files_.FileSetAttr(path, extra);
      break;
    case kOpCreateDir:
      answer = files_.CreateDir(path);
      break;
    case kOpRemoveDir:
      answer = files_.RemoveDir(path);
      break;
    case kOpDirectoryExists:
      answer = files_.DirectoryExists(path);
      break;
    case kOpHasSubDirs:
      answer = !path.empty() && files_.HasSubDirs(path);
      break;
    default:
      break;
  }
  SendU8(link_, answer ? 1 : 0);
  return io_.EndAnswer();
}

bool CommandDispatcher::Handle(std::uint8_t code) {
  switch (code) {
    case kOpGetDrives: {
      if (!io_.EndRequest()) return false;
      SendText(link_, files_.GetDrives());
      return io_.EndAnswer();
    }
    case kOpGetHomeDrive: {
      if (!io_.EndRequest()) return false;
      SendU8(link_, static_cast<std::uint8_t>(files_.GetHomeDrive()));
      return io_.EndAnswer();
    }
    case kOpChDir: {
      std::string path;
      if (!io_.GetText(&path) || !io_.EndRequest()) return false;
      SendI32(link_, files_.ChDir(path));
      return io_.EndAnswer();
    }
    case kOpGetDir:
    case kOpDiskFree:
    case kOpDiskSize: {
      const std::uint8_t drive = GetU8(link_);
      if (!io_.EndRequest()) return false;
      if (code == kOpGetDir) {
        SendText(link_, files_.GetDir(drive));
      } else {
        SendI64(link_, code == kOpDiskFree ? files_.DiskFree(drive) : files_.DiskSize(drive));
      }
      return io_.EndAnswer();
    }
    case kOpFindFirst: {
      const std::int32_t slot = GetI32(link_);
      std::string pattern;
      if (!io_.GetText(&pattern)) return false;
      const std::int32_t mask = GetI32(link_);
      if (!io_.EndRequest()) return false;
      FindRecord record;
      const std::int32_t result = files_.FindFirst(slot, pattern, mask, &record);
      return FindAnswer(result, record);
    }
    case kOpFindNext: {
      const std::int32_t slot = GetI32(link_);
      if (!io_.EndRequest()) return false;
      FindRecord record;
      const std::int32_t result = files_.FindNext(slot, &record);
      return FindAnswer(result, record);
    }
    case kOpFindClose:
    case kOpFileClose: {
      const std::int32_t number = GetI32(link_);
      if (!io_.EndRequest()) return false;
      // The answer byte of a file close tells the program whether the file
      // reached the disk: 0 yes, 1 no.
      bool closed = true;
      if (code == kOpFindClose) {
        files_.FindClose(number);
      } else {
        closed = files_.FileClose(number);
      }
      SendU8(link_, closed ? 0 : 1);
      return io_.EndAnswer();
    }
    case kOpFileOpen: {
      std::string path;
      if (!io_.GetText(&path)) return false;
      const std::int32_t mode = GetI32(link_);
      if (!io_.EndRequest()) return false;
      SendI32(link_, files_.FileOpen(path, mode));
      return io_.EndAnswer();
    }
    case kOpFileSeek: {
      const std::int32_t handle = GetI32(link_);
      const std::int64_t offset = GetI64(link_);
      const std::int32_t origin = GetI32(link_);
      if (!io_.EndRequest()) return false;
      SendI64(link_, files_.FileSeek(handle, offset, origin));
      return io_.EndAnswer();
    }
    case kOpFileRead: {
      const std::int32_t handle = GetI32(link_);
      const std::int32_t count = GetI32(link_);
      if (!io_.EndRequest()) return false;
      // "Up to count bytes": a larger count is answered with one block, which
      // is a legal short read and keeps the link in step.
      const std::int32_t got = files_.FileRead(handle, data_.data(), std::min(count, kMaxWireData));
      SendI32(link_, got);
      link_.SendBlock(got, data_.data());
      return io_.EndAnswer();
    }
    case kOpFileWrite: {
      const std::int32_t handle = GetI32(link_);
      const std::int32_t count = GetI32(link_);
      if (count > kMaxWireDrain) return false;
      if (count > kMaxWireData) {
        // More than one block is refused, but the data is taken off the cable
        // so that the answer still arrives in step.
        DiscardBytes(link_, count);
        if (!io_.EndRequest()) return false;
        SendI32(link_, -1);
        return io_.EndAnswer();
      }
      link_.GetBlock(count, data_.data());
      if (!io_.EndRequest()) return false;
      SendI32(link_, files_.FileWrite(handle, data_.data(), count));
      return io_.EndAnswer();
    }
    case kOpFileCreate: {
      std::string path;
      if (!io_.GetText(&path) || !io_.EndRequest()) return false;
      SendI32(link_, files_.FileCreate(path));
      return io_.EndAnswer();
    }
    case kOpGetFileTime: {
      const std::int32_t handle = GetI32(link_);
      if (!io_.EndRequest()) return false;
      FileTime times[3] = {};
      const bool success = files_.GetFileTime(handle, &times[0], &times[1], &times[2]);
      SendU8(link_, success ? 1 : 0);
      if (success) {
        for (FileTime time : times) SendU64(link_, time);
      }
      return io_.EndAnswer();
    }
    case kOpSetFileTime: {
      const std::int32_t handle = GetI32(link_);
      FileTime times[3];
      for (FileTime& time : times) time = GetU64(link_);
      if (!io_.EndRequest()) return false;
      SendU8(link_, files_.SetFileTime(handle, times[0], times[1], times[2]) ? 1 : 0);
      return io_.EndAnswer();
    }
    case kOpFileGetAttr:
    case kOpFileAge: {
      std::string path;
      if (!io_.GetText(&path) || !io_.EndRequest()) return false;
      SendI32(link_, code == kOpFileGetAttr ? files_.FileGetAttr(path) : files_.FileAge(path));
      return io_.EndAnswer();
    }
    case kOpDeleteFile:
    case kOpFileExists:
    case kOpFileSetAttr:
    case kOpCreateDir:
    case kOpRemoveDir:
    case kOpDirectoryExists:
    case kOpHasSubDirs:
      return PathQuery(code);
    case kOpRenameFile: {
      std::string from, to;
      if (!io_.GetText(&from) || !io_.GetText(&to) || !io_.EndRequest()) return false;
      SendU8(link_, files_.RenameFile(from, to) ? 1 : 0);
      return io_.EndAnswer();
    }
    case kOpGetCRC: {
      if (!io_.EndRequest()) return false;
      SendU32(link_, files_.GetCRC());
      return io_.EndAnswer();
    }
    case kOpGetSysImageList: {
      if (!io_.EndRequest()) return false;
      const std::vector<std::uint8_t> bitmap = files_.SysImageList();
      SendI32(link_, static_cast<std::int32_t>(bitmap.size()));
      link_.SendBlock(static_cast<std::int32_t>(bitmap.size()), bitmap.data());
      return io_.EndAnswer();
    }
    case kOpGetIconIndex: {
      std::string path;
      if (!io_.GetText(&path) || !io_.EndRequest()) return false;
      std::int32_t normal = 0, open = 0;
      files_.GetIconIndex(path, &normal, &open);
      SendI32(link_, normal);
      SendI32(link_, open);
      return io_.EndAnswer();
    }
    case kOpListSubDirs: {
      std::string path;
      if (!io_.GetText(&path) || !io_.EndRequest()) return false;
      std::vector<std::string> names;
      const std::int32_t count = path.empty() ? 0 : files_.ListSubDirs(path, &names);
      SendI32(link_, count);
      for (const std::string& name : names) SendText(link_, name);
      return io_.EndAnswer();
    }
    default:
      if (extensions_.Handles(code)) return extensions_.Handle(code);
      // 0, 13 and unknown codes belong to the session.
      return false;
  }
}

}  // namespace duplane
