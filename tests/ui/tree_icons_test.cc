// The Remote PC's icon strip: images are cut out only when a node shows them,
// an absurdly long strip is kept only up to its limit, and the strip's white
// is transparent.
#include "ui/tree_icons.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include "qt_test_app.h"

namespace duplane {
namespace {

// A BMP strip of `tiles` images, each a white square with a coloured dot in
// its middle.
std::vector<std::uint8_t> Strip(int tiles) {
  QImage image(tiles * 16, 16, QImage::Format_RGB888);
  image.fill(Qt::white);
  for (int i = 0; i < tiles; ++i) image.setPixelColor(i * 16 + 8, 8, QColor(0, 0, i % 256));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, "BMP"));
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

TEST(TreeIconsTest, OnlyTheImagesShownAreCutAndAHugeStripIsKeptToItsLimit) {
  TestApp();
  ImageList images;
  ASSERT_TRUE(ImageListFromStrip(Strip(100000), &images));
  EXPECT_EQ(images.size(), ImageList::kMaxStripTiles);
  EXPECT_EQ(images.TilesCut(), 0);
  const QIcon icon = NodeIcon(images, 1, 2);
  EXPECT_FALSE(icon.isNull());
  EXPECT_EQ(images.TilesCut(), 2);
  NodeIcon(images, 1, 2);  // the same two again
  EXPECT_EQ(images.TilesCut(), 2);
  EXPECT_TRUE(images.Tile(ImageList::kMaxStripTiles).isNull());
  EXPECT_TRUE(images.Tile(-1).isNull());
  EXPECT_EQ(images.TilesCut(), 2);
  images.clear();
  EXPECT_TRUE(images.isEmpty());
  EXPECT_TRUE(images.Tile(1).isNull());
}

TEST(TreeIconsTest, WhiteIsTransparentAndColoursStay) {
  TestApp();
  ImageList images;
  ASSERT_TRUE(ImageListFromStrip(Strip(4), &images));
  const QImage tile = images.Tile(3).toImage();
  ASSERT_EQ(tile.size(), QSize(16, 16));
  EXPECT_EQ(qAlpha(tile.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(tile.pixel(15, 15)), 0);
  EXPECT_EQ(qAlpha(tile.pixel(8, 8)), 255);
  EXPECT_EQ(QColor(tile.pixel(8, 8)), QColor(0, 0, 3));
}

TEST(TreeIconsTest, BytesThatAreNoStripGiveNoImages) {
  TestApp();
  ImageList images;
  EXPECT_FALSE(ImageListFromStrip({}, &images));
  EXPECT_FALSE(ImageListFromStrip({'B', 'M', 1, 2, 3}, &images));
  EXPECT_TRUE(images.isEmpty());
}

}  // namespace
}  // namespace duplane
