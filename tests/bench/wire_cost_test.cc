// What every operation costs on the wire, counted on the program's end of a
// virtual cable with a Remote Module answering: the command header, each
// request field and each answer field in the width the protocol table gives
// it, the two hand-overs, and nothing else. A field added, dropped or widened,
// a second exchange where there should be one, or an extra register access
// per byte fails here. The listing case shows the counts do not depend on the
// timing of the two ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "counting_port.h"
#include "link/link.h"
#include "port/virtual_cable.h"
#include "support/cable_fixture.h"
#include "support/file_tree.h"

namespace duplane {
namespace {

// Field widths on the wire.
constexpr int kU8 = 1, kI32 = 4, kU32 = 4, kI64 = 8, kFileTime = 8, kFindRecord = 292;
constexpr int kHeader = 3;
int Text(const std::string& text) { return 4 + static_cast<int>(text.size()); }

struct WireCase {
  OpCode code;
  std::vector<int> request;  // after the header
  std::vector<int> answer;
  std::function<void(Link&)> run;
};

int Sum(const std::vector<int>& fields) {
  int total = 0;
  for (int field : fields) total += field;
  return total;
}

// One exchange as the handshake frames it: two data writes per byte either
// way, FinishReceive's acknowledge (none after code 0), one WaitForAck with
// its control write, two nibble reads per byte received, a wait per nibble
// and one for the hand-over.
WireCounts Framed(const WireCase& c) {
  const std::uint64_t sent = kHeader + Sum(c.request);
  const std::uint64_t received = Sum(c.answer);
  WireCounts counts;
  counts.exchanges = 1;
  counts.bytes_sent = sent;
  counts.bytes_received = received;
  counts.data_writes = 2 * sent + 2 * received + (c.code == kOpNop ? 0 : 1);
  counts.control_writes = 1;
  counts.nibble_reads = 2 * received;
  counts.waits = 2 * sent + 1 + 2 * received;
  return counts;
}

std::string Show(const WireCounts& c) {
  return "exchanges " + std::to_string(c.exchanges) + ", sent " + std::to_string(c.bytes_sent) +
         ", received " + std::to_string(c.bytes_received) + ", data writes " +
         std::to_string(c.data_writes) + ", control writes " + std::to_string(c.control_writes) +
         ", nibble reads " + std::to_string(c.nibble_reads) + ", waits " + std::to_string(c.waits);
}

class WireCostTest : public ::testing::Test {
 protected:
  WireCostTest() {
    WriteFile(remote_ / "A.TXT", "hello");
    MakeDir(remote_ / "SUB/INNER");
    CableFixture::Options options;
    options.local_drives = {{'C', local_.path()}};
    options.remote_drives = {{'C', remote_.path()}};
    // The plain codes' costs: the extensions have tests of their own.
    options.program_extensions = false;
    options.wrap_program_port = [this](PortAccess& inner) {
      auto port = std::make_unique<CountingPort>(inner, kDefaultPortBase);
      port_ = port.get();
      return port;
    };
    fixture_ = std::make_unique<CableFixture>(std::move(options));
  }

  // Runs one case from fresh counts; everything it did must be one exchange
  // under its own code.
  void Check(const WireCase& c) {
    port_->Reset();
    c.run(fixture_->link());
    const WireCounts all = port_->Exchanges();
    EXPECT_TRUE(port_->ForCode(c.code).SameFixedCounts(all))
        << "code " << int(c.code) << ": traffic under other codes";
    EXPECT_TRUE(all.SameFixedCounts(Framed(c))) << "code " << int(c.code) << "\n  counted  "
                                                << Show(all) << "\n  expected " << Show(Framed(c));
    seen_.push_back(c.code);
  }

  TempFolder local_{"local"};
  TempFolder remote_{"remote"};
  CountingPort* port_ = nullptr;
  std::unique_ptr<CableFixture> fixture_;
  std::vector<int> seen_;
};

TEST_F(WireCostTest, EveryOperationCostsItsTableFieldsAndTheTwoHandOvers) {
  ASSERT_TRUE(fixture_->Connect());
  const std::string a = "C:\\A.TXT", b = "C:\\B.TXT", c = "C:\\C.TXT", dir = "C:\\NEW";
  std::int32_t in = -1, out = -1;
  char buffer[16];
  std::vector<std::uint8_t> bitmap;
  std::vector<std::string> names;
  const FileTime t = 132000000000000000ull;
  FileTime t1, t2, t3;

  // In an order that leaves each operation something to act on.
  const std::vector<WireCase> cases = {
      {kOpGetDrives,
       {},
       {Text("C")},
       [](Link& l) { EXPECT_EQ(l.LinkGetDrives(Side::kRemote), "C"); }},
      {kOpGetHomeDrive,
       {},
       {kU8},
       [](Link& l) { EXPECT_EQ(l.LinkGetHomeDrive(Side::kRemote), 'C'); }},
      {kOpChDir,
       {Text("C:\\")},
       {kI32},
       [](Link& l) { EXPECT_EQ(l.LinkChDir(Side::kRemote, "C:\\"), 0); }},
      {kOpGetDir,
       {kU8},
       {Text("C:\\")},
       [](Link& l) { EXPECT_EQ(l.LinkGetDir(Side::kRemote, 0), "C:\\"); }},
      {kOpDiskFree, {kU8}, {kI64}, [](Link& l) { l.LinkDiskFree(Side::kRemote, 3); }},
      {kOpDiskSize, {kU8}, {kI64}, [](Link& l) { l.LinkDiskSize(Side::kRemote, 3); }},
      {kOpFindFirst,
       {kI32, Text("C:\\*.*"), kI32},
       {kFindRecord, kI32},
       [](Link& l) { EXPECT_EQ(l.LinkFindFirst(Side::kRemote, 1, "C:\\*.*", 0x37), 0); }},
      {kOpFindNext, {kI32}, {kFindRecord, kI32}, [](Link& l) { l.LinkFindNext(Side::kRemote, 1); }},
      {kOpFindClose, {kI32}, {kU8}, [](Link& l) { l.LinkFindClose(Side::kRemote, 1); }},
      {kOpFileExists,
       {Text(a)},
       {kU8},
       [&](Link& l) { EXPECT_TRUE(l.LinkFileExists(Side::kRemote, a)); }},
      {kOpFileGetAttr, {Text(a)}, {kI32}, [&](Link& l) { l.LinkFileGetAttr(Side::kRemote, a); }},
      {kOpFileAge,
       {Text(a)},
       {kI32},
       [&](Link& l) { EXPECT_NE(l.LinkFileAge(Side::kRemote, a), -1); }},
      {kOpFileOpen,
       {Text(a), kI32},
       {kI32},
       [&](Link& l) { EXPECT_GE(in = l.LinkFileOpen(Side::kRemote, a, 0x40), 0); }},
      {kOpGetFileTime,
       {kI32},
       {kU8, kFileTime, kFileTime, kFileTime},
       [&](Link& l) { EXPECT_TRUE(l.LinkGetFileTime(Side::kRemote, in, &t1, &t2, &t3)); }},
      {kOpFileSeek,
       {kI32, kI64, kI32},
       {kI64},
       [&](Link& l) { EXPECT_EQ(l.LinkFileSeek(Side::kRemote, in, 0, 0), 0); }},
      {kOpFileRead,
       {kI32, kI32},
       {kI32, 5},
       [&](Link& l) { EXPECT_EQ(l.LinkFileRead(Side::kRemote, in, buffer, 8), 5); }},
      // At the end of the file no data bytes follow the count.
      {kOpFileRead,
       {kI32, kI32},
       {kI32},
       [&](Link& l) { EXPECT_EQ(l.LinkFileRead(Side::kRemote, in, buffer, 8), 0); }},
      {kOpGetCRC, {}, {kU32}, [](Link& l) { l.LinkGetCRC(Side::kRemote); }},
      {kOpFileClose, {kI32}, {kU8}, [&](Link& l) { l.LinkFileClose(Side::kRemote, in); }},
      // A failed query answers its success byte alone.
      {kOpGetFileTime,
       {kI32},
       {kU8},
       [&](Link& l) { EXPECT_FALSE(l.LinkGetFileTime(Side::kRemote, in, &t1, &t2, &t3)); }},
      {kOpFileCreate,
       {Text(b)},
       {kI32},
       [&](Link& l) { EXPECT_GE(out = l.LinkFileCreate(Side::kRemote, b), 0); }},
      {kOpFileWrite,
       {kI32, kI32, 3},
       {kI32},
       [&](Link& l) { EXPECT_EQ(l.LinkFileWrite(Side::kRemote, out, "xyz", 3), 3); }},
      // A write of nothing carries no data bytes.
      {kOpFileWrite,
       {kI32, kI32},
       {kI32},
       [&](Link& l) { EXPECT_EQ(l.LinkFileWrite(Side::kRemote, out, "", 0), 0); }},
      {kOpSetFileTime,
       {kI32, kFileTime, kFileTime, kFileTime},
       {kU8},
       [&](Link& l) { EXPECT_TRUE(l.LinkSetFileTime(Side::kRemote, out, t, t, t)); }},
      {kOpFileClose, {kI32}, {kU8}, [&](Link& l) { l.LinkFileClose(Side::kRemote, out); }},
      {kOpFileSetAttr,
       {Text(b), kI32},
       {kU8},
       [&](Link& l) { EXPECT_TRUE(l.LinkFileSetAttr(Side::kRemote, b, 0x20)); }},
      {kOpRenameFile,
       {Text(b), Text(c)},
       {kU8},
       [&](Link& l) { EXPECT_TRUE(l.LinkRenameFile(Side::kRemote, b, c)); }},
      {kOpDeleteFile,
       {Text(c), kI32},
       {kU8},
       [&](Link& l) { EXPECT_TRUE(l.LinkDeleteFile(Side::kRemote, c, kDeleteNormal)); }},
      {kOpCreateDir,
       {Text(dir)},
       {kU8},
       [&](Link& l) { EXPECT_TRUE(l.LinkCreateDir(Side::kRemote, dir)); }},
      {kOpDirectoryExists,
       {Text(dir)},
       {kU8},
       [&](Link& l) { EXPECT_TRUE(l.LinkDirectoryExists(Side::kRemote, dir)); }},
      {kOpRemoveDir,
       {Text(dir)},
       {kU8},
       [&](Link& l) { EXPECT_TRUE(l.LinkRemoveDir(Side::kRemote, dir)); }},
      {kOpGetIconIndex,
       {Text(a)},
       {kI32, kI32},
       [&](Link& l) {
         std::int32_t normal, open;
         l.LinkGetIconIndex(Side::kRemote, a, &normal, &open);
       }},
      {kOpHasSubDirs,
       {Text("C:\\SUB\\")},
       {kU8},
       [](Link& l) { EXPECT_TRUE(l.LinkHasSubDirs(Side::kRemote, "C:\\SUB")); }},
      {kOpListSubDirs,
       {Text("C:\\SUB\\")},
       {kI32, Text("INNER")},
       [&](Link& l) { EXPECT_EQ(l.LinkListSubDirs(Side::kRemote, "C:\\SUB", &names), 1); }},
      {kOpNop, {}, {}, [](Link& l) { l.LinkNop(); }},
  };
  for (const WireCase& one : cases) Check(one);

  // The icon strip's length is the module's to choose; the framing is not.
  ASSERT_TRUE(fixture_->Connect());
  port_->Reset();
  ASSERT_TRUE(fixture_->link().LinkGetSysImageList(Side::kRemote, &bitmap));
  const WireCase strip{kOpGetSysImageList, {}, {kI32, static_cast<int>(bitmap.size())}, nullptr};
  EXPECT_TRUE(port_->Exchanges().SameFixedCounts(Framed(strip))) << Show(port_->Exchanges());
  seen_.push_back(kOpGetSysImageList);

  // Every code but 13 once at least; 13 is never sent.
  for (int code = 0; code <= kOpListSubDirs; ++code) {
    const bool seen = std::find(seen_.begin(), seen_.end(), code) != seen_.end();
    EXPECT_EQ(seen, code != kOpUnused13) << "code " << code;
  }
}

TEST_F(WireCostTest, AListingCostsTheSameEveryTimeOneFindNextPerEntry) {
  constexpr int kEntries = 40;
  for (int i = 0; i < kEntries; ++i) {
    WriteFile(remote_ / ("SUB/F" + std::to_string(i) + ".DAT"), std::to_string(i));
  }
  ASSERT_TRUE(fixture_->Connect());
  Link& link = fixture_->link();
  std::vector<WireCounts> runs;
  for (int run = 0; run < 2; ++run) {
    port_->Reset();
    int listed = 0;
    for (std::int32_t r = link.LinkFindFirst(Side::kRemote, 2, "C:\\SUB\\*.*", 0x37); r == 0;
         r = link.LinkFindNext(Side::kRemote, 2)) {
      ++listed;
    }
    link.LinkFindClose(Side::kRemote, 2);
    EXPECT_EQ(listed, kEntries + 3);  // ".", "..", INNER and the files
    runs.push_back(port_->Exchanges());
    // The first entry comes with FindFirst; every further one and the end of
    // the directory cost one FindNext each.
    EXPECT_EQ(port_->ForCode(kOpFindNext).exchanges, std::uint64_t(listed));
    EXPECT_EQ(port_->ForCode(kOpFindNext).wire_bytes(),
              std::uint64_t(listed) * (kHeader + kI32 + kFindRecord + kI32));
  }
  EXPECT_TRUE(runs[0].SameFixedCounts(runs[1])) << Show(runs[0]) << "\n" << Show(runs[1]);
  EXPECT_EQ(runs[0].exchanges, std::uint64_t(kEntries + 3 + 2));  // with FindFirst and FindClose
}

}  // namespace
}  // namespace duplane
