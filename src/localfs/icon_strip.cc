// Draws the four 16 x 16 icons with a few rectangles and lines; no image files
// are shipped, so the Remote Module stays a single executable.
#include "localfs/icon_strip.h"

#include <array>

namespace duplane {
namespace {

struct Rgb {
  std::uint8_t r, g, b;
};

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kGrey{128, 128, 128};
constexpr Rgb kLight{192, 192, 192};
constexpr Rgb kPaper{250, 250, 250};
constexpr Rgb kYellow{240, 200, 80};
constexpr Rgb kDarkYellow{190, 150, 40};
constexpr Rgb kGreen{0, 200, 0};

constexpr int kWidth = kIconSize * kIconCount;

class Canvas {
 public:
  Canvas() { pixels_.fill(kWhite); }
  // Top-down coordinates inside icon `icon`; rows are flipped when written.
  void Fill(int icon, int x0, int y0, int x1, int y1, Rgb colour) {
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) pixels_[y * kWidth + icon * kIconSize + x] = colour;
    }
  }
  void Frame(int icon, int x0, int y0, int x1, int y1, Rgb colour) {
    Fill(icon, x0, y0, x1, y0, colour);
    Fill(icon, x0, y1, x1, y1, colour);
    Fill(icon, x0, y0, x0, y1, colour);
    Fill(icon, x1, y0, x1, y1, colour);
  }
  Rgb At(int x, int y) const { return pixels_[y * kWidth + x]; }

 private:
  std::array<Rgb, kWidth * kIconSize> pixels_;
};

void PutLe(std::vector<std::uint8_t>* out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void DrawFile(Canvas* c) {
  c->Fill(kIconFile, 3, 1, 12, 14, kPaper);
  c->Frame(kIconFile, 3, 1, 12, 14, kBlack);
  c->Fill(kIconFile, 10, 1, 12, 3, kWhite);  // folded corner
  c->Fill(kIconFile, 9, 1, 9, 4, kBlack);
  c->Fill(kIconFile, 9, 4, 12, 4, kBlack);
  for (int y = 6; y <= 12; y += 2) c->Fill(kIconFile, 5, y, 10, y, kGrey);
}

void DrawFolder(Canvas* c, int icon, bool open) {
  c->Fill(icon, 1, 3, 6, 4, kDarkYellow);  // tab
  c->Fill(icon, 1, 5, 14, 13, kDarkYellow);
  c->Frame(icon, 1, 4, 14, 13, kBlack);
  if (open) {
    // The front flap tilted down: a lighter parallelogram over the lower half.
    for (int y = 8; y <= 13; ++y)
      c->Fill(icon, 3 + (13 - y) / 2, y, 15 - (13 - y) / 2 - 1, y, kYellow);
    c->Fill(icon, 3, 8, 14, 8, kBlack);
  } else {
    c->Fill(icon, 2, 6, 13, 12, kYellow);
  }
}

void DrawDrive(Canvas* c) {
  c->Fill(kIconDrive, 1, 6, 14, 11, kLight);
  c->Frame(kIconDrive, 1, 6, 14, 11, kBlack);
  c->Fill(kIconDrive, 2, 10, 13, 10, kGrey);
  c->Fill(kIconDrive, 11, 8, 12, 8, kGreen);
}

}  // namespace

std::vector<std::uint8_t> DrawIconStrip() {
  Canvas canvas;
  DrawFile(&canvas);
  DrawFolder(&canvas, kIconFolder, false);
  DrawFolder(&canvas, kIconFolderOpen, true);
  DrawDrive(&canvas);

  constexpr std::uint32_t kRowBytes = kWidth * 3;  // 192, already a multiple of 4
  constexpr std::uint32_t kPixelBytes = kRowBytes * kIconSize;
  constexpr std::uint32_t kHeaders = 14 + 40;
  std::vector<std::uint8_t> bmp;
  bmp.reserve(kHeaders + kPixelBytes);
  bmp.push_back('B');
  bmp.push_back('M');
  PutLe(&bmp, kHeaders + kPixelBytes, 4);  // file size
  PutLe(&bmp, 0, 4);                       // reserved
  PutLe(&bmp, kHeaders, 4);                // offset of the pixels
  PutLe(&bmp, 40, 4);                      // BITMAPINFOHEADER
  PutLe(&bmp, kWidth, 4);
  PutLe(&bmp, kIconSize, 4);  // positive height: bottom-up rows
  PutLe(&bmp, 1, 2);          // planes
  PutLe(&bmp, 24, 2);         // bits per pixel
  PutLe(&bmp, 0, 4);          // BI_RGB
  PutLe(&bmp, kPixelBytes, 4);
  PutLe(&bmp, 2835, 4);  // 72 dpi
  PutLe(&bmp, 2835, 4);
  PutLe(&bmp, 0, 4);
  PutLe(&bmp, 0, 4);
  for (int y = kIconSize - 1; y >= 0; --y) {
    for (int x = 0; x < kWidth; ++x) {
      const Rgb p = canvas.At(x, y);
      bmp.push_back(p.b);
      bmp.push_back(p.g);
      bmp.push_back(p.r);
    }
  }
  return bmp;
}

}  // namespace duplane
