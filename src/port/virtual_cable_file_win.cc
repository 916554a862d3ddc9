// The virtual cable file on Windows: a file mapping of the same file layout,
// so that a Windows end (under Wine, say) and a Linux end share one cable.
#include <windows.h>

#include "port/virtual_cable_file.h"
#include "text/windows_text.h"

namespace duplane {

void* MapCableFile(const std::string& path, std::size_t size, std::string* why) {
  std::wstring wide;
  if (!WideFromUtf8(path, &wide)) {
    *why = "the path is not valid UTF-8";
    return nullptr;
  }
  // Every kind of sharing: the other end opens the same file at any time.
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *why = SystemMessage(GetLastError());
    return nullptr;
  }
  // A mapping of `size` bytes extends a shorter file with zero bytes and
  // leaves a longer one as it is.
  HANDLE mapping =
      CreateFileMappingW(file, nullptr, PAGE_READWRITE, 0, static_cast<DWORD>(size), nullptr);
  DWORD error = GetLastError();
  CloseHandle(file);
  if (mapping == nullptr) {
    *why = SystemMessage(error);
    return nullptr;
  }
  void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, size);
  error = GetLastError();
  CloseHandle(mapping);  // the view keeps the mapping alive
  if (view == nullptr) *why = SystemMessage(error);
  return view;
}

void UnmapCableFile(void* view, std::size_t) { UnmapViewOfFile(view); }

void GiveUpProcessor() { SwitchToThread(); }

// Windows sleeps in whole milliseconds at best.
void NapBriefly() { Sleep(1); }

}  // namespace duplane
