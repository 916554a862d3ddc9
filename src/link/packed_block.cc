// Deflating and inflating packed blocks with zlib, one block at a time: each
// stands alone, so a damaged block spoils no other.
#include "link/packed_block.h"

#include <zlib.h>

#include <cstring>

#include "link/link_layer.h"
#include "link/wire_format.h"

namespace duplane {
namespace {

// The deflated length travels as a field of its own.
constexpr std::size_t kLengthField = 4;

}  // namespace

Packed Pack(const void* plain, std::size_t size, int level) {
  Packed packed;
  if (size == 0) return packed;
  uLongf length = compressBound(static_cast<uLong>(size));
  packed.deflated.resize(length);
  if (compress2(packed.deflated.data(), &length, static_cast<const Bytef*>(plain),
                static_cast<uLong>(size), level) == Z_OK &&
      length + kLengthField < size) {
    packed.deflated.resize(length);
    packed.form = kPackDeflated;
  } else {
    packed.deflated.clear();
  }
  return packed;
}

bool Unpack(const std::uint8_t* packed, std::size_t packed_size, void* plain,
            std::size_t plain_size) {
  uLongf length = static_cast<uLongf>(plain_size);
  uLong consumed = static_cast<uLong>(packed_size);
  const int result = uncompress2(static_cast<Bytef*>(plain), &length, packed, &consumed);
  if (result == Z_OK && length == plain_size && consumed == packed_size) return true;
  std::memset(plain, 0, plain_size);
  return false;
}

bool HeaderFits(const PackedHeader& header, std::int32_t max_plain) {
  if (header.plain < 0 || header.plain > max_plain) return false;
  if (header.form == kPackStored) return header.packed == header.plain;
  return header.form == kPackDeflated && header.packed > 0 && header.packed <= header.plain;
}

void SendPacked(LinkLayer& link, const void* plain, std::int32_t size) {
  const Packed packed = Pack(plain, static_cast<std::size_t>(size));
  SendU8(link, packed.form);
  SendI32(link, size);
  if (packed.form == kPackDeflated) {
    const auto length = static_cast<std::int32_t>(packed.deflated.size());
    SendI32(link, length);
    link.SendBlock(length, packed.deflated.data());
  } else {
    link.SendBlock(size, plain);
  }
}

PackedHeader GetPackedHeader(LinkLayer& link) {
  PackedHeader header;
  header.form = GetU8(link);
  header.plain = GetI32(link);
  // A stored block's bytes follow at once; only a deflated one says how many.
  header.packed = header.form == kPackDeflated ? GetI32(link) : header.plain;
  return header;
}

}  // namespace duplane
