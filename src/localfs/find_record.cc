// Encoding of the 292-byte find record, least significant byte first.
#include "localfs/find_record.h"

#include <algorithm>

namespace duplane {
namespace {

void PutU32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}
void PutU64(std::uint8_t* at, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}
std::uint32_t GetU32(const std::uint8_t* at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}
std::uint64_t GetU64(const std::uint8_t* at) {
  std::uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}

}  // namespace

FindRecordBytes EncodeFindRecord(const FindRecord& record) {
  FindRecordBytes bytes{};
  const std::size_t length = std::min(record.name.size(), kMaxFindName);
  bytes[0] = static_cast<std::uint8_t>(length);
  std::copy_n(record.name.data(), length, bytes.begin() + 1);
  // The size travels as high word then low word of the entry, i.e. one u64.
  PutU64(&bytes[256], record.size);
  PutU32(&bytes[264], record.attributes);
  PutU64(&bytes[268], record.creation_time);
  PutU64(&bytes[276], record.last_access_time);
  PutU64(&bytes[284], record.last_write_time);
  return bytes;
}

FindRecord DecodeFindRecord(const FindRecordBytes& bytes) {
  FindRecord record;
  record.name.assign(reinterpret_cast<const char*>(&bytes[1]), bytes[0]);
  record.size = GetU64(&bytes[256]);
  record.attributes = GetU32(&bytes[264]);
  record.creation_time = GetU64(&bytes[268]);
  record.last_access_time = GetU64(&bytes[276]);
  record.last_write_time = GetU64(&bytes[284]);
  return record;
}

bool IsPlainFindName(const std::string& name) {
  return !name.empty() && name.find_first_of(std::string("\\/:\0", 4)) == std::string::npos;
}

bool IsEntryName(const std::string& name) {
  return IsPlainFindName(name) && name != "." && name != "..";
}

}  // namespace duplane
