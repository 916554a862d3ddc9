// Little-endian field encoding over the link layer.
#include "link/wire_format.h"

#include <cstring>

#include "link/link_layer.h"

namespace duplane {
namespace {

template <typename T>
void SendLe(LinkLayer& link, T value) {
  std::uint8_t bytes[sizeof(T)];
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    bytes[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
  }
  link.SendBlock(static_cast<std::int32_t>(sizeof(T)), bytes);
}

template <typename T>
T GetLe(LinkLayer& link) {
  // Zeroed first: a dead link returns with the buffer as it was.
  std::uint8_t bytes[sizeof(T)] = {};
  link.GetBlock(static_cast<std::int32_t>(sizeof(T)), bytes);
  std::uint64_t value = 0;
  for (std::size_t i = sizeof(T); i > 0; --i) value = (value << 8) | bytes[i - 1];
  return static_cast<T>(value);
}

}  // namespace

void SendU8(LinkLayer& link, std::uint8_t value) { link.SendBlock(1, &value); }
void SendI32(LinkLayer& link, std::int32_t value) { SendLe(link, value); }
void SendU32(LinkLayer& link, std::uint32_t value) { SendLe(link, value); }
void SendI64(LinkLayer& link, std::int64_t value) { SendLe(link, value); }
void SendU64(LinkLayer& link, std::uint64_t value) { SendLe(link, value); }

void SendText(LinkLayer& link, const std::string& text) {
  const auto count = static_cast<std::int32_t>(text.size());
  SendI32(link, count);
  link.SendBlock(count, text.data());
}

std::uint8_t GetU8(LinkLayer& link) { return GetLe<std::uint8_t>(link); }
std::int32_t GetI32(LinkLayer& link) { return GetLe<std::int32_t>(link); }
std::uint32_t GetU32(LinkLayer& link) { return GetLe<std::uint32_t>(link); }
std::int64_t GetI64(LinkLayer& link) { return GetLe<std::int64_t>(link); }
std::uint64_t GetU64(LinkLayer& link) { return GetLe<std::uint64_t>(link); }

void DiscardBytes(LinkLayer& link, std::int64_t count) {
  std::uint8_t scratch[512];
  while (count > 0 && link.connected()) {
    const auto part = static_cast<std::int32_t>(count < 512 ? count : 512);
    link.GetBlock(part, scratch);
    count -= part;
  }
}

}  // namespace duplane
