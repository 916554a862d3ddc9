// Text at the Windows API: the module speaks UTF-8 (the wire, the command
// line, its log) and Windows takes wide-character names.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <string>

namespace duplane {

// False for bytes that are no UTF-8 (see utf16.h).
bool WideFromUtf8(const std::string& text, std::wstring* out);
std::string Utf8FromWide(const wchar_t* text, std::size_t length);
inline std::string Utf8FromWide(const std::wstring& text) {
  return Utf8FromWide(text.data(), text.size());
}
// The system's one-line description of an error code.
std::string SystemMessage(DWORD error);

}  // namespace duplane

#endif  // _WIN32
