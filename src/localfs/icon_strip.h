// The small icons every side uses on Linux, by index, and the 24-bit BMP file
// image of all four side by side on white that a Remote Module answers for
// LinkGetSysImageList.
#pragma once

#include <cstdint>
#include <vector>

namespace duplane {

constexpr std::int32_t kIconFile = 0;
constexpr std::int32_t kIconFolder = 1;
constexpr std::int32_t kIconFolderOpen = 2;
constexpr std::int32_t kIconDrive = 3;
constexpr int kIconCount = 4;
constexpr int kIconSize = 16;

// A complete BMP file: 14-byte file header, 40-byte info header, bottom-up rows.
std::vector<std::uint8_t> DrawIconStrip();

}  // namespace duplane
