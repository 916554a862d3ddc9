// Safe copies, both ways, against a Remote Module with its extensions and one
// that knows only the plain codes: an old target outlives a copy that fails,
// an interrupted copy leaves its part file and the next copy finishes it
// (resumed where the range CRC can vouch for the part file's bytes, from the
// start otherwise), and a part file that is not the source's prefix is
// written again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <tuple>

#include "support/copy_direction_test.h"
#include "support/file_tree.h"
#include "transfer/copy_engine.h"
#include "transfer/overwrite.h"

namespace duplane {
namespace {

constexpr std::size_t kBlock = 8192;

class SafeCopyTest : public CopyWayTest {
 protected:
  // Copies `name` with Always; `asked` scripts what comes between the dialog
  // and the summary.
  void Copy(const std::string& name, const std::string& summary,
            const std::function<void()>& asked = {}) {
    rig_.Show(t());
    rig_.Show(s());
    rig_.Select(s(), {name});
    rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways));
    if (asked) asked();
    rig_.ui.ExpectInfo(summary);
    CopyFiles(rig_.ctx(), s(), /*is_move=*/false);
    rig_.ui.VerifyAllAsked();
  }
  // Copies DATA.BIN and stops it with Cancel after `blocks` blocks, answering
  // No to finishing it.
  void CopyAndAbandon(int blocks) {
    rig_.ui.cancel_status_at_pump = blocks + 1;  // the first pump shows the file
    Copy("DATA.BIN", "Files copied: 0", [this] {
      rig_.ui.ExpectYesNo("DATA.BIN in progress.\rFinish it before stopping?", false);
    });
    rig_.ui.cancel_status_at_pump = 0;
  }
};

TEST_P(SafeCopyTest, OldTargetOutlivesAFailedOverwrite) {
  WriteFile(S("DATA.BIN"), PatternBytes(4 * kBlock, 1));
  WriteFile(T("DATA.BIN"), "the old target");
  // A nibble of the second block damaged on the cable: the CRCs disagree.
  rig_.ui.on_pump = [this, pumps = 0]() mutable {
    if (rig_.ui.status_open && ++pumps == 2) rig_.FlipDataNibble(s() == Side::kLocal, 100);
  };
  Copy("DATA.BIN", "Files copied: 0",
       [this] { rig_.ui.ExpectError("CRC mismatch copying DATA.BIN"); });
  EXPECT_EQ(ReadFile(T("DATA.BIN")), "the old target");
  EXPECT_FALSE(Exists(T("DATA.BIN.duplane-part")));

  rig_.ui.on_pump = nullptr;
  Copy("DATA.BIN", "Files copied: 1");
  EXPECT_TRUE(ReadFile(T("DATA.BIN")) == ReadFile(S("DATA.BIN")));
  EXPECT_FALSE(Exists(T("DATA.BIN.duplane-part")));
}

TEST_P(SafeCopyTest, AbandonedCopyLeavesItsPartFileAndTheNextCopyFinishesIt) {
  WriteFile(S("DATA.BIN"), PatternBytes(10 * kBlock + 5, 2));
  SetTimes(S("DATA.BIN"), 1000000000, 1000000000);
  WriteFile(T("DATA.BIN"), "the old target");
  CopyAndAbandon(6);
  EXPECT_EQ(ReadFile(T("DATA.BIN")), "the old target");
  const std::string part = ReadFile(T("DATA.BIN.duplane-part"));
  EXPECT_EQ(part.size(), 6 * kBlock);
  EXPECT_TRUE(part == ReadFile(S("DATA.BIN")).substr(0, part.size()));

  Copy("DATA.BIN", "Files copied: 1");
  EXPECT_TRUE(ReadFile(T("DATA.BIN")) == ReadFile(S("DATA.BIN")));
  EXPECT_FALSE(Exists(T("DATA.BIN.duplane-part")));
  EXPECT_EQ(CompareTrees(rig_.root(s()), rig_.root(t()), /*times_and_modes=*/true), "");
}

// The cable pulled out in the middle of a file: the part file stays on either
// side (the Remote Module too keeps a part file it was writing when its
// connection ended), the old target with it, and the next copy finishes.
TEST_P(SafeCopyTest, CablePulledOutLeavesThePartFileForTheNextCopy) {
  const std::string source = PatternBytes(6 * kBlock, 5);
  WriteFile(S("DATA.BIN"), source);
  WriteFile(T("DATA.BIN"), "the old target");
  rig_.ui.on_pump = [this, pumps = 0]() mutable {
    if (rig_.ui.status_open && ++pumps == 3) rig_.CutCable(true);
  };
  Copy("DATA.BIN", "Files copied: 0", [this] {
    rig_.ui.ExpectInfo(s() == Side::kLocal ? "Error writing DATA.BIN on Remote PC"
                                           : "Error reading DATA.BIN on Remote PC");
    rig_.ui.ExpectError("CRC mismatch copying DATA.BIN");
  });
  rig_.ui.on_pump = nullptr;
  rig_.CutCable(false);
  ASSERT_TRUE(rig_.Reconnect());
  EXPECT_EQ(ReadFile(T("DATA.BIN")), "the old target");
  const std::string part = ReadFile(T("DATA.BIN.duplane-part"));
  EXPECT_GE(part.size(), 2 * kBlock);
  EXPECT_TRUE(source.compare(0, part.size(), part) == 0);

  Copy("DATA.BIN", "Files copied: 1");
  EXPECT_TRUE(ReadFile(T("DATA.BIN")) == source);
  EXPECT_FALSE(Exists(T("DATA.BIN.duplane-part")));
}

TEST_P(SafeCopyTest, PartFileThatIsNoPrefixOfTheSourceIsWrittenAgain) {
  const std::string source = PatternBytes(5 * kBlock, 3);
  WriteFile(S("DATA.BIN"), source);
  std::string other = source.substr(0, 3 * kBlock);
  other[kBlock + 7] ^= 0x20;
  WriteFile(T("DATA.BIN.duplane-part"), other);
  Copy("DATA.BIN", "Files copied: 1");
  EXPECT_TRUE(ReadFile(T("DATA.BIN")) == source);
  EXPECT_FALSE(Exists(T("DATA.BIN.duplane-part")));

  // Longer than the source, though it starts with all of it.
  WriteFile(T("DATA.BIN.duplane-part"), source + "more");
  Copy("DATA.BIN", "Files copied: 1");
  EXPECT_TRUE(ReadFile(T("DATA.BIN")) == source);
  EXPECT_FALSE(Exists(T("DATA.BIN.duplane-part")));
}

TEST_P(SafeCopyTest, ReadOnlyOldTargetIsRefusedBeforeAnythingIsWritten) {
  WriteFile(S("DATA.BIN"), "new");
  WriteFile(T("DATA.BIN"), "old");
  MakeReadOnly(T("DATA.BIN"));
  Copy("DATA.BIN", "Files copied: 0",
       [this] { rig_.ui.ExpectError("Error creating DATA.BIN on " + std::string(SideName(t()))); });
  EXPECT_EQ(ReadFile(T("DATA.BIN")), "old");
  EXPECT_FALSE(Exists(T("DATA.BIN.duplane-part")));
}

// A source directory that holds a part-named file of its own: the file of that
// name on the target may be its copy, the user's, never emptied or taken for a
// part file.
TEST_P(SafeCopyTest, PartNamedFileBesideTheSourceIsNeverTakenForAPartFile) {
  WriteFile(S("DIR/DATA.BIN"), "data");
  WriteFile(S("DIR/DATA.BIN.duplane-part"), "a file of the user's");
  WriteFile(T("DIR/DATA.BIN"), "old");
  WriteFile(T("DIR/DATA.BIN.duplane-part"), "an older file of the user's");
  rig_.Show(t(), "C:\\DIR");
  rig_.Show(s(), "C:\\DIR");
  rig_.Select(s(), {"DATA.BIN"});
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways));
  rig_.ui.ExpectInfo("Files copied: 1");
  CopyFiles(rig_.ctx(), s(), /*is_move=*/false);
  rig_.ui.VerifyAllAsked();
  EXPECT_EQ(ReadFile(T("DIR/DATA.BIN")), "data");
  EXPECT_EQ(ReadFile(T("DIR/DATA.BIN.duplane-part")), "an older file of the user's");
}

INSTANTIATE_TEST_SUITE_P(Ways, SafeCopyTest, CopyWays(), CopyWayName);

// A move between two panes that show one folder (the local one through a link
// into the Remote Module's folder): the old target is the source itself, and
// neither may be deleted for the other.
TEST(SafeCopySamePlaceTest, MoveOntoItselfKeepsTheFile) {
  TransferRig rig;
  const std::string bytes = PatternBytes(3 * kBlock, 4);
  WriteFile(rig.Native(Side::kRemote, "DATA.BIN"), bytes);
  ASSERT_EQ(symlink(rig.root(Side::kRemote).c_str(), rig.Native(Side::kLocal, "SHARE").c_str()), 0);
  rig.Show(Side::kRemote);
  rig.Show(Side::kLocal, "C:\\SHARE");
  rig.Select(Side::kLocal, {"DATA.BIN"});
  rig.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways));
  rig.ui.ExpectError(
      "Error creating DATA.BIN on Remote PC\rIts verified copy is DATA.BIN.duplane-part");
  rig.ui.ExpectInfo("Files moved: 0");
  CopyFiles(rig.ctx(), Side::kLocal, /*is_move=*/true);
  rig.ui.VerifyAllAsked();
  EXPECT_TRUE(ReadFile(rig.Native(Side::kRemote, "DATA.BIN")) == bytes);
}

}  // namespace
}  // namespace duplane
