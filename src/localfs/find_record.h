// One directory entry as both ends carry it over the cable: the 292-byte find
// record (name with a length byte, 64-bit size, attributes, three FILETIMEs).
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace duplane {

// Directory searches open at once on each side, numbered 1 to 20.
constexpr int kSearchSlots = 20;
constexpr int kFindRecordSize = 292;
constexpr std::size_t kMaxFindName = 255;

// Windows attribute bits as they travel on the wire.
constexpr std::int32_t kAttrReadOnly = 0x01;
constexpr std::int32_t kAttrHidden = 0x02;
constexpr std::int32_t kAttrSystem = 0x04;
constexpr std::int32_t kAttrVolume = 0x08;
constexpr std::int32_t kAttrDirectory = 0x10;
constexpr std::int32_t kAttrArchive = 0x20;
// Windows reserves this bit ("device") and never reports it for an entry; on
// the wire it marks an entry that is neither a plain file nor a directory and
// must never be opened: a FIFO, a socket, a device, or a symbolic link that
// leads nowhere (or out of the folders served).
constexpr std::int32_t kAttrDevice = 0x40;
// A symbolic link (Windows reports its links and junctions so). The other bits
// are those of what the link leads to; a walk never enters a directory that
// carries this bit.
constexpr std::int32_t kAttrReparsePoint = 0x400;

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
