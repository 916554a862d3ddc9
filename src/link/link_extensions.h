// The program's side of the extension codes: what two Duplane ends say to each
// other instead of the plain exchanges once the Remote Module has answered the
// probe with true. Link calls it from its remote branches; every call returns
// what the plain operation would have returned, so nothing above Link knows
// which exchanges carried it.
//
// - File blocks cross packed (deflated when that pays, per block). The running
//   CRCs stay over the plain bytes on both ends: a damaged deflated block
//   arrives as zero bytes and the copy's CRC comparison reports it.
// - A directory search fetches its records in batches and serves
//   LinkFindNext from them.
// - Listing a directory's sub-directories also answers, for each of them,
//   LinkHasSubDirs and LinkGetIconIndex, which the tree asks right after; those
//   answers hold until the next exchange.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "link/batch_records.h"
#include "localfs/find_record.h"

namespace duplane {

class LinkLayer;

class LinkExtensions {
 public:
  explicit LinkExtensions(LinkLayer* remote) : remote_(remote) {}

  // Off: never probes and never sends an extension code (the exchanges are
  // then exactly those of a module that knows only the plain codes).
  void set_enabled(bool enabled) { enabled_ = enabled; }
  bool enabled() const { return enabled_; }

  // Whether the module must be asked (first use on this connection).
  bool NeedsProbe() const;
  // The probe's answer for the present connection.
  void SetProbeAnswer(bool available);
  // Asked and answered true on this connection.
  bool Available() const;

  std::int32_t FileRead(std::int32_t handle, void* buffer, std::int32_t count);
  std::int32_t FileWrite(std::int32_t handle, const void* buffer, std::int32_t count);

  // A search whose records come in batches; the slot's record is filled as by
  // LinkFindFirst and LinkFindNext.
  std::int32_t FindFirst(std::int32_t slot, const std::string& pattern, std::int32_t mask,
                         FindRecord* record);
  // Whether the slot's search came from FindFirst above (on this connection).
  bool ServesSearch(std::int32_t slot) const;
  std::int32_t FindNext(std::int32_t slot, FindRecord* record);
  void ForgetSearch(std::int32_t slot);

  // As LinkListSubDirs; kSubDirsTooMany when the module would have the
  // program ask with the plain code.
  std::int32_t ListSubDirs(const std::string& directory, std::vector<std::string>* names);
  // The answers that came with the last ListSubDirs, while they hold; false
  // when there is none for `path` (then the program asks).
  bool KnownHasSubDirs(const std::string& directory, bool* has);
  bool KnownIconIndex(const std::string& path, std::int32_t* normal, std::int32_t* open);

  // The CRC register continued from *crc over the bytes of `path` from
  // `offset`, `length` of them at most; the number folded (fewer at the end of
  // the file) or -1.
  std::int64_t RangeCrc(const std::string& path, std::int64_t offset, std::int64_t length,
                        std::uint32_t* crc);

 private:
  struct SlotBatch {
    bool active = false;
    std::uint64_t serial = 0;
    std::vector<FindRecord> records;
    std::size_t next = 0;
    std::int32_t end = 0;  // the search's own result once the records run out; 0: ask for more
  };
  // One batch answer into the slot; false when it did not arrive whole.
  bool ReceiveBatch(class RemoteCall& call, SlotBatch& batch);
  std::int32_t TakeNext(SlotBatch& batch, FindRecord* record);
  bool TreeAnswersHold() const;

  LinkLayer* remote_;
  bool enabled_ = true;
  bool probed_ = false;
  bool available_ = false;
  std::uint64_t probed_serial_ = 0;
  SlotBatch batches_[kSearchSlots];
  // Sub-directory answers by path (no final backslash), and the exchange
  // after which they were given.
  std::map<std::string, SubDirEntry> tree_answers_;
  std::uint64_t tree_serial_ = 0;
  std::uint64_t tree_commands_ = 0;
  std::vector<std::uint8_t> scratch_;  // deflated bytes of one answer
};

}  // namespace duplane
