// Fitting paths into panels, measured with a fixed-pitch "font" of one pixel
// per character so the expected cuts can be worked out by hand.
#include "transfer/path_shortening.h"

#include <gtest/gtest.h>

namespace duplane {
namespace {

int Pitch1(const std::string& text) { return static_cast<int>(text.size()); }

TEST(PathShorteningTest, CutsDirectoriesFromTheFrontThenTheDrive) {
  const std::string path = "C:\\LONGDIR\\BBB\\CCC\\FILE.TXT";  // 27 wide
  EXPECT_EQ(ShortenPath(path, 27, Pitch1), path);
  EXPECT_EQ(ShortenPath(path, 26, Pitch1), "C:\\...\\BBB\\CCC\\FILE.TXT");
  EXPECT_EQ(ShortenPath(path, 20, Pitch1), "C:\\...\\CCC\\FILE.TXT");
  EXPECT_EQ(ShortenPath(path, 15, Pitch1), "C:\\...\\FILE.TXT");
  EXPECT_EQ(ShortenPath(path, 14, Pitch1), "...\\FILE.TXT");
  // The file name itself is never cut, however narrow the panel.
  EXPECT_EQ(ShortenPath(path, 11, Pitch1), "FILE.TXT");
  EXPECT_EQ(ShortenPath(path, 0, Pitch1), "FILE.TXT");
}

TEST(PathShorteningTest, RelativePathsAndRoots) {
  EXPECT_EQ(ShortenPath("SUB\\DEEP\\X.TXT", 10, Pitch1), "...\\X.TXT");
  EXPECT_EQ(ShortenPath("C:\\X.TXT", 6, Pitch1), "X.TXT");
  EXPECT_EQ(ShortenPath("C:\\", 1, Pitch1), "");
  EXPECT_EQ(ShortenPath("X.TXT", 1, Pitch1), "X.TXT");
}

TEST(PathShorteningTest, DirectoryWhoseNameBeginsWithADotIsCutLikeAnyOther) {
  // Only the ellipsis of an earlier cut is dropped, never the first letters of
  // a real name such as ".a" (which would make "C:\\F", a file at the root).
  EXPECT_EQ(ShortenPath("C:\\.a\\F", 6, Pitch1), "...\\F");
  EXPECT_EQ(ShortenPath("C:\\.config\\x\\F", 12, Pitch1), "C:\\...\\x\\F");
}

TEST(PathShorteningTest, PanelTextLeavesTenPixelsAndABlank) {
  EXPECT_EQ(PanelText("C:\\AAA\\BBB\\CCC\\", 24, Pitch1), " C:\\...\\CCC\\");
  EXPECT_EQ(PanelText("C:\\AB\\", 100, Pitch1), " C:\\AB\\");
}

}  // namespace
}  // namespace duplane
