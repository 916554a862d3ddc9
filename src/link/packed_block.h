// Packed blocks: the bytes of one extension field, deflated (zlib) when that
// makes them shorter on the wire and stored as they are otherwise. On the
// wire a block is its form (u8), its plain length (i32), for a deflated block
// the deflated length (i32), then that many bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace duplane {

class LinkLayer;

enum PackForm : std::uint8_t { kPackStored = 0, kPackDeflated = 1 };

// How hard the sender deflates: the slow end of the cable is the cable, so
// the ratio counts for more than the speed (see the README's figures).
constexpr int kPackLevel = 6;

struct PackedHeader {
  std::uint8_t form = kPackStored;
  std::int32_t plain = 0;   // bytes once unpacked
  std::int32_t packed = 0;  // bytes on the wire after the header
};

// The wire form of `size` plain bytes: deflated when that saves more than the
// deflated length field costs, else the bytes themselves.
struct Packed {
  std::uint8_t form = kPackStored;
  std::vector<std::uint8_t> deflated;  // only for kPackDeflated
};
Packed Pack(const void* plain, std::size_t size, int level = kPackLevel);

// Unpacks a deflated block into exactly `plain_size` bytes at `plain`. False
// when the stream is damaged or holds another number of bytes; the output is
// then all zero bytes, so whatever uses it sees one definite wrong value.
bool Unpack(const std::uint8_t* packed, std::size_t packed_size, void* plain,
            std::size_t plain_size);

// Whether a header read from the wire is one a sender of at most `max_plain`
// bytes could have sent; what follows it is then header.packed bytes.
bool HeaderFits(const PackedHeader& header, std::int32_t max_plain);

// One packed block on the wire.
void SendPacked(LinkLayer& link, const void* plain, std::int32_t size);
// The header of one; read the header.packed bytes after it (or drop them).
PackedHeader GetPackedHeader(LinkLayer& link);

}  // namespace duplane
