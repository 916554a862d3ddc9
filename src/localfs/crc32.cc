// CRC-32 table and the fold of bytes into a running value.
#include "localfs/crc32.h"

#include <mutex>

namespace duplane {
namespace {

std::uint32_t g_table[256];
std::once_flag g_table_once;

void BuildTable() {
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t entry = i;
    for (int bit = 0; bit < 8; ++bit) entry = (entry & 1) ? (entry >> 1) ^ 0xEDB88320u : entry >> 1;
    g_table[i] = entry;
  }
}

}  // namespace

void MakeCrcTable() { std::call_once(g_table_once, BuildTable); }

const std::uint32_t* CrcTable() {
  MakeCrcTable();
  return g_table;
}

std::uint32_t UpdateCrc(std::uint32_t crc, std::uint16_t count, const void* buffer) {
  const std::uint32_t* table = CrcTable();
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  for (std::uint16_t i = 0; i < count; ++i) crc = (crc >> 8) ^ table[(crc ^ bytes[i]) & 0xFF];
  return crc;
}

std::uint32_t UpdateCrcLong(std::uint32_t crc, std::size_t count, const void* buffer) {
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  while (count > 0) {
    const std::size_t part = count < 0xFFFF ? count : 0xFFFF;
    crc = UpdateCrc(crc, static_cast<std::uint16_t>(part), bytes);
    bytes += part;
    count -= part;
  }
  return crc;
}

}  // namespace duplane
