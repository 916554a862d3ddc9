// Requests that cannot be right, sent raw to a Remote Module over the virtual
// cable: a bad header, code 13, absurd text and data counts, handles it never
// opened, paths that try to leave the served folder. After each the module
// must be back waiting for synchronisation, a fresh connection must work, and
// nothing outside the served folder may have changed.
#include <gtest/gtest.h>
#include <unistd.h>

#include "link/extension_codes.h"
#include "link/wire_format.h"
#include "localfs/local_file_system.h"
#include "support/cable_fixture.h"
#include "support/temp_tree.h"
#include "support/test_ports.h"

namespace duplane {
namespace {

class RobustnessTest : public ::testing::Test {
 protected:
  RobustnessTest()
      : served_(
            CableFixture::Options{{{'C', tree_ / "local"}}, {{'C', Share()}}, nullptr, &clock_}) {}

  std::string Share() {
    for (const char* name : {"share", "share/dir", "outside", "local"}) MakeDir(tree_ / name);
    WriteFile(tree_ / "share/file.txt", "served");
    WriteFile(tree_ / "outside/secret", "secret");
    symlink((tree_ / "outside").c_str(), (tree_ / "share/out").c_str());
    symlink("../outside/secret", (tree_ / "share/secret_link").c_str());
    return tree_ / "share";
  }

  void SetUp() override {
    outside_before_ = Fingerprint(tree_ / "outside");
    ASSERT_TRUE(served_.Connect());
  }

  // The module refused the request: the program's wait for the acknowledge
  // runs out and the connection is gone. Then a new one must work.
  void ExpectDroppedAndRecovered() {
    clock_.set_racing(true);
    served_.program_link().WaitForAck();
    clock_.set_racing(false);
    EXPECT_FALSE(served_.program_link().connected()) << "the module answered a bad request";
    ExpectFreshConnectionWorks();
  }

  void ExpectFreshConnectionWorks() {
    ASSERT_TRUE(served_.Connect());
    EXPECT_EQ(served_.link().LinkGetDrives(Side::kRemote), "C");
    EXPECT_TRUE(served_.link().LinkFileExists(Side::kRemote, "C:\\file.txt"));
    EXPECT_TRUE(served_.program_link().connected());
  }

  void TearDown() override {
    EXPECT_EQ(Fingerprint(tree_ / "outside"), outside_before_);
    EXPECT_FALSE(Exists(tree_ / "x"));
  }

  TempTree tree_;
  // Real time, so no wait runs out on a busy machine; raced only where the
  // test wants a time-out.
  SteeredClock clock_;
  CableFixture served_;
  std::string outside_before_;
};

TEST_F(RobustnessTest, BadHeader) {
  const std::uint8_t header[3] = {0x01, 0x05, 0x05};  // check byte should be 0xFA
  served_.program_link().SendBlock(3, header);
  ExpectDroppedAndRecovered();
}

TEST_F(RobustnessTest, CodeThirteenAndUnknownCodes) {
  served_.program_link().SendCommand(13);
  ExpectDroppedAndRecovered();
  served_.program_link().SendCommand(kLastExtensionCode + 1);
  ExpectDroppedAndRecovered();
}

TEST_F(RobustnessTest, HugeAndNegativeTextCounts) {
  served_.program_link().SendCommand(kOpChDir);
  SendI32(served_.program_link(), 0x7FFFFFFF);
  ExpectDroppedAndRecovered();
  served_.program_link().SendCommand(kOpFileExists);
  SendI32(served_.program_link(), kMaxWireText + 1);
  ExpectDroppedAndRecovered();
  served_.program_link().SendCommand(kOpCreateDir);
  SendI32(served_.program_link(), -1);
  ExpectDroppedAndRecovered();
}

// The extension codes hold their fields to the same bounds: a block larger
// than one transfer block, a deflated length beyond the plain one, a form that
// does not exist, absurd text counts.
TEST_F(RobustnessTest, ExtensionRequestsOutOfBounds) {
  LinkLayer& wire = served_.program_link();
  const std::int32_t handle = served_.link().LinkFileCreate(Side::kRemote, "C:\\packed.bin");
  ASSERT_GE(handle, 0);
  const struct {
    std::int32_t count;
    std::uint8_t form;
    std::int32_t plain;
    std::int32_t deflated;
  } writes[] = {
      {kMaxWireData + 1, 0, kMaxWireData + 1, 0},
      {100, 1, 100, 200},
      {100, 9, 100, 0},
      {100, 0, 99, 0},
  };
  for (const auto& w : writes) {
    SCOPED_TRACE(w.count);
    wire.SendCommand(kExtFileWritePacked);
    SendI32(wire, handle);
    SendI32(wire, w.count);
    SendU8(wire, w.form);
    SendI32(wire, w.plain);
    if (w.form == 1) SendI32(wire, w.deflated);
    ExpectDroppedAndRecovered();
  }
  for (const std::uint8_t code : {kExtFindFirstBatch, kExtRangeCrc, kExtListSubDirsBatch}) {
    SCOPED_TRACE(int(code));
    wire.SendCommand(code);
    if (code == kExtFindFirstBatch) SendI32(wire, 1);
    SendI32(wire, code == kExtRangeCrc ? -1 : kMaxWireText + 1);
    ExpectDroppedAndRecovered();
  }
  EXPECT_EQ(ReadFile(tree_ / "share/packed.bin"), "");
}

// The range CRC reads through the same confined walk as a copy: nothing
// outside the served folder is read, through a link or by "..".
TEST_F(RobustnessTest, RangeCrcStaysInsideTheServedFolder) {
  Link& link = served_.link();
  ASSERT_TRUE(link.HasExtensions(Side::kRemote));
  for (const char* path : {"C:\\out\\secret", "C:\\secret_link", "C:\\..\\outside\\secret"}) {
    std::uint32_t crc = 0xFFFFFFFFu;
    EXPECT_EQ(link.LinkRangeCRC(Side::kRemote, path, 0, 6, &crc), -1) << path;
    EXPECT_EQ(crc, 0xFFFFFFFFu) << path;
  }
  std::uint32_t crc = 0xFFFFFFFFu;
  EXPECT_EQ(link.LinkRangeCRC(Side::kRemote, "C:\\file.txt", 0, 100, &crc), 6);
}

// A read asked for more than one block is a legal request for "up to count
// bytes": it is answered with at most one block and the link stays in step.
TEST_F(RobustnessTest, OversizedReadIsAShortRead) {
  const std::string content = PatternBytes(3 * kMaxWireData, 7);
  WriteFile(tree_ / "share/big.bin", content);
  const std::int32_t handle = served_.link().LinkFileOpen(Side::kRemote, "C:\\big.bin", 0);
  ASSERT_GE(handle, 0);
  LinkLayer& wire = served_.program_link();
  std::string received;
  for (std::int32_t count : {kMaxWireData + 1, 0x7FFFFFFF}) {
    wire.SendCommand(kOpFileRead);
    SendI32(wire, handle);
    SendI32(wire, count);
    wire.WaitForAck();
    const std::int32_t got = GetI32(wire);
    ASSERT_GT(got, 0);
    ASSERT_LE(got, kMaxWireData);
    std::string block(static_cast<std::size_t>(got), '\0');
    wire.GetBlock(got, &block[0]);
    wire.FinishReceive();
    ASSERT_TRUE(wire.connected());
    received += block;
  }
  // The next request is served, from where the short reads stopped.
  char rest[kMaxWireData];
  const std::int32_t got = served_.link().LinkFileRead(Side::kRemote, handle, rest, kMaxWireData);
  ASSERT_GT(got, 0);
  received.append(rest, static_cast<std::size_t>(got));
  EXPECT_EQ(received, content.substr(0, received.size()));
  served_.link().LinkFileClose(Side::kRemote, handle);
  EXPECT_TRUE(wire.connected());
}

// An oversized write is refused, but its data is taken off the cable so the
// answer and the next request stay in step; nothing reaches the file.
TEST_F(RobustnessTest, OversizedWriteIsRefusedInStep) {
  const std::int32_t handle = served_.link().LinkFileCreate(Side::kRemote, "C:\\written.bin");
  ASSERT_GE(handle, 0);
  LinkLayer& wire = served_.program_link();
  const std::string data = PatternBytes(kMaxWireData + 1, 3);
  wire.SendCommand(kOpFileWrite);
  SendI32(wire, handle);
  SendI32(wire, kMaxWireData + 1);
  wire.SendBlock(kMaxWireData + 1, data.data());
  wire.WaitForAck();
  EXPECT_EQ(GetI32(wire), -1);
  wire.FinishReceive();
  ASSERT_TRUE(wire.connected());
  EXPECT_EQ(served_.link().LinkFileWrite(Side::kRemote, handle, "next", 4), 4);
  served_.link().LinkFileClose(Side::kRemote, handle);
  EXPECT_EQ(ReadFile(tree_ / "share/written.bin"), "next");
}

TEST_F(RobustnessTest, AbsurdWriteCountDropsAndTheHandlesDieWithTheConnection) {
  const std::int32_t handle = served_.link().LinkFileOpen(Side::kRemote, "C:\\file.txt", 2);
  ASSERT_GE(handle, 0);
  served_.program_link().SendCommand(kOpFileWrite);
  SendI32(served_.program_link(), handle);
  SendI32(served_.program_link(), 0x7FFFFFFF);
  ExpectDroppedAndRecovered();
  char buffer[8];
  EXPECT_EQ(served_.link().LinkFileRead(Side::kRemote, handle, buffer, 8),
            -1);  // closed at the drop
  EXPECT_EQ(ReadFile(tree_ / "share/file.txt"), "served");
}

TEST_F(RobustnessTest, HandlesAndSlotsNeverOpenedDoNothing) {
  Link& link = served_.link();
  for (std::int32_t handle : {0, 1, 2, 3, kFirstHandle, -1, 0x7FFFFFFF}) {
    char buffer[4] = {};
    EXPECT_EQ(link.LinkFileWrite(Side::kRemote, handle, "oops", 4), -1);
    EXPECT_EQ(link.LinkFileRead(Side::kRemote, handle, buffer, 4), -1);
    EXPECT_EQ(link.LinkFileSeek(Side::kRemote, handle, 0, 0), -1);
    FileTime t[3] = {};
    EXPECT_FALSE(link.LinkGetFileTime(Side::kRemote, handle, &t[0], &t[1], &t[2]));
    EXPECT_FALSE(link.LinkSetFileTime(Side::kRemote, handle, 1, 1, 1));
    link.LinkFileClose(Side::kRemote, handle);
  }
  EXPECT_EQ(link.LinkFindNext(Side::kRemote, 9), kErrorInvalidHandle);
  link.LinkFindClose(Side::kRemote, 9);
  // Slots outside 1..20 straight on the wire: answered with an error, not obeyed.
  for (std::int32_t slot : {0, 21, -5, 0x7FFFFFFF}) {
    served_.program_link().SendCommand(kOpFindFirst);
    SendI32(served_.program_link(), slot);
    SendText(served_.program_link(), "C:\\*.*");
    SendI32(served_.program_link(), kMaskEverything);
    served_.program_link().WaitForAck();
    FindRecordBytes record;
    served_.program_link().GetBlock(kFindRecordSize, record.data());
    EXPECT_EQ(GetI32(served_.program_link()), kErrorInvalidHandle);
    served_.program_link().FinishReceive();
  }
  EXPECT_TRUE(served_.program_link().connected());
  ExpectFreshConnectionWorks();
}

TEST_F(RobustnessTest, PathsThatTryToLeaveTheServedFolder) {
  Link& link = served_.link();
  const std::int32_t handle = link.LinkFileCreate(Side::kRemote, "C:\\..\\..\\x");
  EXPECT_GE(handle, 0);  // lands at the drive's root, inside
  link.LinkFileClose(Side::kRemote, handle);
  EXPECT_TRUE(Exists(tree_ / "share/x"));
  EXPECT_EQ(link.LinkFileOpen(Side::kRemote, "C:\\out\\secret", 0), -1);
  EXPECT_EQ(link.LinkFileOpen(Side::kRemote, "C:\\secret_link", 2), -1);
  EXPECT_EQ(link.LinkFileCreate(Side::kRemote, "C:\\out\\planted"), -1);
  EXPECT_EQ(link.LinkFindFirst(Side::kRemote, 1, "C:\\out\\*.*", kMaskEverything),
            kErrorPathNotFound);
  EXPECT_EQ(link.LinkChDir(Side::kRemote, "C:\\out"), kErrorPathNotFound);
  EXPECT_FALSE(link.LinkDeleteFile(Side::kRemote, "C:\\out\\secret", kDeleteNormal));
  EXPECT_FALSE(link.LinkRenameFile(Side::kRemote, "C:\\out\\secret", "C:\\stolen"));
  EXPECT_FALSE(link.LinkFileSetAttr(Side::kRemote, "C:\\secret_link", kAttrReadOnly));
  EXPECT_FALSE(link.LinkCreateDir(Side::kRemote, "C:\\out\\made"));
  std::vector<std::string> names;
  EXPECT_EQ(link.LinkListSubDirs(Side::kRemote, "C:\\out", &names), 0);
  EXPECT_EQ(link.LinkFileGetAttr(Side::kRemote, "\\..\\outside\\secret"), -1);
  // A wipe of a link that leads out takes the link and writes nothing.
  EXPECT_TRUE(link.LinkDeleteFile(Side::kRemote, "C:\\secret_link", kDeleteWipe));
  EXPECT_EQ(ReadFile(tree_ / "outside/secret"), "secret");
  EXPECT_TRUE(served_.program_link().connected());
  ExpectFreshConnectionWorks();
}

}  // namespace
}  // namespace duplane
