// Copies that go wrong, in both directions over a virtual cable against a
// Remote Module: a nibble corrupted on the cable, a target that refuses
// writes, a cable pulled out, a file abandoned with Cancel and a source
// rewritten while it was read. No target is left behind that looks like a
// copy, a later Update run copies the file again, and a move keeps its source.
// Where a part file changes the outcome, the copy here writes its targets
// directly (safe copy off), as the original program does; safe_copy_test.cc
// has the same failures with part files.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "localfs/crc32.h"
#include "support/copy_direction_test.h"
#include "support/private_trash.h"
#include "support/sides.h"
#include "transfer/copy_engine.h"
#include "transfer/overwrite.h"

namespace duplane {
namespace {

::testing::Environment* const kTrash = ::testing::AddGlobalTestEnvironment(new PrivateTrash);

constexpr std::size_t kBlock = 8192;
// The sources' modification time (2001-09-09), long before any test runs: a
// target that carries it has been given the source's times.
constexpr std::int64_t kSourceTime = 1000000000;

std::int64_t ModificationTime(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st.st_mtim.tv_sec;
}

// Bytes that leave the running CRC at 0, the very value a remote LinkGetCRC
// answers once the link is down: their own CRC appended, low byte first.
std::string BytesWhoseCrcIsZero(std::size_t size, unsigned seed) {
  std::string bytes = PatternBytes(size, seed);
  MakeCrcTable();
  const std::uint32_t crc = UpdateCrcLong(kCrcStart, bytes.size(), bytes.data());
  for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((crc >> shift) & 0xFF);
  return bytes;
}

// Files of this process may grow to `bytes` and no further while it lives;
// a write beyond fails (EFBIG) instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  sighandler_t previous_ = SIG_DFL;
};

// Options that write each target directly.
CopyMoveOptions DirectOptions(std::int32_t overwrite) {
  CopyMoveOptions options = CopyOptions(overwrite);
  options.safe_copy = false;
  return options;
}

class FailedCopyTest : public CopyDirectionTest {
 protected:
  void MakeSource(const std::string& name, const std::string& bytes) {
    WriteFile(S(name), bytes);
    SetTimes(S(name), kSourceTime, kSourceTime);
  }
  void Start(const std::vector<std::string>& names) {
    rig_.Show(t());
    rig_.Show(s());
    rig_.Select(s(), names);
  }
  // Runs `after_blocks` once that many blocks of the first file have crossed.
  void AfterBlocks(int after_blocks, std::function<void()> action) {
    rig_.ui.on_pump = [this, after_blocks, action, pumps = 0]() mutable {
      // The first pump of the status window is the file's own show.
      if (rig_.ui.status_open && ++pumps == after_blocks + 1) action();
    };
  }
  void Run(bool is_move) { CopyFiles(rig_.ctx(), s(), is_move); }

  // The failed file left nothing on the target that could pass for it.
  void ExpectNoTarget(const std::string& name) {
    EXPECT_FALSE(Exists(T(name))) << name << " on " << target_name();
  }
  // A second run in Update mode, on a sound cable, copies the file whole and
  // gives it the source's time.
  void ExpectUpdateCopiesAgain(const std::string& name, const std::string& bytes) {
    rig_.ui.on_pump = nullptr;
    Start({name});
    rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteUpdate));
    rig_.ui.ExpectInfo("Files copied: 1");
    Run(false);
    rig_.ui.VerifyAllAsked();
    EXPECT_TRUE(ReadFile(T(name)) == bytes) << T(name);
    EXPECT_EQ(ModificationTime(T(name)), kSourceTime);
  }
};

TEST_P(FailedCopyTest, CrcMismatchRemovesTheTargetAndTheMoveKeepsItsSource) {
  const std::string bytes = PatternBytes(4 * kBlock, 3);
  MakeSource("A_DATA.BIN", bytes);
  WriteFile(S("B_NEXT.TXT"), "next");
  Start({"A_DATA.BIN", "B_NEXT.TXT"});
  // One nibble of the second block's data is flipped on the cable.
  AfterBlocks(1, [this] { rig_.FlipDataNibble(s() == Side::kLocal, 3000); });
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways));
  rig_.ui.ExpectError("CRC mismatch copying A_DATA.BIN");
  rig_.ui.ExpectInfo("Files moved: 0");
  Run(true);
  rig_.ui.VerifyAllAsked();
  EXPECT_TRUE(ReadFile(S("A_DATA.BIN")) == bytes) << S("A_DATA.BIN");
  ExpectNoTarget("A_DATA.BIN");
  ExpectNoTarget("B_NEXT.TXT");
  ExpectUpdateCopiesAgain("A_DATA.BIN", bytes);
}

TEST_P(FailedCopyTest, TargetThatRefusesWritesIsRemoved) {
  const std::string bytes = PatternBytes(5 * kBlock, 4);
  MakeSource("BIG.BIN", bytes);
  // The older target is overwritten in Update mode and then runs out of room.
  WriteFile(T("BIG.BIN"), "an older version");
  SetTimes(T("BIG.BIN"), kSourceTime - 3600, kSourceTime - 3600);
  Start({"BIG.BIN"});
  rig_.ui.ExpectCopyMove(DirectOptions(kOverwriteUpdate));
  rig_.ui.ExpectInfo("Error writing BIG.BIN on " + target_name());
  rig_.ui.ExpectInfo("Files copied: 0");
  {
    const FileSizeLimit limit(2 * kBlock + 100);
    Run(false);
  }
  rig_.ui.VerifyAllAsked();
  ExpectNoTarget("BIG.BIN");
  ExpectUpdateCopiesAgain("BIG.BIN", bytes);
}

TEST_P(FailedCopyTest, CablePulledOutLeavesNoTargetOnEitherSide) {
  const std::string bytes = PatternBytes(6 * kBlock, 5);
  MakeSource("BIG.BIN", bytes);
  Start({"BIG.BIN"});
  AfterBlocks(2, [this] { rig_.CutCable(true); });
  rig_.ui.ExpectCopyMove(DirectOptions(kOverwriteAlways));
  if (s() == Side::kLocal) {
    rig_.ui.ExpectInfo("Error writing BIG.BIN on Remote PC");
    rig_.ui.ExpectError("CRC mismatch copying BIG.BIN");
    // The program cannot reach the Remote PC to delete it, and says so.
    rig_.ui.ExpectError(
        "BIG.BIN on Remote PC is incomplete and could not be deleted: do not use it");
  } else {
    rig_.ui.ExpectInfo("Error reading BIG.BIN on Remote PC");
    rig_.ui.ExpectError("CRC mismatch copying BIG.BIN");
  }
  rig_.ui.ExpectInfo("Files copied: 0");
  Run(false);
  rig_.ui.VerifyAllAsked();
  // Whatever is left never carries the source's time ...
  if (Exists(T("BIG.BIN"))) {
    EXPECT_NE(ModificationTime(T("BIG.BIN")), kSourceTime);
  }
  // ... and the Remote Module drops the file it never finished as soon as it
  // learns that its connection is over.
  rig_.CutCable(false);
  ASSERT_TRUE(rig_.Reconnect());
  EXPECT_FALSE(rig_.link().LinkFileExists(t(), "BIG.BIN"));
  ExpectNoTarget("BIG.BIN");
  EXPECT_TRUE(ReadFile(S("BIG.BIN")) == bytes) << S("BIG.BIN");
  ExpectUpdateCopiesAgain("BIG.BIN", bytes);
}

// The link goes down after the last block, at the CRC check itself: the CRC
// that never arrived must not pass for the one of a file whose CRC is 0.
TEST_P(FailedCopyTest, LinkLostAtTheCrcCheckLeavesNoVerifiedCopy) {
  const std::string bytes = BytesWhoseCrcIsZero(2 * kBlock, 9);
  ASSERT_EQ(UpdateCrcLong(kCrcStart, bytes.size(), bytes.data()), 0u);
  MakeSource("ZERO.BIN", bytes);
  Start({"ZERO.BIN"});
  AfterBlocks(3, [this] { rig_.CutCable(true); });
  rig_.ui.ExpectCopyMove(DirectOptions(kOverwriteAlways));
  rig_.ui.ExpectError("CRC mismatch copying ZERO.BIN");
  if (s() == Side::kLocal) {
    rig_.ui.ExpectError(
        "ZERO.BIN on Remote PC is incomplete and could not be deleted: do not use it");
  }
  rig_.ui.ExpectInfo("Files moved: 0");
  Run(true);
  rig_.ui.VerifyAllAsked();
  if (Exists(T("ZERO.BIN"))) {
    EXPECT_NE(ModificationTime(T("ZERO.BIN")), kSourceTime);
  }
  rig_.CutCable(false);
  ASSERT_TRUE(rig_.Reconnect());
  ExpectNoTarget("ZERO.BIN");
  EXPECT_TRUE(ReadFile(S("ZERO.BIN")) == bytes) << S("ZERO.BIN");
  ExpectUpdateCopiesAgain("ZERO.BIN", bytes);
}

TEST_P(FailedCopyTest, AbandonedTargetIsDeletedNotPutInTheRecycleBin) {
  const std::string bytes = PatternBytes(5 * kBlock, 6);
  MakeSource("BIG.BIN", bytes);
  Start({"BIG.BIN"});
  rig_.ui.cancel_status_at_pump = 3;  // after the second block
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways, kDeleteRecycle));
  rig_.ui.ExpectYesNo("BIG.BIN in progress.\rFinish it before stopping?", false);
  rig_.ui.ExpectInfo("Files moved: 0");
  Run(true);
  rig_.ui.VerifyAllAsked();
  EXPECT_TRUE(ReadFile(S("BIG.BIN")) == bytes) << S("BIG.BIN");
  ExpectNoTarget("BIG.BIN");
  const std::string trash = PrivateTrash::TrashFiles();
  EXPECT_TRUE(!Exists(trash) || std::filesystem::is_empty(trash)) << trash;
}

TEST_P(FailedCopyTest, MoveKeepsASourceRewrittenInPlaceWhileItWasCopied) {
  const std::string bytes = PatternBytes(4 * kBlock, 7);
  const std::string rewritten = PatternBytes(4 * kBlock, 8);
  MakeSource("A_DATA.BIN", bytes);
  WriteFile(S("B_NEXT.TXT"), "next");
  Start({"A_DATA.BIN", "B_NEXT.TXT"});
  // Same size, new bytes from the start on: the copy holds old and new parts.
  AfterBlocks(2, [this, &rewritten] {
    std::fstream file(S("A_DATA.BIN"), std::ios::in | std::ios::out | std::ios::binary);
    file.write(rewritten.data(), static_cast<std::streamsize>(rewritten.size()));
  });
  rig_.ui.ExpectCopyMove(CopyOptions(kOverwriteAlways));
  rig_.ui.ExpectError("A_DATA.BIN on " + source_name() + " changed while it was copied");
  rig_.ui.ExpectInfo("Files moved: 0");
  Run(true);
  rig_.ui.VerifyAllAsked();
  EXPECT_TRUE(ReadFile(S("A_DATA.BIN")) == rewritten) << S("A_DATA.BIN");
  EXPECT_EQ(ReadFile(S("B_NEXT.TXT")), "next");
  ExpectNoTarget("A_DATA.BIN");
}

INSTANTIATE_TEST_SUITE_P(BothDirections, FailedCopyTest, BothSides(), DirectionName);

}  // namespace
}  // namespace duplane
