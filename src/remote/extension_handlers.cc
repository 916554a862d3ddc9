// Answers to the extension codes. The work is the same local branch the plain
// codes run (LocalFileSystem), so a batch holds exactly the records, names and
// answers the plain exchanges would have carried one by one.
#include "remote/extension_handlers.h"

#include <algorithm>
#include <chrono>

#include "link/batch_records.h"
#include "link/extension_codes.h"
#include "link/link_layer.h"
#include "link/packed_block.h"
#include "link/wire_format.h"
#include "localfs/local_file_system.h"
#include "remote/request_io.h"

namespace duplane {
namespace {

// The most one entry adds to a listing batch (a 255-byte name).
constexpr std::size_t kMaxRecordBytes = 37 + kMaxFindName;

}  // namespace

ExtensionHandlers::ExtensionHandlers(RequestIo& io, LocalFileSystem& files,
                                     ExtensionOptions options)
    : io_(io), files_(files), options_(options), data_(kMaxWireData) {}

bool ExtensionHandlers::AnswersProbe(const std::string& path) const {
  return options_.enabled && path == kExtensionsProbePath;
}

bool ExtensionHandlers::Handles(std::uint8_t code) const {
  return options_.enabled && code >= kFirstExtensionCode && code <= kLastExtensionCode;
}

bool ExtensionHandlers::Handle(std::uint8_t code) {
  switch (code) {
    case kExtFileReadPacked:
      return FileReadPacked();
    case kExtFileWritePacked:
      return FileWritePacked();
    case kExtFindFirstBatch:
      return FindBatch(/*first=*/true);
    case kExtFindNextBatch:
      return FindBatch(/*first=*/false);
    case kExtListSubDirsBatch:
      return ListSubDirsBatch();
    case kExtRangeCrc:
      return RangeCrc();
    default:
      return false;
  }
}

bool ExtensionHandlers::FileReadPacked() {
  LinkLayer& link = io_.link();
  const std::int32_t handle = GetI32(link);
  const std::int32_t count = GetI32(link);
  if (!io_.EndRequest()) return false;
  // As for the plain read: a larger count is answered with one block.
  const std::int32_t got = files_.FileRead(handle, data_.data(), std::min(count, kMaxWireData));
  SendI32(link, got);
  if (got > 0) SendPacked(link, data_.data(), got);
  return io_.EndAnswer();
}

bool ExtensionHandlers::FileWritePacked() {
  LinkLayer& link = io_.link();
  const std::int32_t handle = GetI32(link);
  const std::int32_t count = GetI32(link);
  const PackedHeader header = GetPackedHeader(link);
  if (!link.connected() || header.plain != count || !HeaderFits(header, kMaxWireData)) {
    return false;
  }
  const bool deflated = header.form == kPackDeflated;
  if (deflated) {
    packed_.resize(static_cast<std::size_t>(header.packed));
    link.GetBlock(header.packed, packed_.data());
  } else {
    link.GetBlock(count, data_.data());
  }
  if (!io_.EndRequest()) return false;
  // A damaged block is written as zero bytes and folded into the running CRC
  // as such, exactly as a plain block damaged on the cable would be: the CRC
  // comparison after the file reports it.
  if (deflated) Unpack(packed_.data(), packed_.size(), data_.data(), count);
  SendI32(link, files_.FileWrite(handle, data_.data(), count));
  return io_.EndAnswer();
}

bool ExtensionHandlers::FindBatch(bool first) {
  LinkLayer& link = io_.link();
  const std::int32_t slot = GetI32(link);
  std::string pattern;
  std::int32_t mask = 0;
  if (first) {
    if (!io_.GetText(&pattern)) return false;
    mask = GetI32(link);
  }
  const std::int32_t ask = GetI32(link);
  if (!io_.EndRequest()) return false;
  const std::int32_t most = std::clamp(ask, 1, kMaxBatchEntries);

  std::vector<std::uint8_t> plain;
  std::int32_t count = 0;
  std::int32_t end = 0;
  FindRecord record;
  std::int32_t result =
      first ? files_.FindFirst(slot, pattern, mask, &record) : files_.FindNext(slot, &record);
  for (;;) {
    if (result != 0) {
      end = result;
      break;
    }
    AppendBatchRecord(record, &plain);
    ++count;
    // Room is checked before the next entry is taken from the search: an
    // entry taken has to go into this batch.
    if (count == most ||
        plain.size() + kMaxRecordBytes > static_cast<std::size_t>(kMaxBatchPlain)) {
      break;
    }
    result = files_.FindNext(slot, &record);
  }
  SendI32(link, count);
  SendI32(link, end);
  SendPacked(link, plain.data(), static_cast<std::int32_t>(plain.size()));
  return io_.EndAnswer();
}

bool ExtensionHandlers::ListSubDirsBatch() {
  LinkLayer& link = io_.link();
  std::string path;
  if (!io_.GetText(&path) || !io_.EndRequest()) return false;
  std::vector<std::string> names;
  std::int32_t count = path.empty() ? 0 : files_.ListSubDirs(path, &names);
  std::vector<std::uint8_t> plain;
  if (count >= 0) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::milliseconds(options_.tree_budget_ms);
    for (const std::string& name : names) {
      SubDirEntry entry;
      entry.name = name;
      // The same paths the tree sends when it asks of each name alone.
      if (Clock::now() < deadline) {
        entry.has_subdirs = files_.HasSubDirs(path + name + "\\") ? kHasSubDirs : kNoSubDirs;
        files_.GetIconIndex(path + name, &entry.normal_icon, &entry.open_icon);
        entry.icons_known = true;
      }
      if (name.size() > static_cast<std::size_t>(kMaxWireText) ||
          plain.size() + SubDirEntrySize(entry) > static_cast<std::size_t>(kMaxSubDirsPlain)) {
        count = kSubDirsTooMany;
        break;
      }
      AppendSubDirEntry(entry, &plain);
    }
  }
  SendI32(link, count);
  if (count >= 0) SendPacked(link, plain.data(), static_cast<std::int32_t>(plain.size()));
  return io_.EndAnswer();
}

bool ExtensionHandlers::RangeCrc() {
  LinkLayer& link = io_.link();
  std::string path;
  if (!io_.GetText(&path)) return false;
  const std::int64_t offset = GetI64(link);
  const std::int64_t length = GetI64(link);
  std::uint32_t crc = GetU32(link);
  if (!io_.EndRequest()) return false;
  const std::int64_t covered =
      files_.RangeCrc(path, offset, std::min(length, kMaxRangeCrcSpan), &crc);
  SendI64(link, covered);
  SendU32(link, crc);
  return io_.EndAnswer();
}

}  // namespace duplane
