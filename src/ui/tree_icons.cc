// Tree image lists and the icons of single nodes.
#include "ui/tree_icons.h"

#include <QApplication>
#include <QStyle>
#include <algorithm>

namespace duplane {
namespace {

constexpr int kTile = 16;

// The strip's white is the transparent colour: without this every remote
// icon sits on an opaque white square.
QImage WhiteTransparent(const QImage& tile) {
  QImage image = tile.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if ((line[x] & 0x00FFFFFFu) == 0x00FFFFFFu) line[x] = 0;
    }
  }
  return image;
}

}  // namespace

bool ImageList::LoadStrip(const std::vector<std::uint8_t>& bmp) {
  clear();
  QImage strip;
  if (bmp.empty() || !strip.loadFromData(bmp.data(), static_cast<int>(bmp.size()), "BMP") ||
      strip.height() < kTile || strip.width() < kTile) {
    return false;
  }
  const int tiles = std::min(strip.width() / kTile, kMaxStripTiles);
  strip_ = strip.copy(0, 0, tiles * kTile, kTile);
  return true;
}

int ImageList::size() const {
  return strip_.isNull() ? static_cast<int>(icons_.size()) : strip_.width() / kTile;
}

void ImageList::clear() {
  icons_.clear();
  strip_ = QImage();
  tiles_.clear();
}

QPixmap ImageList::Tile(int index) const {
  if (index < 0 || index >= size()) return QPixmap();
  if (strip_.isNull()) return icons_[index].pixmap(kTile, kTile);
  auto it = tiles_.find(index);
  if (it == tiles_.end()) {
    it = tiles_.insert(
        index, QPixmap::fromImage(WhiteTransparent(strip_.copy(index * kTile, 0, kTile, kTile))));
  }
  return *it;
}

ImageList LocalImageList() {
  struct Source {
    const char* theme;
    QStyle::StandardPixmap fallback;
  };
  const Source kSources[] = {{"text-x-generic", QStyle::SP_FileIcon},
                             {"folder", QStyle::SP_DirClosedIcon},
                             {"folder-open", QStyle::SP_DirOpenIcon},
                             {"drive-harddisk", QStyle::SP_DriveHDIcon}};
  QList<QIcon> icons;
  for (const Source& s : kSources) {
    QIcon icon = QIcon::fromTheme(QLatin1String(s.theme));
    if (icon.isNull()) icon = QApplication::style()->standardIcon(s.fallback);
    icons.append(icon);
  }
  return ImageList(icons);
}

bool ImageListFromStrip(const std::vector<std::uint8_t>& bmp, ImageList* images) {
  return images->LoadStrip(bmp);
}

QIcon NodeIcon(const ImageList& images, int normal, int open) {
  QIcon icon;
  const QPixmap normal_pixmap = images.Tile(normal);
  const QPixmap open_pixmap = images.Tile(open);
  if (!normal_pixmap.isNull()) icon.addPixmap(normal_pixmap, QIcon::Normal);
  if (!open_pixmap.isNull()) icon.addPixmap(open_pixmap, QIcon::Selected);
  return icon;
}

}  // namespace duplane
