// One directory entry as both ends carry it over the cable: the 292-byte find
// record (name with a length byte, 64-bit size, attributes, three FILETIMEs).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "localfs/file_values.h"

namespace duplane {

// Directory searches open at once on each side, numbered 1 to 20.
constexpr int kSearchSlots = 20;
constexpr int kFindRecordSize = 292;
constexpr std::size_t kMaxFindName = 255;

// A FILETIME: 100 ns units since 1601-01-01 UTC.
using FileTime = std::uint64_t;

struct FindRecord {
  std::string name;  // at most 255 bytes
  std::uint64_t size = 0;
  std::uint32_t attributes = 0;
  FileTime creation_time = 0;
  FileTime last_access_time = 0;
  FileTime last_write_time = 0;
};

using FindRecordBytes = std::array<std::uint8_t, kFindRecordSize>;

// Encodes a record, cutting the name to its first 255 bytes.
FindRecordBytes EncodeFindRecord(const FindRecord& record);
FindRecord DecodeFindRecord(const FindRecordBytes& bytes);

// Whether `name` is one component of a Windows path and nothing more: not
// empty, no separator, no drive colon. A name that fails would reach another
// file or directory than the entry it stands for once a path is built from it.
// "." and ".." pass; every reader passes over them by name.
bool IsPlainFindName(const std::string& name);
// Whether `name` stands for an entry of its own in the directory it is listed
// in: a plain name that is neither "." nor "..". Only such names may be joined
// to a directory path by anything that changes files.
bool IsEntryName(const std::string& name);

}  // namespace duplane
