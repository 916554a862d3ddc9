// The part file of a safe copy. Everything goes through the plain operation
// codes (create, open, seek, rename, delete), so a Remote Module that knows
// nothing else still gets an intact old target after a failed copy; only the
// check of a part file's bytes needs the range CRC of two Duplane ends.
#include "transfer/part_target.h"

#include "localfs/crc32.h"

namespace duplane {

namespace {

// What an old target may not be for the copy to take its place: the same
// cases make creating the target fail when it is written directly.
constexpr std::int32_t kNotReplaceable =
    kAttrReadOnly | kAttrDirectory | kAttrDevice | kAttrReparsePoint;

}  // namespace

std::int32_t PartTarget::Open(const std::string& entry, std::int32_t source, std::int64_t size,
                              bool target_exists, std::int64_t* resume_from) {
  *resume_from = 0;
  written_ = entry + kPartFileSuffix;
  via_part_ = true;
  if (target_exists && !TargetReplaceable(entry)) return -1;
  const bool part_exists = link_.LinkFileExists(t_, written_);
  // A part name that the source side holds too may be a copy of that file,
  // which is the user's and not ours to empty. It also must not be there when
  // PutInPlace looks for the part file just written on the source side.
  if ((part_exists || target_exists) && link_.LinkFileExists(s_, written_)) return Direct(entry);
  if (part_exists) {
    const std::int32_t resumed = Resume(entry, source, size, resume_from);
    if (resumed >= 0) return resumed;
  }
  const std::int32_t handle = link_.LinkFileCreate(t_, written_);
  // A name the target's file system cannot hold (8.3 names only, a path at
  // its length limit): the file is written as without safe copy.
  return handle >= 0 ? handle : Direct(entry);
}

bool PartTarget::TargetReplaceable(const std::string& entry) {
  const std::int32_t attributes = link_.LinkFileGetAttr(t_, entry);
  return attributes != -1 && (attributes & kNotReplaceable) == 0;
}

std::int32_t PartTarget::Direct(const std::string& entry) {
  written_ = entry;
  via_part_ = false;
  return link_.LinkFileCreate(t_, entry);
}

std::int32_t PartTarget::Resume(const std::string& entry, std::int32_t source, std::int64_t size,
                                std::int64_t* resume_from) {
  if (size <= 0 || !link_.HasExtensions(s_) || !link_.HasExtensions(t_)) return -1;
  std::uint32_t part_crc = kCrcStart;
  std::uint32_t source_crc = kCrcStart;
  const std::int64_t kept = link_.LinkRangeCRC(t_, written_, 0, size, &part_crc);
  if (kept <= 0 || link_.LinkRangeCRC(s_, entry, 0, kept, &source_crc) != kept ||
      part_crc != source_crc) {
    return -1;
  }
  // Opening resets the target side's running CRC: from here on both sides'
  // registers cover the bytes that follow, and the prefix is verified above.
  const std::int32_t handle = link_.LinkFileOpen(t_, written_, kOpenWrite);
  if (handle < 0) return -1;
  // A part file longer than the source is no prefix of it.
  if (link_.LinkFileSeek(t_, handle, 0, kSeekEnd) != kept ||
      link_.LinkFileSeek(s_, source, kept, kSeekBegin) != kept) {
    link_.LinkFileClose(t_, handle);
    link_.LinkFileSeek(s_, source, 0, kSeekBegin);
    return -1;
  }
  *resume_from = kept;
  return handle;
}

bool PartTarget::PutInPlace(const std::string& entry) {
  if (!via_part_) return true;
  if (link_.LinkRenameFile(t_, written_, entry)) return true;
  // The plain rename never replaces a file: the old target goes first. Not
  // when the source side now sees the part file just written: source and
  // target are then one file reached from both sides, and deleting the target
  // would delete the source.
  if (!link_.LinkFileExists(t_, entry) || link_.LinkFileExists(s_, written_)) return false;
  return link_.LinkDeleteFile(t_, entry, kDeleteNormal) &&
         link_.LinkRenameFile(t_, written_, entry);
}

}  // namespace duplane
