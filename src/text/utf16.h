// UTF-8 (the wire and the module's text) to UTF-16 (Windows' file names) and
// back. Windows names are sequences of 16-bit units that need not be valid
// UTF-16: a lone surrogate travels as its own three-byte sequence (the form
// known as WTF-8), so every name a Windows PC holds can be listed and named
// again. Plain C++, so it is tested on every platform.
#pragma once

#include <string>

namespace duplane {

// False for bytes that are no such encoding (overlong forms, stray
// continuation bytes, a surrogate pair written as two three-byte sequences).
bool Utf16FromUtf8(const std::string& text, std::u16string* out);
std::string Utf8FromUtf16(const std::u16string& text);

}  // namespace duplane
