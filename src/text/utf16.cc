// UTF-8 <-> UTF-16 with lone surrogates carried through.
#include "text/utf16.h"

namespace duplane {
namespace {

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// One code point (or lone surrogate) from `text` at `*at`; false when the
// bytes there are no shortest-form sequence.
bool DecodeOne(const std::string& text, std::size_t* at, char32_t* point) {
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(*at);
  int extra;
  char32_t value;
  char32_t minimum;
  if (lead < 0x80) {
    *point = lead;
    ++*at;
    return true;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, value = lead & 0x07, minimum = 0x10000;
  } else {
    return false;
  }
  if (*at + extra >= text.size()) return false;
  for (int i = 1; i <= extra; ++i) {
    const unsigned char next = byte(*at + i);
    if ((next & 0xC0) != 0x80) return false;
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF) return false;
  *point = value;
  *at += extra + 1;
  return true;
}

void EncodeOne(char32_t point, std::string* out) {
  if (point < 0x80) {
    *out += static_cast<char>(point);
  } else if (point < 0x800) {
    *out += static_cast<char>(0xC0 | (point >> 6));
    *out += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    *out += static_cast<char>(0xE0 | (point >> 12));
    *out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (point >> 18));
    *out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (point & 0x3F));
  }
}

}  // namespace

bool Utf16FromUtf8(const std::string& text, std::u16string* out) {
  out->clear();
  out->reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    char32_t point;
    if (!DecodeOne(text, &at, &point)) return false;
    if (point >= 0x10000) {
      point -= 0x10000;
      *out += static_cast<char16_t>(0xD800 + (point >> 10));
      *out += static_cast<char16_t>(0xDC00 + (point & 0x3FF));
      continue;
    }
    // A pair has one spelling only, the four-byte one; two spellings of one
    // name could slip past a comparison of names.
    if (IsLowSurrogate(point) && !out->empty() && IsHighSurrogate(out->back())) return false;
    *out += static_cast<char16_t>(point);
  }
  return true;
}

std::string Utf8FromUtf16(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      unit = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    EncodeOne(unit, &out);
  }
  return out;
}

}  // namespace duplane
