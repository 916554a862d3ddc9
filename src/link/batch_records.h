// The entries of the batched listings, as they lie in a packed block's plain
// bytes: directory entries (the find record's fields without its padding) and
// sub-directory names with the answers the tree asks of each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "localfs/find_record.h"

namespace duplane {

// name length u8, name, size u64, attributes u32, three FILETIMEs.
std::size_t BatchRecordSize(const FindRecord& record);
// The name is cut to its first 255 bytes, as in a find record.
void AppendBatchRecord(const FindRecord& record, std::vector<std::uint8_t>* out);
// Exactly `count` records filling `size` bytes; false for anything else.
bool DecodeBatchRecords(const std::uint8_t* bytes, std::size_t size, std::int32_t count,
                        std::vector<FindRecord>* records);

// What a sub-directory batch says of one name.
enum SubDirsAnswer : std::uint8_t { kNoSubDirs = 0, kHasSubDirs = 1, kSubDirsNotAsked = 2 };

struct SubDirEntry {
  std::string name;
  std::uint8_t has_subdirs = kSubDirsNotAsked;
  bool icons_known = false;
  std::int32_t normal_icon = 0;
  std::int32_t open_icon = 0;
};

// name length u16, name, has-subdirs u8, icons known u8, normal icon i32,
// open icon i32.
std::size_t SubDirEntrySize(const SubDirEntry& entry);
void AppendSubDirEntry(const SubDirEntry& entry, std::vector<std::uint8_t>* out);
bool DecodeSubDirEntries(const std::uint8_t* bytes, std::size_t size, std::int32_t count,
                         std::vector<SubDirEntry>* entries);

}  // namespace duplane
