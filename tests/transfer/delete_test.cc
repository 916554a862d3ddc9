// The delete engine on either side (the remote one over a virtual cable
// against a Remote Module): whole trees with and without removing emptied
// directories, a filespec that keeps files, Cancel, a file that cannot go, the
// three delete modes, and the connection rule.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "support/private_trash.h"
#include "support/sides.h"
#include "support/transfer_rig.h"
#include "transfer/delete_engine.h"

namespace duplane {
namespace {

::testing::Environment* const kTrash = ::testing::AddGlobalTestEnvironment(new PrivateTrash);

DeleteOptions Mode(std::int32_t mode, bool remove_empty = true) {
  DeleteOptions options;
  options.delete_mode = mode;
  options.remove_empty = remove_empty;
  return options;
}

class DeleteTest : public ::testing::TestWithParam<Side> {
 protected:
  Side side() const { return GetParam(); }
  std::string side_name() const { return SideName(side()); }
  std::string N(const std::string& relative) const { return rig_.Native(side(), relative); }

  // TREE\{A.TXT B.DAT SUB\{C.TXT DEEP\D.TXT EMPTY\}} and KEEP.TXT beside it.
  void MakeTree() {
    WriteFile(N("TREE/A.TXT"), "a");
    WriteFile(N("TREE/B.DAT"), "bb");
    WriteFile(N("TREE/SUB/C.TXT"), "ccc");
    WriteFile(N("TREE/SUB/DEEP/D.TXT"), "dddd");
    MakeDir(N("TREE/SUB/EMPTY"));
    WriteFile(N("KEEP.TXT"), "keep");
    rig_.Show(side());
    rig_.Select(side(), {"TREE"});
  }
  void Delete() { DeleteFiles(rig_.ctx(), side()); }

  TransferRig rig_;
};

TEST_P(DeleteTest, TreeWithDeleteEmptyDirectoriesLeavesNothing) {
  MakeTree();
  rig_.ui.ExpectDelete(Mode(kDeleteNormal));
  rig_.ui.ExpectInfo("Files deleted: 4\rDirs deleted:  4");
  Delete();
  rig_.ui.VerifyAllAsked();
  EXPECT_EQ(rig_.ui.delete_caption, "Delete these files on " + side_name() + "?");
  EXPECT_FALSE(Exists(N("TREE")));
  EXPECT_TRUE(Exists(N("KEEP.TXT")));
  EXPECT_TRUE(rig_.ui.pane(side()).tree_stale);
  EXPECT_EQ(rig_.ui.fill_lists, std::vector<Side>{side()});
  EXPECT_EQ(rig_.ui.message_captions.back(), "Delete");
  EXPECT_FALSE(rig_.ui.message_form_open);
  EXPECT_TRUE(rig_.ui.main_enabled);
  // The refill after the delete no longer lists the tree.
  const auto& rows = rig_.ui.pane(side()).Rows;
  EXPECT_EQ(
      std::count_if(rows.begin(), rows.end(), [](const PaneRow& r) { return r.name == "TREE"; }),
      0);
}

TEST_P(DeleteTest, WithoutDeleteEmptyDirectoriesTheTreeStays) {
  MakeTree();
  rig_.ui.ExpectDelete(Mode(kDeleteNormal, false));
  rig_.ui.ExpectInfo("Files deleted: 4");
  Delete();
  rig_.ui.VerifyAllAsked();
  const auto tree = ReadTree(N("TREE"));
  EXPECT_EQ(tree.size(), 3u);  // SUB, SUB/DEEP, SUB/EMPTY
  EXPECT_TRUE(tree.at("SUB/DEEP").is_dir);
  EXPECT_FALSE(rig_.ui.pane(side()).tree_stale);
}

TEST_P(DeleteTest, FilespecKeepsUnmatchedFilesAndTheirDirectories) {
  MakeTree();
  rig_.ui.filespec(side()) = "*.TXT";
  rig_.Show(side());
  rig_.Select(side(), {"TREE"});
  rig_.ui.ExpectDelete(Mode(kDeleteNormal));
  rig_.ui.ExpectInfo("Files deleted: 3\rDirs deleted:  3");
  Delete();
  rig_.ui.VerifyAllAsked();
  // B.DAT keeps TREE; everything below it that became empty went.
  EXPECT_TRUE(Exists(N("TREE/B.DAT")));
  EXPECT_EQ(ReadTree(N("TREE")).size(), 1u);
}

TEST_P(DeleteTest, CancelLeavesTheRestAndStillRemovesEmptiedDirectories) {
  WriteFile(N("TREE/A.TXT"), "a");
  WriteFile(N("TREE/ONE/B.TXT"), "b");
  WriteFile(N("TREE/TWO/C.TXT"), "c");
  rig_.Show(side());
  rig_.Select(side(), {"TREE"});
  // The delete loop pumps before each file: Cancel is seen before the third,
  // when the first subdirectory reached has been emptied.
  rig_.ui.cancel_message_caption = "Delete";
  rig_.ui.cancel_message_at_pump = 3;
  rig_.ui.ExpectDelete(Mode(kDeleteNormal));
  rig_.ui.ExpectInfo("Files deleted: 2\rDirs deleted:  1");
  Delete();
  rig_.ui.VerifyAllAsked();
  EXPECT_FALSE(Exists(N("TREE/A.TXT")));
  const auto rest = ReadTree(N("TREE"));
  ASSERT_EQ(rest.size(), 2u);  // the other subdirectory with its file
  EXPECT_TRUE(rest.count("ONE/B.TXT") || rest.count("TWO/C.TXT"));
}

TEST_P(DeleteTest, FileThatCannotBeDeletedStopsAndTheRestStays) {
  MakeTree();
  // While the dialog is open C.TXT turns into a directory, which no file
  // delete removes (whatever the test's privileges).
  rig_.ui.ExpectDelete(Mode(kDeleteNormal), true, [&](TransferQueue&) {
    std::filesystem::remove(N("TREE/SUB/C.TXT"));
    WriteFile(N("TREE/SUB/C.TXT/INSIDE"), "i");
  });
  rig_.ui.ExpectError("Error deleting TREE\\SUB\\C.TXT on " + side_name());
  // The stop comes before SUB's subdirectories are reached: no directory goes.
  rig_.ui.ExpectInfo("Files deleted: 2");
  Delete();
  rig_.ui.VerifyAllAsked();
  EXPECT_TRUE(Exists(N("TREE/SUB/C.TXT/INSIDE")));
  EXPECT_TRUE(Exists(N("TREE/SUB/DEEP/D.TXT")));
  EXPECT_TRUE(Exists(N("TREE/SUB/EMPTY")));
  EXPECT_FALSE(Exists(N("TREE/A.TXT")));
}

TEST_P(DeleteTest, RecycleBinPutsTheFileIntoTheTrash) {
  WriteFile(N("BIN.TXT"), "recycle me");
  rig_.Show(side());
  rig_.Select(side(), {"BIN.TXT"});
  rig_.ui.ExpectDelete(Mode(kDeleteRecycle));
  rig_.ui.ExpectInfo("Files deleted: 1");
  Delete();
  rig_.ui.VerifyAllAsked();
  EXPECT_FALSE(Exists(N("BIN.TXT")));
  bool found = false;
  for (const auto& item : std::filesystem::directory_iterator(PrivateTrash::TrashFiles())) {
    if (item.path().filename().string().rfind("BIN", 0) == 0 &&
        ReadFile(item.path()) == "recycle me") {
      found = true;
    }
  }
  EXPECT_TRUE(found) << "not in " << PrivateTrash::TrashFiles();
}

TEST_P(DeleteTest, WipeOverwritesTheBytesBeforeDeleting) {
  const std::string bytes = PatternBytes(20000, 7);
  WriteFile(N("SECRET.BIN"), bytes);
  // A descriptor held open keeps the data readable after the name is gone and
  // shows what became of the bytes (a second name would keep the wipe off).
  const int witness = open(N("SECRET.BIN").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(witness, 0);
  rig_.Show(side());
  rig_.Select(side(), {"SECRET.BIN"});
  rig_.ui.ExpectDelete(Mode(kDeleteWipe));
  rig_.ui.ExpectInfo("Files deleted: 1");
  Delete();
  rig_.ui.VerifyAllAsked();
  EXPECT_FALSE(Exists(N("SECRET.BIN")));
  std::string after(bytes.size() + 1, '\0');
  after.resize(
      static_cast<std::size_t>(std::max<ssize_t>(0, pread(witness, &after[0], after.size(), 0))));
  close(witness);
  EXPECT_EQ(after.size(), bytes.size());
  EXPECT_NE(after, bytes);
}

TEST_P(DeleteTest, CancelInTheDialogDeletesNothing) {
  MakeTree();
  rig_.ui.ExpectDelete(Mode(kDeleteNormal), /*ok=*/false);
  Delete();
  rig_.ui.VerifyAllAsked();
  EXPECT_EQ(ReadTree(N("TREE")).size(), 7u);
  EXPECT_TRUE(rig_.ui.fill_lists.empty());
}

TEST_P(DeleteTest, ConnectionNeededOnlyForTheRemotePc) {
  MakeTree();
  rig_.ui.connected = false;
  if (side() == Side::kLocal) {
    rig_.ui.ExpectDelete(Mode(kDeleteNormal));
    rig_.ui.ExpectInfo("Files deleted: 4\rDirs deleted:  4");
  } else {
    rig_.ui.ExpectNotConnected();
  }
  Delete();
  rig_.ui.VerifyAllAsked();
  EXPECT_EQ(Exists(N("TREE")), side() == Side::kRemote);
}

INSTANTIATE_TEST_SUITE_P(BothSides, DeleteTest, BothSides(), SideParamName);

}  // namespace
}  // namespace duplane
