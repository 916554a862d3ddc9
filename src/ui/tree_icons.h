// The image lists of the two trees: icon index 0 file, 1 closed folder,
// 2 open folder, 3 drive. This PC's come from the desktop's icon theme; the
// Remote PC's arrive as one BMP strip of 16 x 16 images.
#pragma once

#include <QIcon>
#include <QList>
#include <cstdint>
#include <vector>

namespace duplane {

using ImageList = QList<QIcon>;

// This PC's small icons, from the icon theme, each falling back to the
// style's standard icon where the theme has none.
ImageList LocalImageList();

// Cuts a BMP strip into 16 x 16 images, left to right. False (and an empty
// list) when the bytes are no readable image of at least one tile.
bool ImageListFromStrip(const std::vector<std::uint8_t>& bmp, ImageList* images);

// The icon of a node: `normal` when not selected, `open` when selected.
// Indexes outside the list give no image.
QIcon NodeIcon(const ImageList& images, int normal, int open);

}  // namespace duplane
