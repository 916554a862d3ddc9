// The private-use mapping of the characters a Windows name cannot hold.
#include "localfs/name_mapping.h"

#include <cctype>
#include <cstring>

namespace duplane {
namespace {

constexpr char kMapped[] = "\\:*?\"<>|";

bool IsMapped(char c) { return c != '\0' && std::strchr(kMapped, c) != nullptr; }

// U+F000 + c in UTF-8 (c < 0x80): EF, 80 | c >> 6, 80 | c & 3F.
void AppendTwin(char c, std::string* out) {
  const auto code = static_cast<unsigned char>(c);
  *out += static_cast<char>(0xEF);
  *out += static_cast<char>(0x80 | (code >> 6));
  *out += static_cast<char>(0x80 | (code & 0x3F));
}

// The character whose twin starts at `at`, or '\0'.
char TwinAt(const std::string& text, std::size_t at) {
  if (at + 2 >= text.size() || static_cast<unsigned char>(text[at]) != 0xEF) return '\0';
  const auto second = static_cast<unsigned char>(text[at + 1]);
  const auto third = static_cast<unsigned char>(text[at + 2]);
  if ((second & 0xFE) != 0x80 || (third & 0xC0) != 0x80) return '\0';
  const char c = static_cast<char>(((second & 0x01) << 6) | (third & 0x3F));
  return IsMapped(c) ? c : '\0';
}

}  // namespace

std::string WireNameOf(const std::string& native) {
  std::string wire;
  wire.reserve(native.size());
  for (char c : native) {
    if (IsMapped(c)) {
      AppendTwin(c, &wire);
    } else {
      wire += c;
    }
  }
  return wire;
}

std::string NativeNameOf(const std::string& wire) {
#ifdef _WIN32
  // A Windows name holds the private-use characters as they are: the twins
  // are a Linux name's way onto the wire, and this is where they land.
  return wire;
#endif
  std::string native;
  native.reserve(wire.size());
  for (std::size_t i = 0; i < wire.size(); ++i) {
    const char c = TwinAt(wire, i);
    if (c != '\0') {
      native += c;
      i += 2;
    } else {
      native += wire[i];
    }
  }
  return native;
}

std::string WirePathOfTyped(const std::string& typed) {
  const bool drive = typed.size() >= 3 && std::isalpha(static_cast<unsigned char>(typed[0])) &&
                     typed[1] == ':' && (typed[2] == '\\' || typed[2] == '/');
  std::string wire;
  wire.reserve(typed.size());
  for (std::size_t i = 0; i < typed.size(); ++i) {
    const char c = typed[i];
    if (IsMapped(c) && c != '\\' && !(drive && i == 1)) {
      AppendTwin(c, &wire);
    } else {
      wire += c;
    }
  }
  return wire;
}

bool HoldsMappedTwin(const std::string& native) {
  for (std::size_t i = 0; i < native.size(); ++i) {
    if (TwinAt(native, i) != '\0') return true;
  }
  return false;
}

}  // namespace duplane
