// Linux names holding characters no Windows name can hold (\ : * ? " < > |),
// on this PC and on a Remote Module over a cable: listed under their
// private-use twins, reached through them, and never mistaken for a namesake.
#include <gtest/gtest.h>

#include <algorithm>

#include "localfs/name_mapping.h"
#include "support/cable_fixture.h"
#include "support/sides.h"
#include "support/temp_tree.h"

namespace duplane {
namespace {

// The twins as they travel (UTF-8 of U+F000 + the character).
const std::string kColon = "\xEF\x80\xBA";
const std::string kStar = "\xEF\x80\xAA";
const std::string kQuestion = "\xEF\x80\xBF";
const std::string kBackslash = "\xEF\x81\x9C";

TEST(NameMappingTest, EveryCharacterHasItsTwinAndComesBack) {
  const std::string native = "a\\b:c*d?e\"f<g>h|i";
  const std::string wire = WireNameOf(native);
  EXPECT_EQ(wire, "a" + kBackslash + "b" + kColon + "c" + kStar + "d" + kQuestion +
                      "e\xEF\x80\xA2"
                      "f\xEF\x80\xBCg\xEF\x80\xBEh\xEF\x81\xBCi");
  EXPECT_EQ(wire.find_first_of("\\:*?\"<>|"), std::string::npos);
  EXPECT_EQ(NativeNameOf(wire), native);
  // Other private-use characters and broken sequences pass unchanged.
  for (const std::string other : {"\xEF\x80\x80", "\xEF\x80\xAE", "\xEF\x80", "x\xEF"}) {
    EXPECT_EQ(NativeNameOf(other), other);
    EXPECT_EQ(WireNameOf(other), other);
    EXPECT_FALSE(HoldsMappedTwin(other));
  }
  EXPECT_TRUE(HoldsMappedTwin("x" + kColon));
}

TEST(NameMappingTest, TypedNamesKeepTheirSeparatorsAndALeadingDrive) {
  EXPECT_EQ(WirePathOfTyped("a:b"), "a" + kColon + "b");
  EXPECT_EQ(WirePathOfTyped("c:x"), "c" + kColon + "x");  // not "x" on drive C:
  EXPECT_EQ(WirePathOfTyped("D:\\12:00\\why?"), "D:\\12" + kColon + "00\\why" + kQuestion);
  EXPECT_EQ(WirePathOfTyped("sub/a*"), "sub/a" + kStar);
}

// One side at a time: the parameter is the side.
class WindowsNamesTest : public ::testing::TestWithParam<Side> {
 protected:
  WindowsNamesTest() : cable_(Root(Side::kLocal), Root(Side::kRemote)) {}
  void SetUp() override {
    if (side() == Side::kRemote) {
      ASSERT_TRUE(cable_.Connect());
    }
  }

  std::string Root(Side side) {
    const std::string root = tree_ / (side == Side::kLocal ? "local" : "remote");
    WriteFile(root + "/12:00.log", "noon");
    WriteFile(root + "/what?.txt", "q");
    WriteFile(root + "/back\\slash", "b");
    WriteFile(root + "/dir:x/in:side", "deep");
    // A native name that already holds a twin, beside the name it would alias.
    WriteFile(root + "/x:y", "real colon");
    WriteFile(root + "/x" + kColon + "y", "twin in the native name");
    // Fits Linux, but not a find record once mapped.
    WriteFile(root + "/" + std::string(100, ':'), "long");
    return root;
  }
  Side side() const { return GetParam(); }
  Link& link() { return cable_.link(); }
  std::string Native(const std::string& relative) {
    return tree_ / ((side() == Side::kLocal ? "local/" : "remote/") + relative);
  }

  std::vector<std::string> List(const std::string& pattern) {
    std::vector<std::string> names;
    for (std::int32_t r = link().LinkFindFirst(side(), 3, pattern, kMaskFilesAndDirs); r == 0;
         r = link().LinkFindNext(side(), 3)) {
      names.push_back(link().SlotRecord(3).name);
    }
    link().LinkFindClose(side(), 3);
    std::sort(names.begin(), names.end());
    return names;
  }

  TempTree tree_;
  CableFixture cable_;
};

TEST_P(WindowsNamesTest, ListedUnderTheirTwinsAndNothingElseHidden) {
  EXPECT_EQ(List("C:\\*.*"),
            (std::vector<std::string>{"12" + kColon + "00.log", "back" + kBackslash + "slash",
                                      "dir" + kColon + "x", "what" + kQuestion + ".txt",
                                      "x" + kColon + "y"}));
  // '*' and '?' of a pattern are wildcards; their twins match themselves.
  EXPECT_EQ(List("C:\\*" + kColon + "*"),
            (std::vector<std::string>{"12" + kColon + "00.log", "dir" + kColon + "x",
                                      "x" + kColon + "y"}));
  EXPECT_EQ(List("C:\\what" + kQuestion + ".*"),
            std::vector<std::string>{"what" + kQuestion + ".txt"});
  EXPECT_TRUE(List("C:\\wha" + kQuestion + "?.txt").empty());
  std::vector<std::string> dirs;
  EXPECT_EQ(link().LinkListSubDirs(side(), "C:\\", &dirs), 1);
  EXPECT_EQ(dirs, std::vector<std::string>{"dir" + kColon + "x"});
}

TEST_P(WindowsNamesTest, ReachedThroughTheirTwins) {
  const std::string dir = "C:\\dir" + kColon + "x";
  ASSERT_EQ(link().LinkChDir(side(), dir), 0);
  EXPECT_EQ(link().LinkGetDir(side(), 0), dir);
  const std::int32_t handle = link().LinkFileOpen(side(), "in" + kColon + "side", 0);
  ASSERT_GE(handle, 0);
  char buffer[8] = {};
  EXPECT_EQ(link().LinkFileRead(side(), handle, buffer, sizeof(buffer)), 4);
  EXPECT_EQ(std::string(buffer, 4), "deep");
  link().LinkFileClose(side(), handle);

  EXPECT_TRUE(link().LinkRenameFile(side(), "C:\\12" + kColon + "00.log", "C:\\a" + kStar + "b"));
  EXPECT_EQ(ReadFile(Native("a*b")), "noon");
  EXPECT_TRUE(link().LinkCreateDir(side(), "C:\\new" + kQuestion));
  EXPECT_TRUE(link().LinkDirectoryExists(side(), "C:\\new" + kQuestion));
  EXPECT_TRUE(Exists(Native("new?")));
  EXPECT_TRUE(link().LinkDeleteFile(side(), "C:\\back" + kBackslash + "slash", kDeleteNormal));
  EXPECT_FALSE(Exists(Native("back\\slash")));
}

TEST_P(WindowsNamesTest, ANativeTwinIsNeverTouchedInsteadOfItsNamesake) {
  // The one entry listed as x<twin>y is the file with the real colon.
  EXPECT_TRUE(link().LinkDeleteFile(side(), "C:\\x" + kColon + "y", kDeleteNormal));
  EXPECT_FALSE(Exists(Native("x:y")));
  EXPECT_EQ(ReadFile(Native("x" + kColon + "y")), "twin in the native name");
  EXPECT_FALSE(link().LinkDeleteFile(side(), "C:\\x" + kColon + "y", kDeleteNormal));
  EXPECT_EQ(ReadFile(Native("x" + kColon + "y")), "twin in the native name");
}

INSTANTIATE_TEST_SUITE_P(BothSides, WindowsNamesTest, BothSides(), SideParamName);

}  // namespace
}  // namespace duplane
