// A confined LocalFileSystem (the Remote Module's) never reaches outside its
// drive folders: not through "..", not through absolute paths, not through
// symbolic links that lead out, whichever operation is asked, and alike with
// the kernel's openat2 and with the walk one name at a time that kernels
// without it get. The program's own, unconfined object follows links as the
// system does.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/link.h"
#include "localfs/local_file_system.h"
#include "support/temp_tree.h"

namespace duplane {
namespace {

class ConfinementTest : public ::testing::TestWithParam<PathWalk> {
 protected:
  ConfinementTest() : files_({{'C', Share()}}, true, GetParam()), link_(files_, nullptr) {}

  std::string Share() {
    MakeDir(tree_ / "share");
    MakeDir(tree_ / "share/dir");
    MakeDir(tree_ / "outside");
    WriteFile(tree_ / "share/dir/inner.txt", "inner");
    WriteFile(tree_ / "outside/secret", "secret");
    symlink((tree_ / "outside").c_str(), (tree_ / "share/out").c_str());
    symlink("../outside/secret", (tree_ / "share/secret_link").c_str());
    symlink("/", (tree_ / "share/root").c_str());
    symlink("dir", (tree_ / "share/inside_link").c_str());  // stays inside: fine
    symlink("..", (tree_ / "share/up").c_str());
    symlink("../../outside", (tree_ / "share/dir/deep_out").c_str());
    symlink("../dir/./", (tree_ / "share/dir/round").c_str());  // up and back down: fine
    return tree_ / "share";
  }

  TempTree tree_;
  LocalFileSystem files_;
  Link link_;
};

TEST_P(ConfinementTest, NothingOutsideIsReadOrListed) {
  const std::string before = Fingerprint(tree_ / "outside");
  EXPECT_EQ(link_.LinkFileOpen(Side::kLocal, "C:\\out\\secret", 0), -1);
  EXPECT_EQ(link_.LinkFileOpen(Side::kLocal, "C:\\secret_link", 0), -1);
  EXPECT_EQ(link_.LinkFileOpen(Side::kLocal, "C:\\root\\etc\\passwd", 0), -1);
  EXPECT_EQ(link_.LinkFileOpen(Side::kLocal, "C:\\..\\outside\\secret", 0), -1);
  EXPECT_EQ(link_.LinkFileOpen(Side::kLocal, "\\..\\..\\..\\etc\\passwd", 0), -1);
  EXPECT_FALSE(link_.LinkFileExists(Side::kLocal, "C:\\out\\secret"));
  EXPECT_FALSE(link_.LinkDirectoryExists(Side::kLocal, "C:\\root\\etc"));
  EXPECT_EQ(link_.LinkFileGetAttr(Side::kLocal, "C:\\out\\secret"), -1);
  EXPECT_EQ(link_.LinkFileAge(Side::kLocal, "C:\\secret_link"), -1);
  EXPECT_EQ(link_.LinkChDir(Side::kLocal, "C:\\out"), kErrorPathNotFound);
  EXPECT_EQ(link_.LinkChDir(Side::kLocal, "C:\\root"), kErrorPathNotFound);
  EXPECT_EQ(link_.LinkFindFirst(Side::kLocal, 1, "C:\\out\\*.*", kMaskEverything), kErrorPathNotFound);
  EXPECT_EQ(link_.LinkFindFirst(Side::kLocal, 1, "C:\\root\\*.*", kMaskEverything), kErrorPathNotFound);
  std::vector<std::string> names;
  EXPECT_EQ(link_.LinkListSubDirs(Side::kLocal, "C:\\root\\", &names), 0);
  EXPECT_FALSE(link_.LinkHasSubDirs(Side::kLocal, "C:\\out"));

  // ".." climbs no higher than the drive's root.
  EXPECT_EQ(link_.LinkChDir(Side::kLocal, "C:\\..\\..\\.."), 0);
  EXPECT_EQ(link_.LinkGetDir(Side::kLocal, 3), "C:\\");
  EXPECT_TRUE(link_.LinkFileExists(Side::kLocal, "..\\..\\dir\\inner.txt"));

  // Links whose ".." climbs above the root lead nowhere.
  EXPECT_EQ(link_.LinkChDir(Side::kLocal, "C:\\up"), kErrorPathNotFound);
  EXPECT_FALSE(link_.LinkFileExists(Side::kLocal, "C:\\up\\outside\\secret"));
  EXPECT_EQ(link_.LinkFileOpen(Side::kLocal, "C:\\dir\\deep_out\\secret", 0), -1);

  // Links that stay inside work, also through "..".
  EXPECT_TRUE(link_.LinkFileExists(Side::kLocal, "C:\\inside_link\\inner.txt"));
  EXPECT_TRUE(link_.LinkFileExists(Side::kLocal, "C:\\dir\\round\\round\\inner.txt"));
  const std::int32_t handle = link_.LinkFileOpen(Side::kLocal, "C:\\dir\\round\\inner.txt", 0);
  EXPECT_GE(handle, 0);
  link_.LinkFileClose(Side::kLocal, handle);
  EXPECT_EQ(link_.LinkChDir(Side::kLocal, "C:\\inside_link"), 0);
  EXPECT_EQ(Fingerprint(tree_ / "outside"), before);
}

TEST_P(ConfinementTest, ListingShowsLinksLeadingOutOnlyAsThemselves) {
  ASSERT_EQ(link_.LinkFindFirst(Side::kLocal, 2, "C:\\*.*", kMaskEverything), 0);
  int seen = 0;
  do {
    const FindRecord& record = link_.SlotRecord(2);
    if (record.name == "secret_link") {
      EXPECT_NE(record.size, 6u) << "the size of the file outside leaked";
      ++seen;
    }
    if (record.name == "out" || record.name == "up") {
      // A link leading out: a link to nothing that can be opened.
      EXPECT_EQ(record.attributes & (kAttrDirectory | kAttrReparsePoint | kAttrDevice),
                static_cast<std::uint32_t>(kAttrReparsePoint | kAttrDevice));
      ++seen;
    }
    if (record.name == "inside_link") {
      EXPECT_EQ(record.attributes & (kAttrDirectory | kAttrReparsePoint | kAttrDevice),
                static_cast<std::uint32_t>(kAttrDirectory | kAttrReparsePoint));
      ++seen;
    }
  } while (link_.LinkFindNext(Side::kLocal, 2) == 0);
  link_.LinkFindClose(Side::kLocal, 2);
  EXPECT_EQ(seen, 4);
}

TEST_P(ConfinementTest, NothingOutsideIsWrittenRenamedOrDeleted) {
  const std::string before = Fingerprint(tree_.path() + "/outside");
  EXPECT_EQ(link_.LinkFileCreate(Side::kLocal, "C:\\out\\new"), -1);
  EXPECT_EQ(link_.LinkFileCreate(Side::kLocal, "C:\\secret_link"), -1);
  EXPECT_EQ(link_.LinkFileOpen(Side::kLocal, "C:\\secret_link", 2), -1);
  EXPECT_FALSE(link_.LinkCreateDir(Side::kLocal, "C:\\out\\made"));
  EXPECT_FALSE(link_.LinkRemoveDir(Side::kLocal, "C:\\root\\tmp"));
  EXPECT_FALSE(link_.LinkFileSetAttr(Side::kLocal, "C:\\secret_link", kAttrReadOnly));
  EXPECT_FALSE(link_.LinkFileSetAttr(Side::kLocal, "C:\\out\\secret", kAttrHidden));
  EXPECT_FALSE(link_.LinkRenameFile(Side::kLocal, "C:\\out\\secret", "C:\\stolen"));
  EXPECT_FALSE(link_.LinkRenameFile(Side::kLocal, "C:\\dir\\inner.txt", "C:\\out\\planted"));
  for (std::int32_t mode : {kDeleteRecycle, kDeleteNormal, kDeleteWipe}) {
    EXPECT_FALSE(link_.LinkDeleteFile(Side::kLocal, "C:\\out\\secret", mode)) << mode;
  }
  EXPECT_EQ(Fingerprint(tree_.path() + "/outside"), before);
  EXPECT_FALSE(Exists(tree_ / "stolen"));

  // Deleting a link removes the link, never its target; a wipe writes nothing.
  EXPECT_TRUE(link_.LinkDeleteFile(Side::kLocal, "C:\\secret_link", kDeleteWipe));
  EXPECT_TRUE(link_.LinkDeleteFile(Side::kLocal, "C:\\out", kDeleteNormal));
  EXPECT_FALSE(Exists(tree_ / "share/secret_link"));
  EXPECT_FALSE(Exists(tree_ / "share/out"));
  EXPECT_EQ(Fingerprint(tree_.path() + "/outside"), before);
}

TEST_P(ConfinementTest, PathsWithNulBytesNameNothing) {
  const std::string sneaky("C:\\dir\\inner.txt\0\\..\\..", 23);
  EXPECT_FALSE(link_.LinkFileExists(Side::kLocal, sneaky));
  EXPECT_EQ(link_.LinkFileCreate(Side::kLocal, std::string("C:\\a\0b", 6)), -1);
  EXPECT_FALSE(Exists(tree_ / "share/a"));
}

INSTANTIATE_TEST_SUITE_P(BothWalks, ConfinementTest,
                         ::testing::Values(PathWalk::kAuto, PathWalk::kByName),
                         [](const auto& info) {
                           return info.param == PathWalk::kAuto ? "Openat2" : "ByName";
                         });

TEST(PathWalkTest, TheWalkInUseIsNamed) {
  TempTree tree;
  LocalFileSystem by_name({{'C', tree.path()}}, true, PathWalk::kByName);
  EXPECT_NE(std::string(by_name.path_walk_name()).find("one name at a time"), std::string::npos);
  LocalFileSystem program({{'C', tree.path()}}, false);
  EXPECT_STREQ(program.path_walk_name(), "unconfined");
}

TEST(UnconfinedTest, TheProgramFollowsLinksAsTheSystemDoes) {
  TempTree tree;
  MakeDir(tree / "c");
  MakeDir(tree / "elsewhere");
  WriteFile(tree / "elsewhere/f", "f");
  symlink((tree / "elsewhere").c_str(), (tree / "c/link").c_str());
  LocalFileSystem files({{'C', tree / "c"}}, false);
  EXPECT_TRUE(files.FileExists("C:\\link\\f"));
  EXPECT_EQ(files.ChDir("C:\\link"), 0);
}

}  // namespace
}  // namespace duplane
