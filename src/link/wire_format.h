// The field encodings of the command protocol on top of the link layer: fixed
// width numbers least significant byte first, each field one SendBlock or one
// GetBlock, and text as an i32 byte count followed by the bytes. Shared by the
// program's remote branch and the Remote Module's dispatcher.
#pragma once

#include <cstdint>
#include <string>

namespace duplane {

class LinkLayer;

// A path or name on the wire is at most this long; longer is not a request
// either end will send or accept.
constexpr std::int32_t kMaxWireText = 32 * 1024;
// File data per LinkFileRead or LinkFileWrite.
constexpr std::int32_t kMaxWireData = 8192;
// The largest LinkFileWrite data the Remote Module takes off the cable to
// refuse it in step: the most one CRC fold may cover. A larger count is no
// block any program sends; it drops the connection instead of waiting for it.
constexpr std::int32_t kMaxWireDrain = 65535;

void SendU8(LinkLayer& link, std::uint8_t value);
void SendI32(LinkLayer& link, std::int32_t value);
void SendU32(LinkLayer& link, std::uint32_t value);
void SendI64(LinkLayer& link, std::int64_t value);
void SendU64(LinkLayer& link, std::uint64_t value);
void SendText(LinkLayer& link, const std::string& text);

std::uint8_t GetU8(LinkLayer& link);
std::int32_t GetI32(LinkLayer& link);
std::uint32_t GetU32(LinkLayer& link);
std::int64_t GetI64(LinkLayer& link);
std::uint64_t GetU64(LinkLayer& link);

// Receives and drops `count` bytes in small pieces, so a field too long for
// its destination still leaves the link in step.
void DiscardBytes(LinkLayer& link, std::int64_t count);

}  // namespace duplane
