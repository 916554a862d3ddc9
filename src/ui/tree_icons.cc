// Tree image lists and the icons of single nodes.
#include "ui/tree_icons.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QStyle>

namespace duplane {
namespace {

constexpr int kTile = 16;

QPixmap Tile(const ImageList& images, int index) {
  if (index < 0 || index >= images.size()) return QPixmap();
  return images[index].pixmap(kTile, kTile);
}

}  // namespace

ImageList LocalImageList() {
  struct Source {
    const char* theme;
    QStyle::StandardPixmap fallback;
  };
  const Source kSources[] = {{"text-x-generic", QStyle::SP_FileIcon},
                             {"folder", QStyle::SP_DirClosedIcon},
                             {"folder-open", QStyle::SP_DirOpenIcon},
                             {"drive-harddisk", QStyle::SP_DriveHDIcon}};
  ImageList images;
  for (const Source& s : kSources) {
    QIcon icon = QIcon::fromTheme(QLatin1String(s.theme));
    if (icon.isNull()) icon = QApplication::style()->standardIcon(s.fallback);
    images.append(icon);
  }
  return images;
}

bool ImageListFromStrip(const std::vector<std::uint8_t>& bmp, ImageList* images) {
  images->clear();
  QImage strip;
  if (bmp.empty() || !strip.loadFromData(bmp.data(), static_cast<int>(bmp.size()), "BMP") ||
      strip.height() < kTile || strip.width() < kTile) {
    return false;
  }
  for (int x = 0; x + kTile <= strip.width(); x += kTile) {
    images->append(QIcon(QPixmap::fromImage(strip.copy(x, 0, kTile, kTile))));
  }
  return true;
}

QIcon NodeIcon(const ImageList& images, int normal, int open) {
  QIcon icon;
  const QPixmap normal_pixmap = Tile(images, normal);
  const QPixmap open_pixmap = Tile(images, open);
  if (!normal_pixmap.isNull()) icon.addPixmap(normal_pixmap, QIcon::Normal);
  if (!open_pixmap.isNull()) icon.addPixmap(open_pixmap, QIcon::Selected);
  return icon;
}

}  // namespace duplane
