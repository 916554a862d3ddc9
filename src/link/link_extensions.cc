// The extension exchanges on the program's side. Every length that arrives is
// held to the limits of extension_codes.h before anything is allocated for it;
// a batch of directory entries that does not arrive whole gives the link up,
// so that no copy or delete ever works from a listing that silently lacks
// entries.
#include "link/link_extensions.h"

#include <algorithm>

#include "link/extension_codes.h"
#include "link/link_layer.h"
#include "link/packed_block.h"
#include "link/remote_call.h"
#include "link/wire_format.h"
#include "localfs/local_file_system.h"

namespace duplane {
namespace {

// Entries asked for per batch: a quarter of a second of cable or so, so the
// busy window's count and its Cancel keep moving on a large directory.
constexpr std::int32_t kBatchAsk = 1024;

// A block whose header does not fit: dropped when its length is known and
// small, otherwise the two ends cannot be brought back in step.
void Refuse(RemoteCall& call, const PackedHeader& header) {
  if (header.form <= kPackDeflated && header.packed >= 0) {
    call.Drop(header.packed);
  } else {
    call.Break();
  }
}

// The body of a block whose header fits: header.plain bytes into `plain`.
// False when a deflated body was damaged (`plain` is then zero bytes).
bool ReceiveBody(RemoteCall& call, const PackedHeader& header, void* plain,
                 std::vector<std::uint8_t>& scratch) {
  if (header.form == kPackStored) {
    call.link().GetBlock(header.plain, plain);
    return true;
  }
  scratch.resize(static_cast<std::size_t>(header.packed));
  call.link().GetBlock(header.packed, scratch.data());
  return Unpack(scratch.data(), scratch.size(), plain, static_cast<std::size_t>(header.plain));
}

std::string WithoutFinalBackslash(const std::string& path) {
  return !path.empty() && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
}

}  // namespace

bool LinkExtensions::NeedsProbe() const {
  return enabled_ && remote_ != nullptr && remote_->connected() &&
         (!probed_ || probed_serial_ != remote_->sync_serial());
}

void LinkExtensions::SetProbeAnswer(bool available) {
  probed_ = true;
  probed_serial_ = remote_->sync_serial();
  available_ = available;
}

bool LinkExtensions::Available() const {
  return enabled_ && remote_ != nullptr && probed_ && available_ &&
         probed_serial_ == remote_->sync_serial();
}

std::int32_t LinkExtensions::FileRead(std::int32_t handle, void* buffer, std::int32_t count) {
  RemoteCall call(remote_, kExtFileReadPacked);
  if (!call.live()) return -1;
  SendI32(call.link(), handle);
  SendI32(call.link(), count);
  call.Turn();
  const std::int32_t got = GetI32(call.link());
  if (got > 0) {
    const PackedHeader header = GetPackedHeader(call.link());
    if (got > count || header.plain != got || !HeaderFits(header, count)) {
      Refuse(call, header);  // none of it may land in the buffer
    } else {
      // A damaged block leaves zero bytes in the buffer: they are written
      // as read, and the CRC comparison after the file reports them.
      ReceiveBody(call, header, buffer, scratch_);
    }
  }
  return call.Finish() ? got : -1;
}

std::int32_t LinkExtensions::FileWrite(std::int32_t handle, const void* buffer,
                                       std::int32_t count) {
  RemoteCall call(remote_, kExtFileWritePacked);
  if (!call.live()) return -1;
  SendI32(call.link(), handle);
  SendI32(call.link(), count);
  SendPacked(call.link(), buffer, count);
  call.Turn();
  const std::int32_t written = GetI32(call.link());
  return call.Finish() ? written : -1;
}

bool LinkExtensions::ReceiveBatch(RemoteCall& call, SlotBatch& batch) {
  const std::int32_t count = GetI32(call.link());
  const std::int32_t end = GetI32(call.link());
  const PackedHeader header = GetPackedHeader(call.link());
  if (!call.live()) return false;
  if (count < 0 || count > kMaxBatchEntries || !HeaderFits(header, kMaxBatchPlain)) {
    call.Break();
    return false;
  }
  std::vector<std::uint8_t> plain(static_cast<std::size_t>(header.plain));
  const bool whole = ReceiveBody(call, header, plain.data(), scratch_);
  // An empty batch that does not end the search would be asked again forever.
  if (!whole || !DecodeBatchRecords(plain.data(), plain.size(), count, &batch.records) ||
      (count == 0 && end == 0)) {
    call.Break();
    return false;
  }
  batch.next = 0;
  batch.end = end;
  return true;
}

std::int32_t LinkExtensions::TakeNext(SlotBatch& batch, FindRecord* record) {
  if (batch.next < batch.records.size()) {
    *record = batch.records[batch.next++];
    return 0;
  }
  return batch.end;
}

std::int32_t LinkExtensions::FindFirst(std::int32_t slot, const std::string& pattern,
                                       std::int32_t mask, FindRecord* record) {
  SlotBatch& batch = batches_[slot - 1];
  batch = SlotBatch();
  RemoteCall call(remote_, kExtFindFirstBatch);
  if (!call.live()) return kErrorNotReady;
  SendI32(call.link(), slot);
  SendText(call.link(), pattern);
  SendI32(call.link(), mask);
  SendI32(call.link(), kBatchAsk);
  call.Turn();
  const bool received = ReceiveBatch(call, batch);
  if (!call.Finish() || !received) {
    batch = SlotBatch();
    return kErrorNotReady;
  }
  batch.active = true;
  batch.serial = remote_->sync_serial();
  return TakeNext(batch, record);
}

bool LinkExtensions::ServesSearch(std::int32_t slot) const {
  const SlotBatch& batch = batches_[slot - 1];
  return batch.active && remote_ != nullptr && batch.serial == remote_->sync_serial();
}

std::int32_t LinkExtensions::FindNext(std::int32_t slot, FindRecord* record) {
  SlotBatch& batch = batches_[slot - 1];
  if (batch.next < batch.records.size() || batch.end != 0) return TakeNext(batch, record);
  RemoteCall call(remote_, kExtFindNextBatch);
  if (!call.live()) return kErrorNotReady;
  SendI32(call.link(), slot);
  SendI32(call.link(), kBatchAsk);
  call.Turn();
  const bool received = ReceiveBatch(call, batch);
  if (!call.Finish() || !received) {
    batch.records.clear();
    batch.end = kErrorNotReady;  // the search is over; asking again would not mend it
  }
  return TakeNext(batch, record);
}

void LinkExtensions::ForgetSearch(std::int32_t slot) { batches_[slot - 1] = SlotBatch(); }

std::int32_t LinkExtensions::ListSubDirs(const std::string& directory,
                                         std::vector<std::string>* names) {
  tree_answers_.clear();
  RemoteCall call(remote_, kExtListSubDirsBatch);
  if (!call.live()) return 0;
  SendText(call.link(), directory);
  call.Turn();
  const std::int32_t count = GetI32(call.link());
  std::vector<SubDirEntry> entries;
  if (count >= 0) {
    const PackedHeader header = GetPackedHeader(call.link());
    if (!HeaderFits(header, kMaxSubDirsPlain)) {
      Refuse(call, header);
    } else {
      std::vector<std::uint8_t> plain(static_cast<std::size_t>(header.plain));
      if (!ReceiveBody(call, header, plain.data(), scratch_) ||
          !DecodeSubDirEntries(plain.data(), plain.size(), count, &entries)) {
        call.Fail();
      }
    }
  }
  if (!call.Finish()) return -1;
  for (SubDirEntry& entry : entries) {
    names->push_back(entry.name);
    tree_answers_[directory + entry.name] = std::move(entry);
  }
  tree_serial_ = remote_->sync_serial();
  tree_commands_ = remote_->commands_sent();
  return count;
}

bool LinkExtensions::TreeAnswersHold() const {
  return !tree_answers_.empty() && remote_ != nullptr && remote_->sync_serial() == tree_serial_ &&
         remote_->commands_sent() == tree_commands_;
}

bool LinkExtensions::KnownHasSubDirs(const std::string& directory, bool* has) {
  if (!TreeAnswersHold()) return false;
  const auto found = tree_answers_.find(WithoutFinalBackslash(directory));
  if (found == tree_answers_.end() || found->second.has_subdirs == kSubDirsNotAsked) return false;
  *has = found->second.has_subdirs == kHasSubDirs;
  return true;
}

bool LinkExtensions::KnownIconIndex(const std::string& path, std::int32_t* normal,
                                    std::int32_t* open) {
  if (!TreeAnswersHold()) return false;
  const auto found = tree_answers_.find(path);
  if (found == tree_answers_.end() || !found->second.icons_known) return false;
  *normal = found->second.normal_icon;
  *open = found->second.open_icon;
  return true;
}

std::int64_t LinkExtensions::RangeCrc(const std::string& path, std::int64_t offset,
                                      std::int64_t length, std::uint32_t* crc) {
  std::int64_t total = 0;
  while (length > 0) {
    const std::int64_t span = std::min(length, kMaxRangeCrcSpan);
    RemoteCall call(remote_, kExtRangeCrc);
    if (!call.live()) return -1;
    SendText(call.link(), path);
    SendI64(call.link(), offset);
    SendI64(call.link(), span);
    SendU32(call.link(), *crc);
    call.Turn();
    const std::int64_t covered = GetI64(call.link());
    const std::uint32_t next = GetU32(call.link());
    if (!call.Finish() || covered < 0 || covered > span) return -1;
    *crc = next;
    total += covered;
    if (covered < span) break;  // the end of the file
    offset += covered;
    length -= covered;
  }
  return total;
}

}  // namespace duplane
