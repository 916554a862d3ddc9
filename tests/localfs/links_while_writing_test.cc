// Changes below the current directory never go through a link. The current
// directory is the one a pane shows, chosen by the user: it and whatever lies
// above it may be links and are followed, but a directory below it that is a
// link (or became one after someone looked at it) stops every operation that
// creates, writes, renames or deletes, whichever walk the object uses: so a
// directory swapped for a link after a check looked at it is refused too.
// Reading through such a link still works, as the listing shows what it
// leads to.
#include <gtest/gtest.h>
#include <unistd.h>

#include "localfs/local_file_system.h"
#include "support/temp_tree.h"

namespace duplane {
namespace {

enum class Walker { kProgram, kOpenat2, kByName };

class LinksWhileWritingTest : public ::testing::TestWithParam<Walker> {
 protected:
  // drive/DEST is chosen; drive/DEST/SUB is a link to drive/ELSEWHERE, and
  // drive/CHOSEN another link to it.
  LinksWhileWritingTest()
      : files_({{'C', Drive()}}, GetParam() != Walker::kProgram,
               GetParam() == Walker::kByName ? PathWalk::kByName : PathWalk::kAuto) {}

  std::string Drive() {
    MakeDir(tree_ / "drive/DEST/DIR");
    WriteFile(tree_ / "drive/DEST/MINE.TXT", "mine");
    WriteFile(tree_ / "drive/ELSEWHERE/F.TXT", "f");
    MakeDir(tree_ / "drive/ELSEWHERE/EMPTY");
    symlink("../ELSEWHERE", (tree_ / "drive/DEST/SUB").c_str());
    symlink("../ELSEWHERE/F.TXT", (tree_ / "drive/DEST/F_LINK").c_str());
    symlink("ELSEWHERE", (tree_ / "drive/CHOSEN").c_str());
    return tree_ / "drive";
  }
  std::string Elsewhere() const { return Fingerprint(tree_ / "drive/ELSEWHERE"); }

  TempTree tree_;
  LocalFileSystem files_;
};

TEST_P(LinksWhileWritingTest, NoChangeGoesThroughALinkBelowTheCurrentDirectory) {
  ASSERT_EQ(files_.ChDir("C:\\DEST"), 0);
  const std::string before = Elsewhere();
  EXPECT_EQ(files_.FileCreate("SUB\\NEW.TXT"), -1);
  EXPECT_EQ(files_.FileCreate("SUB\\F.TXT"), -1);
  EXPECT_EQ(files_.FileOpen("SUB\\F.TXT", kOpenWrite), -1);
  EXPECT_EQ(files_.FileOpen("SUB\\F.TXT", kOpenReadWrite), -1);
  EXPECT_FALSE(files_.FileSetAttr("SUB\\F.TXT", kAttrReadOnly));
  EXPECT_FALSE(files_.FileSetAttr("F_LINK", kAttrReadOnly));
  EXPECT_FALSE(files_.CreateDir("SUB\\MADE"));
  EXPECT_FALSE(files_.RemoveDir("SUB\\EMPTY"));
  EXPECT_FALSE(files_.RenameFile("SUB\\F.TXT", "TAKEN.TXT"));
  EXPECT_FALSE(files_.RenameFile("MINE.TXT", "SUB\\PLANTED.TXT"));
  for (std::int32_t mode : {kDeleteRecycle, kDeleteNormal, kDeleteWipe}) {
    EXPECT_FALSE(files_.Delete("SUB\\F.TXT", mode)) << mode;
  }
  // From the root nothing is chosen: every link on the way stops a change.
  EXPECT_EQ(files_.FileCreate("C:\\DEST\\SUB\\NEW.TXT"), -1);
  EXPECT_FALSE(files_.CreateDir("\\CHOSEN\\MADE"));
  // ".." out of the current directory leaves less of it chosen.
  ASSERT_EQ(files_.ChDir("C:\\DEST\\DIR"), 0);
  EXPECT_EQ(files_.FileCreate("..\\SUB\\NEW.TXT"), -1);
  EXPECT_EQ(Elsewhere(), before);
  EXPECT_EQ(ReadFile(tree_ / "drive/DEST/MINE.TXT"), "mine");

  // Reading is not a change: what the link leads to is read, and a link
  // itself can still be deleted (the name goes, never what it leads to).
  EXPECT_TRUE(files_.FileExists("..\\SUB\\F.TXT"));
  const std::int32_t handle = files_.FileOpen("..\\SUB\\F.TXT", kOpenRead);
  EXPECT_GE(handle, 0);
  files_.FileClose(handle);
  EXPECT_TRUE(files_.Delete("..\\F_LINK", kDeleteNormal));
  EXPECT_EQ(ReadFile(tree_ / "drive/ELSEWHERE/F.TXT"), "f");
}

TEST_P(LinksWhileWritingTest, ChosenDirectoryThatIsALinkTakesChanges) {
  ASSERT_EQ(files_.ChDir("C:\\CHOSEN"), 0);
  ASSERT_TRUE(files_.CreateDir("TREE"));
  const std::int32_t handle = files_.FileCreate("TREE\\A.TXT");
  ASSERT_GE(handle, 0);
  EXPECT_EQ(files_.FileWrite(handle, "a", 1), 1);
  EXPECT_TRUE(files_.FileClose(handle));
  EXPECT_TRUE(files_.FileSetAttr("TREE\\A.TXT", kAttrReadOnly));
  EXPECT_TRUE(files_.RenameFile("F.TXT", "TREE\\G.TXT"));
  EXPECT_EQ(ReadFile(tree_ / "drive/ELSEWHERE/TREE/A.TXT"), "a");
  EXPECT_EQ(ReadFile(tree_ / "drive/ELSEWHERE/TREE/G.TXT"), "f");
  EXPECT_TRUE(files_.RemoveDir("EMPTY"));
  // Out and back in again is not the chosen directory but a link on the way.
  EXPECT_FALSE(files_.CreateDir("..\\CHOSEN\\MADE"));
}

INSTANTIATE_TEST_SUITE_P(EveryWalk, LinksWhileWritingTest,
                         ::testing::Values(Walker::kProgram, Walker::kOpenat2, Walker::kByName),
                         [](const auto& info) {
                           switch (info.param) {
                             case Walker::kProgram:
                               return "Program";
                             case Walker::kOpenat2:
                               return "Openat2";
                             case Walker::kByName:
                               break;
                           }
                           return "ByName";
                         });

}  // namespace
}  // namespace duplane
