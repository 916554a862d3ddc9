// UTF-8 <-> wide characters for the Windows API, and error texts.
#include "text/utf16.h"
#include "text/windows_text.h"

namespace duplane {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

bool WideFromUtf8(const std::string& text, std::wstring* out) {
  std::u16string units;
  if (!Utf16FromUtf8(text, &units)) return false;
  out->assign(units.begin(), units.end());
  return true;
}

std::string Utf8FromWide(const wchar_t* text, std::size_t length) {
  return Utf8FromUtf16(std::u16string(text, text + length));
}

std::string SystemMessage(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text = length > 0 ? Utf8FromWide(buffer, length) : std::string();
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() &&
         (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.')) {
    text.pop_back();
  }
  return text.empty() ? "error " + std::to_string(error) : text;
}

}  // namespace duplane
