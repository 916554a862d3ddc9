// The running CRC-32 both ends keep over the file data they read or write:
// reflected polynomial 0xEDB88320, start 0xFFFFFFFF, no final inversion.
#pragma once

#include <cstddef>
#include <cstdint>

namespace duplane {

constexpr std::uint32_t kCrcStart = 0xFFFFFFFFu;

// The 256-entry table, built once (MakeCrcTable) before first use.
const std::uint32_t* CrcTable();
void MakeCrcTable();

// Folds `count` bytes into `crc` and returns the new value; a count of 0 leaves it.
std::uint32_t UpdateCrc(std::uint32_t crc, std::uint16_t count, const void* buffer);
// The same for any count, folded in parts UpdateCrc takes.
std::uint32_t UpdateCrcLong(std::uint32_t crc, std::size_t count, const void* buffer);

}  // namespace duplane
