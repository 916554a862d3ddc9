// Copies and moves into a target tree that holds a symbolic link where a
// directory of the copy belongs, both ways against a real duplane-remote: the
// link may lead anywhere on that PC, so nothing is written behind it and the
// run stops there with a message naming the directory and the side. The
// directory the user chose as the target may itself be a link: that choice is
// the user's, and the copy goes where it leads.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/sides.h"
#include "support/temp_tree.h"
#include "support/transfer_rig.h"
#include "transfer/copy_engine.h"
#include "transfer/overwrite.h"

namespace duplane {
namespace {

class TargetLinkTest : public ::testing::TestWithParam<Side> {
 protected:
  TargetLinkTest() : rig_(/*remote_process=*/true) {
    // TREE\{A.TXT SUB\B.TXT} to copy; on the target, DEST is the directory
    // chosen and ELSEWHERE a directory beside it, inside the Remote Module's
    // folder too, where a link of the target side leads.
    WriteFile(S("TREE/A.TXT"), "a");
    WriteFile(S("TREE/SUB/B.TXT"), "bb");
    MakeDir(T("DEST"));
    WriteFile(T("ELSEWHERE/KEEP.TXT"), "keep");
  }

  Side s() const { return GetParam(); }
  Side t() const { return Other(GetParam()); }
  std::string target_name() const { return SideName(t()); }
  std::string S(const std::string& relative) const { return rig_.Native(s(), relative); }
  std::string T(const std::string& relative) const { return rig_.Native(t(), relative); }
  std::string Elsewhere() const { return Fingerprint(T("ELSEWHERE")); }

  void Link(const std::string& text, const std::string& at) {
    ASSERT_EQ(symlink(text.c_str(), T(at).c_str()), 0) << at;
  }
  void Run(bool is_move, const std::string& target_dir = "C:\\DEST") {
    rig_.Show(t(), target_dir);
    rig_.Show(s());
    rig_.Select(s(), {"TREE"});
    CopyFiles(rig_.ctx(), s(), is_move);
    rig_.ui.VerifyAllAsked();
  }

  TransferRig rig_;
};

TEST_P(TargetLinkTest, CopyIntoADirectoryThatIsALinkWritesNothingBehindIt) {
  Link("../ELSEWHERE", "DEST/TREE");
  const std::string before = Elsewhere();
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways));
  rig_.ui.ExpectError("TREE on " + target_name() + " is a link: nothing is copied into it");
  rig_.ui.ExpectInfo("Files copied: 0");
  Run(false);
  EXPECT_EQ(Elsewhere(), before);
  EXPECT_FALSE(Exists(T("ELSEWHERE/A.TXT")));
  struct stat link {};
  ASSERT_EQ(lstat(T("DEST/TREE").c_str(), &link), 0);
  EXPECT_TRUE(S_ISLNK(link.st_mode));
}

TEST_P(TargetLinkTest, MoveStopsAtALinkDeeperDownAndKeepsWhatItDidNotMove) {
  MakeDir(T("DEST/TREE"));
  Link("../../ELSEWHERE", "DEST/TREE/SUB");
  const std::string before = Elsewhere();
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways));
  rig_.ui.ExpectError("TREE\\SUB on " + target_name() + " is a link: nothing is moved into it");
  rig_.ui.ExpectInfo("Files moved: 1");
  Run(true);
  EXPECT_EQ(Elsewhere(), before);
  EXPECT_FALSE(Exists(T("ELSEWHERE/B.TXT")));
  EXPECT_EQ(ReadFile(T("DEST/TREE/A.TXT")), "a");
  EXPECT_FALSE(Exists(S("TREE/A.TXT")));
  EXPECT_EQ(ReadFile(S("TREE/SUB/B.TXT")), "bb");
}

// The copy made DEST\TREE and looked at it; then, before the first file, the
// directory is renamed away and a link to ELSEWHERE, which holds a file of
// the same name, takes its place.
TEST_P(TargetLinkTest, DirectorySwappedForALinkAfterTheCheckTakesNothing) {
  WriteFile(T("ELSEWHERE/A.TXT"), "precious");
  bool swapped = false;
  rig_.ui.on_pump = [&] {
    if (swapped || rig_.ui.status_files.empty()) return;
    swapped = true;
    ASSERT_EQ(rename(T("DEST/TREE").c_str(), T("DEST/TREE.OLD").c_str()), 0);
    Link("../ELSEWHERE", "DEST/TREE");
  };
  const std::string before = Elsewhere();
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways));
  rig_.ui.ExpectError("Error creating TREE\\A.TXT on " + target_name() + "\rTREE on " +
                      target_name() + " is a link: nothing is moved into it");
  rig_.ui.ExpectInfo("Files moved: 0\rDirs created: 1");
  Run(true);
  EXPECT_TRUE(swapped);
  EXPECT_EQ(Elsewhere(), before);
  EXPECT_EQ(ReadFile(S("TREE/A.TXT")), "a");
  EXPECT_EQ(ReadFile(S("TREE/SUB/B.TXT")), "bb");
}

TEST_P(TargetLinkTest, ChosenTargetDirectoryThatIsALinkTakesTheCopy) {
  Link("ELSEWHERE", "CHOSEN");
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways));
  rig_.ui.ExpectInfo("Files copied: 2\rDirs created: 2");
  Run(false, "C:\\CHOSEN");
  EXPECT_EQ(ReadFile(T("ELSEWHERE/TREE/A.TXT")), "a");
  EXPECT_EQ(ReadFile(T("ELSEWHERE/TREE/SUB/B.TXT")), "bb");
}

INSTANTIATE_TEST_SUITE_P(BothDirections, TargetLinkTest, BothSides(), [](const auto& info) {
  return info.param == Side::kLocal ? "LocalToRemoteProcess" : "RemoteProcessToLocal";
});

}  // namespace
}  // namespace duplane
