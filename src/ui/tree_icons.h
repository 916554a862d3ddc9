// The image lists of the two trees: icon index 0 file, 1 closed folder,
// 2 open folder, 3 drive. This PC's come from the desktop's icon theme; the
// Remote PC's arrive as one BMP strip of 16 x 16 images drawn on white, the
// colour that stands for transparent.
#pragma once

#include <QHash>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <cstdint>
#include <vector>

namespace duplane {

class ImageList {
 public:
  // A strip is kept up to this many images; a Remote Module's system image
  // list of a few hundred icons fits with room to spare, and an absurd strip
  // costs no more than this.
  static constexpr int kMaxStripTiles = 1024;

  ImageList() = default;
  explicit ImageList(QList<QIcon> icons) : icons_(std::move(icons)) {}

  // Keeps a BMP strip; its images are cut out only when a node shows them.
  // False (and an empty list) when the bytes are no readable image of at
  // least one tile.
  bool LoadStrip(const std::vector<std::uint8_t>& bmp);

  int size() const;
  bool isEmpty() const { return size() == 0; }
  void clear();
  // The 16 x 16 image at `index`; null outside the list.
  QPixmap Tile(int index) const;
  // How many images have been cut out of the strip so far.
  int TilesCut() const { return static_cast<int>(tiles_.size()); }

 private:
  QList<QIcon> icons_;
  QImage strip_;
  mutable QHash<int, QPixmap> tiles_;
};

// This PC's small icons, from the icon theme, each falling back to the
// style's standard icon where the theme has none.
ImageList LocalImageList();

// The Remote PC's strip (ImageList::LoadStrip).
bool ImageListFromStrip(const std::vector<std::uint8_t>& bmp, ImageList* images);

// The icon of a node: `normal` when not selected, `open` when selected.
// Indexes outside the list give no image.
QIcon NodeIcon(const ImageList& images, int normal, int open);

}  // namespace duplane
