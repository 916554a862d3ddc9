// Trees holding symbolic links, a FIFO and hard links, deleted in every mode
// and moved, on the Local PC and through a real duplane-remote: a link is one
// entry that a walk never enters, a delete removes the link and never what it
// leads to, nothing is ever opened that is not a plain file, and whatever lies
// outside the selection stays byte for byte as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/private_trash.h"
#include "support/sides.h"
#include "support/temp_tree.h"
#include "support/transfer_rig.h"
#include "transfer/copy_engine.h"
#include "transfer/delete_engine.h"

namespace duplane {
namespace {

::testing::Environment* const kTrash = ::testing::AddGlobalTestEnvironment(new PrivateTrash);

// Names, kinds, modes, times and every file's bytes below `root`.
std::string Snapshot(const std::string& root) {
  std::string all = Fingerprint(root);
  for (const auto& [path, entry] : ReadTree(root)) all += path + ":" + entry.bytes + "\n";
  return all;
}

class SpecialEntriesTest : public ::testing::TestWithParam<Side> {
 protected:
  SpecialEntriesTest() : rig_(/*remote_process=*/GetParam() == Side::kRemote) {
    WriteFile(outside_ / "KEEP.TXT", "outside, keep");
    WriteFile(outside_ / "DEEP/MORE.TXT", "more");
  }

  Side side() const { return GetParam(); }
  std::string side_name() const { return SideName(side()); }
  std::string N(const std::string& relative) const { return rig_.Native(side(), relative); }
  std::string Outside() const { return Snapshot(outside_.path()); }

  // TREE\{A.TXT SUB\B.TXT OUT->outside SELF->. DANGLING->nowhere
  //       OUTFILE->outside\KEEP.TXT FIFO} and BESIDE.TXT next to it.
  void MakeTree() {
    WriteFile(N("TREE/A.TXT"), "a");
    WriteFile(N("TREE/SUB/B.TXT"), "bb");
    ASSERT_EQ(symlink(outside_.path().c_str(), N("TREE/OUT").c_str()), 0);
    ASSERT_EQ(symlink(".", N("TREE/SELF").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", N("TREE/DANGLING").c_str()), 0);
    ASSERT_EQ(symlink((outside_ / "KEEP.TXT").c_str(), N("TREE/OUTFILE").c_str()), 0);
    ASSERT_EQ(mkfifo(N("TREE/FIFO").c_str(), 0666), 0);
    WriteFile(N("BESIDE.TXT"), "beside");
  }

  void Delete(std::int32_t mode, const std::string& summary) {
    DeleteOptions options;
    options.delete_mode = mode;
    options.remove_empty = true;
    rig_.ui.ExpectDelete(options);
    rig_.ui.ExpectInfo(summary);
    DeleteFiles(rig_.ctx(), side());
    rig_.ui.VerifyAllAsked();
  }

  TempFolder outside_{"outside"};
  TransferRig rig_;
};

TEST_P(SpecialEntriesTest, DeletingATreeRemovesItsLinksAndNothingBehindThem) {
  for (std::int32_t mode : {kDeleteRecycle, kDeleteNormal, kDeleteWipe}) {
    SCOPED_TRACE(mode);
    MakeTree();
    const std::string before = Outside();
    rig_.Show(side());
    rig_.Select(side(), {"TREE"});
    // The four links and the FIFO are entries of their own, deleted as such.
    Delete(mode, "Files deleted: 7\rDirs deleted:  2");
    EXPECT_FALSE(Exists(N("TREE")));
    EXPECT_EQ(ReadFile(N("BESIDE.TXT")), "beside");
    EXPECT_EQ(Outside(), before);
    std::filesystem::remove(N("BESIDE.TXT"));
  }
}

TEST_P(SpecialEntriesTest, DeletingASelectedLinkToADirectoryRemovesTheLinkOnly) {
  WriteFile(N("REAL/INSIDE.TXT"), "inside");
  ASSERT_EQ(symlink("REAL", N("ALIAS").c_str()), 0);
  ASSERT_EQ(symlink(outside_.path().c_str(), N("AWAY").c_str()), 0);
  const std::string before = Outside();
  rig_.Show(side());
  rig_.Select(side(), {"ALIAS", "AWAY"});
  Delete(kDeleteNormal, "Files deleted: 2");
  EXPECT_FALSE(Exists(N("ALIAS")));
  EXPECT_FALSE(Exists(N("AWAY")));
  EXPECT_EQ(ReadFile(N("REAL/INSIDE.TXT")), "inside");
  EXPECT_EQ(Outside(), before);
}

TEST_P(SpecialEntriesTest, MovingATreeSkipsWhatIsNoPlainFileAndMovesNothingBehindALink) {
  MakeTree();
  const std::string before = Outside();
  rig_.Show(Other(side()));
  rig_.Show(side());
  rig_.Select(side(), {"TREE"});
  CopyMoveOptions options;
  options.overwrite = 1;
  options.overwrite_text = "Always";
  options.delete_mode = kDeleteWipe;
  options.remove_empty = true;
  rig_.ui.ExpectCopyMove(options);
  // The Local PC reads the link to a file outside the tree like the file; the
  // Remote Module serves nothing outside its folder.
  rig_.ui.ExpectInfo(side() == Side::kLocal
                         ? "Files moved: 3\rFiles skipped: 4 (4 links or special files)\r"
                           "Dirs created: 2"
                         : "Files moved: 2\rFiles skipped: 5 (5 links or special files)\r"
                           "Dirs created: 2");
  CopyFiles(rig_.ctx(), side(), /*is_move=*/true);
  rig_.ui.VerifyAllAsked();

  EXPECT_EQ(Outside(), before);
  const std::string target = rig_.root(Other(side()));
  EXPECT_EQ(ReadFile(target + "/TREE/A.TXT"), "a");
  EXPECT_EQ(ReadFile(target + "/TREE/SUB/B.TXT"), "bb");
  auto moved = ReadTree(target);
  EXPECT_EQ(moved.size(),
            side() == Side::kLocal ? 5u : 4u);  // TREE, SUB, A.TXT, B.TXT (and OUTFILE)
  if (side() == Side::kLocal) {
    EXPECT_EQ(ReadFile(target + "/TREE/OUTFILE"), "outside, keep");
  }
  // Moved files left their source; what was skipped stayed where it was.
  EXPECT_FALSE(Exists(N("TREE/A.TXT")));
  EXPECT_FALSE(Exists(N("TREE/SUB")));
  for (const char* name : {"OUT", "SELF", "DANGLING", "FIFO"}) {
    EXPECT_TRUE(Exists(N(std::string("TREE/") + name))) << name;
  }
  EXPECT_EQ(Exists(N("TREE/OUTFILE")), side() == Side::kRemote);
}

TEST_P(SpecialEntriesTest, WipingAHardLinkedFileLeavesTheOtherNamesBytes) {
  const std::string bytes = PatternBytes(20000, 3);
  WriteFile(N("SHARED.BIN"), bytes);
  ASSERT_EQ(link(N("SHARED.BIN").c_str(), (outside_ / "OTHER.BIN").c_str()), 0);
  rig_.Show(side());
  rig_.Select(side(), {"SHARED.BIN"});
  Delete(kDeleteWipe, "Files deleted: 1");
  EXPECT_FALSE(Exists(N("SHARED.BIN")));
  EXPECT_EQ(ReadFile(outside_ / "OTHER.BIN"), bytes);
}

INSTANTIATE_TEST_SUITE_P(BothSides, SpecialEntriesTest, BothSides(), [](const auto& info) {
  return info.param == Side::kLocal ? "Local" : "RemoteProcess";
});

}  // namespace
}  // namespace duplane
