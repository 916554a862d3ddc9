// Icons on Windows: the system image list of small icons, drawn side by side
// on white as the bitmap file a Remote Module answers for code 29, and the
// shell's icon indexes of a path.
#include <windows.h>
// The shell's headers need windows.h first.
#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

#include "localfs/local_file_system.h"
#include "localfs/local_native_win.h"

namespace duplane {
namespace {

constexpr int kTile = 16;
// The program takes a strip of at most 4 MiB; 16 x 16 at 24 bits is 768
// bytes an icon, so this stays far below it with room for a big list.
constexpr int kMaxIcons = 4096;

HIMAGELIST SystemSmallIcons() {
  SHFILEINFOW info = {};
  return reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoW(L"", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

// A BMP file of a bottom-up 24-bit bitmap: file header, info header, rows.
std::vector<std::uint8_t> BitmapFile(const BITMAPINFOHEADER& header, const void* bits) {
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + header.biSizeImage;
  std::vector<std::uint8_t> out(file.bfSize);
  std::memcpy(out.data(), &file, sizeof file);
  std::memcpy(out.data() + sizeof file, &header, sizeof header);
  std::memcpy(out.data() + file.bfOffBits, bits, header.biSizeImage);
  return out;
}

}  // namespace

std::vector<std::uint8_t> LocalFileSystem::SysImageList() const {
  HIMAGELIST icons = SystemSmallIcons();
  const int count = icons ? ImageList_GetImageCount(icons) : 0;
  if (count <= 0 || count > kMaxIcons) return {};
  BITMAPINFO info = {};
  BITMAPINFOHEADER& header = info.bmiHeader;
  header.biSize = sizeof header;
  header.biWidth = kTile * count;
  header.biHeight = kTile;  // positive: bottom-up rows, as a BMP file keeps them
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(((header.biWidth * 3 + 3) & ~3) * kTile);
  // A memory canvas of its own: nothing here needs the screen, which a PC
  // serving the cable may not even have switched on.
  void* bits = nullptr;
  HDC canvas = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<std::uint8_t> file;
  if (canvas != nullptr && bitmap != nullptr) {
    HGDIOBJ old = SelectObject(canvas, bitmap);
    const RECT all = {0, 0, header.biWidth, kTile};
    FillRect(canvas, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    for (int i = 0; i < count; ++i) ImageList_Draw(icons, i, canvas, i * kTile, 0, ILD_NORMAL);
    GdiFlush();
    file = BitmapFile(header, bits);
    SelectObject(canvas, old);
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  if (canvas != nullptr) DeleteDC(canvas);
  return file;
}

void LocalFileSystem::GetIconIndex(const std::string& path, std::int32_t* normal,
                                   std::int32_t* open) {
  *normal = 0;
  *open = 0;
  ResolvedPath resolved;
  PinnedWalk pins;
  std::wstring native, shell_path;
  if (!table_.Resolve(path, &resolved) ||
      (!resolved.names.empty() && native_->Reach(resolved, true, &pins, &native) != 0) ||
      !native_->ShellPath(resolved, &shell_path)) {
    return;
  }
  SHFILEINFOW info = {};
  SHGetFileInfoW(shell_path.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX);
  *normal = info.iIcon;
  info = SHFILEINFOW();
  SHGetFileInfoW(shell_path.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_OPENICON);
  *open = info.iIcon;
}

}  // namespace duplane
