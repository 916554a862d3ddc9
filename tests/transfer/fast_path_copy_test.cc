// Copies in both directions between two Duplane ends (packed blocks, batched
// listings) and against a Remote Module that knows only the plain codes (its
// extensions switched off): the same trees arrive either way. A deflated block
// damaged on the cable is a CRC mismatch like any damaged block, and leaves no
// target behind.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "link/packed_block.h"
#include "support/copy_direction_test.h"
#include "support/sides.h"
#include "transfer/copy_engine.h"
#include "transfer/overwrite.h"

namespace duplane {
namespace {

constexpr std::size_t kBlock = 8192;

class FastPathCopyTest : public CopyWayTest {
 protected:
  void Start(const std::vector<std::string>& names) {
    rig_.Show(t());
    rig_.Show(s());
    rig_.Select(s(), names);
  }
  void Run() { CopyFiles(rig_.ctx(), s(), /*is_move=*/false); }
};

TEST_P(FastPathCopyTest, MixedTreeArrivesWholeWithTimesAndModes) {
  WriteFile(S("TREE/TEXT.TXT"), TextBytes(5 * kBlock + 100, 1));
  WriteFile(S("TREE/RANDOM.BIN"), PatternBytes(3 * kBlock + 7, 2));
  WriteFile(S("TREE/ZEROS.BIN"), std::string(kBlock, '\0'));
  WriteFile(S("TREE/EMPTY.DAT"), "");
  WriteFile(S("TREE/SUB/DEEP/ONE.TXT"), "x");
  MakeDir(S("TREE/SUB/NOTHING"));
  SetTimes(S("TREE/TEXT.TXT"), 1000000000, 1000000000);
  MakeReadOnly(S("TREE/RANDOM.BIN"));
  Start({"TREE"});
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways));
  rig_.ui.ExpectInfo("Files copied: 5\rDirs created: 4");
  Run();
  rig_.ui.VerifyAllAsked();
  EXPECT_EQ(CompareTrees(S("TREE"), T("TREE"), /*times_and_modes=*/true), "");
  EXPECT_EQ(rig_.link().HasExtensions(Side::kRemote), fast_path());
}

INSTANTIATE_TEST_SUITE_P(Ways, FastPathCopyTest, CopyWays(), CopyWayName);

using DamagedBlockTest = CopyDirectionTest;

TEST_P(DamagedBlockTest, DamagedDeflatedBlockIsACrcMismatchAndLeavesNoTarget) {
  const std::string text = TextBytes(4 * kBlock, 3);
  const Packed second = Pack(text.data() + kBlock, kBlock);
  ASSERT_EQ(second.form, kPackDeflated);
  ASSERT_GT(second.deflated.size(), 1000u);
  WriteFile(S("TEXT.TXT"), text);
  rig_.Show(t());
  rig_.Show(s());
  rig_.Select(s(), {"TEXT.TXT"});
  // The second block's exchange: past its command and length fields, well
  // inside the deflated bytes (a block of this text deflates to about 3 KB;
  // the fields before them are 20 bytes sent, or 11 sent and 13 received).
  rig_.ui.on_pump = [this, pumps = 0]() mutable {
    if (rig_.ui.status_open && ++pumps == 2) rig_.FlipDataNibble(s() == Side::kLocal, 100);
  };
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways));
  rig_.ui.ExpectError("CRC mismatch copying TEXT.TXT");
  rig_.ui.ExpectInfo("Files copied: 0");
  CopyFiles(rig_.ctx(), s(), /*is_move=*/false);
  rig_.ui.VerifyAllAsked();
  EXPECT_FALSE(Exists(T("TEXT.TXT")));
  EXPECT_TRUE(rig_.link().HasExtensions(Side::kRemote));

  // The link stayed in step: the same copy on a sound cable arrives whole.
  rig_.ui.on_pump = nullptr;
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways));
  rig_.ui.ExpectInfo("Files copied: 1");
  CopyFiles(rig_.ctx(), s(), /*is_move=*/false);
  rig_.ui.VerifyAllAsked();
  EXPECT_TRUE(ReadFile(T("TEXT.TXT")) == text);
}

INSTANTIATE_TEST_SUITE_P(Ways, DamagedBlockTest, BothSides(), DirectionName);

}  // namespace
}  // namespace duplane
