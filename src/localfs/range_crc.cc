// The CRC of a byte range of a file, read through this object's own open, so
// the same confinement, sharing and refusal of links and devices hold as for a
// copy's reads.
#include <algorithm>
#include <vector>

#include "localfs/crc32.h"
#include "localfs/local_file_system.h"

namespace duplane {
namespace {

// Read access, others may read and write: the range of a file another
// program has open is still read.
constexpr std::int32_t kOpenReadShared = 0x40;
constexpr std::int32_t kRangePiece = 64 * 1024;

}  // namespace

std::int64_t LocalFileSystem::RangeCrc(const std::string& path, std::int64_t offset,
                                       std::int64_t length, std::uint32_t* crc) {
  if (offset < 0 || length < 0) return -1;
  if (length == 0) return 0;
  const std::uint32_t running = crc_;
  const std::int32_t handle = FileOpen(path, kOpenReadShared);
  std::int64_t covered = -1;
  if (handle >= 0 && FileSeek(handle, offset, 0) == offset) {
    std::vector<std::uint8_t> piece(kRangePiece);
    std::uint32_t value = *crc;
    covered = 0;
    while (covered < length) {
      const auto want =
          static_cast<std::int32_t>(std::min<std::int64_t>(length - covered, kRangePiece));
      const std::int32_t got = FileRead(handle, piece.data(), want);
      if (got < 0) {
        covered = -1;
        break;
      }
      if (got == 0) break;
      value = UpdateCrcLong(value, static_cast<std::size_t>(got), piece.data());
      covered += got;
    }
    if (covered >= 0) *crc = value;
  }
  if (handle >= 0) FileClose(handle);
  crc_ = running;
  return covered;
}

}  // namespace duplane
