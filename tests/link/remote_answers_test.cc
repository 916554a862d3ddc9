// The program's remote branch against answers a Remote Module should never
// give: more file data than asked for, absurd text and list counts, names too
// long to keep. The caller gets a failure, nothing lands past its buffer, and
// the link either stays in step or is given up. Also the exact request fields
// of the conditional and counted layouts.
#include <gtest/gtest.h>

#include <algorithm>

#include "link/link.h"
#include "link/link_layer.h"
#include "link/wire_format.h"
#include "support/scripted_remote.h"

namespace duplane {
namespace {

const ScriptedRemote::Step kHomeDriveQ = Answer(0, {'Q'});

TEST(RemoteAnswersTest, FileReadAnsweredWithMoreThanAskedStoresNothing) {
  ScriptedRemote remote({
      Answer(8, Join({Le32(20), std::vector<std::uint8_t>(20, 0xEE)})),
      Answer(8, Le32(0)),
      Answer(8, Le32(-7)),
      Answer(8, Join({Le32(4), {1, 2, 3, 4}})),
      kHomeDriveQ,
  });
  std::uint8_t buffer[16];
  std::fill(std::begin(buffer), std::end(buffer), 0x55);
  EXPECT_EQ(remote.link().LinkFileRead(Side::kRemote, 0x100, buffer, 8), -1);
  EXPECT_TRUE(std::all_of(std::begin(buffer), std::end(buffer), [](auto b) { return b == 0x55; }));
  EXPECT_EQ(remote.link().LinkFileRead(Side::kRemote, 0x100, buffer, 8), 0);
  EXPECT_EQ(remote.link().LinkFileRead(Side::kRemote, 0x100, buffer, 8), -7);
  EXPECT_EQ(buffer[0], 0x55);  // no data follows n <= 0
  EXPECT_EQ(remote.link().LinkFileRead(Side::kRemote, 0x100, buffer, 8), 4);
  EXPECT_EQ(buffer[3], 4);
  EXPECT_EQ(buffer[4], 0x55);
  // Still in step: the next exchange reads the right bytes.
  EXPECT_EQ(remote.link().LinkGetHomeDrive(Side::kRemote), 'Q');
  EXPECT_TRUE(remote.program().connected());
}

TEST(RemoteAnswersTest, AbsurdTextCountGivesUpTheLinkWithoutAllocating) {
  ScriptedRemote remote({Answer(1, Le32(0x7FFFFFFF))});
  EXPECT_EQ(remote.link().LinkGetDir(Side::kRemote, 3), "");
  EXPECT_FALSE(remote.program().connected());
  // Every later call fails at once instead of waiting on a dead link.
  EXPECT_EQ(remote.link().LinkFileOpen(Side::kRemote, "C:\\x", 0), -1);
  EXPECT_EQ(remote.link().LinkGetDrives(Side::kRemote), "");
}

TEST(RemoteAnswersTest, OverlongDriveTextIsDroppedAndTheLinkStaysInStep) {
  ScriptedRemote remote({Answer(0, Text(std::string(300, 'C'))), kHomeDriveQ});
  EXPECT_EQ(remote.link().LinkGetDrives(Side::kRemote), "");
  EXPECT_EQ(remote.link().LinkGetHomeDrive(Side::kRemote), 'Q');
}

TEST(RemoteAnswersTest, SubDirectoryListsAndTheFinalBackslash) {
  std::vector<std::uint8_t> sent[3];
  ScriptedRemote remote({
      Answer(4 + 2, Le32(-2), &sent[0]),
      Answer(4 + 5, Join({Le32(3), Text("one"), Text(std::string(40000, 'n')), Text("three")}),
             &sent[1]),
      Answer(4 + 3, {1}, &sent[2]),
      Answer(4 + 5, Le32(0x7FFFFFFF)),
  });
  std::vector<std::string> names = {"stale"};
  // Path "C:" goes out with the backslash added; the answer n <= 0 is the result.
  EXPECT_EQ(remote.link().LinkListSubDirs(Side::kRemote, "C", &names), -2);
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(sent[0], Text("C\\"));
  // One name too long to keep: the rest is still read, the answer is a failure.
  EXPECT_EQ(remote.link().LinkListSubDirs(Side::kRemote, "C:\\d\\", &names), -1);
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(sent[1], Text("C:\\d\\"));
  EXPECT_TRUE(remote.link().LinkHasSubDirs(Side::kRemote, "C:"));
  EXPECT_EQ(sent[2], Text("C:\\"));
  // An empty path never reaches the cable.
  EXPECT_FALSE(remote.link().LinkHasSubDirs(Side::kRemote, ""));
  EXPECT_EQ(remote.link().LinkListSubDirs(Side::kRemote, "", &names), 0);
  // A count no cable could carry: the link is given up, not read.
  EXPECT_EQ(remote.link().LinkListSubDirs(Side::kRemote, "C:\\d\\", &names), -1);
  EXPECT_FALSE(remote.program().connected());
}

TEST(RemoteAnswersTest, GetFileTimeReadsTimesOnlyAfterSuccess) {
  std::vector<std::uint8_t> times = {1};
  for (std::uint64_t t : {0x0102030405060708ull, 0x1112131415161718ull, 0x2122232425262728ull}) {
    for (int i = 0; i < 8; ++i) times.push_back(static_cast<std::uint8_t>(t >> (8 * i)));
  }
  ScriptedRemote remote({Answer(4, {0}), Answer(4, times), kHomeDriveQ});
  FileTime c = 7, a = 8, w = 9;
  EXPECT_FALSE(remote.link().LinkGetFileTime(Side::kRemote, 0x100, &c, &a, &w));
  EXPECT_EQ(c + a + w, 24u);
  EXPECT_TRUE(remote.link().LinkGetFileTime(Side::kRemote, 0x100, &c, &a, &w));
  EXPECT_EQ(c, 0x0102030405060708ull);
  EXPECT_EQ(a, 0x1112131415161718ull);
  EXPECT_EQ(w, 0x2122232425262728ull);
  EXPECT_EQ(remote.link().LinkGetHomeDrive(Side::kRemote), 'Q');
}

TEST(RemoteAnswersTest, FindRecordGoesToTheSlotAndWriteCarriesItsData) {
  FindRecord record;
  record.name = "REMOTE.TXT";
  record.size = 0x123456789ull;
  record.attributes = kAttrArchive | kAttrReadOnly;
  record.last_write_time = 99;
  const FindRecordBytes bytes = EncodeFindRecord(record);
  std::vector<std::uint8_t> find_request, write_request;
  ScriptedRemote remote({
      Answer(4 + 4 + 4 + 4, Join({{bytes.begin(), bytes.end()}, Le32(0)}), &find_request),
      Answer(4 + 4 + 3, Le32(3), &write_request),
      Answer(4 + 4, Le32(0)),  // zero-length write: no data bytes on the wire
  });
  EXPECT_EQ(remote.link().LinkFindFirst(Side::kRemote, 7, "C:\\*", 0x37), 0);
  EXPECT_EQ(find_request, Join({Le32(7), Text("C:\\*"), Le32(0x37)}));
  EXPECT_EQ(remote.link().SlotRecord(7).name, "REMOTE.TXT");
  EXPECT_EQ(remote.link().SlotRecord(7).size, 0x123456789ull);
  EXPECT_EQ(remote.link().SlotRecord(7).last_write_time, 99u);
  EXPECT_EQ(remote.link().LinkFileWrite(Side::kRemote, 0x101, "abc", 3), 3);
  EXPECT_EQ(write_request, Join({Le32(0x101), Le32(3), {'a', 'b', 'c'}}));
  EXPECT_EQ(remote.link().LinkFileWrite(Side::kRemote, 0x101, "abc", 0), 0);
  EXPECT_TRUE(remote.program().connected());
  // More than one transfer block is refused before anything is sent.
  std::vector<char> big(kMaxWireData + 1);
  EXPECT_EQ(remote.link().LinkFileWrite(Side::kRemote, 0x101, big.data(), kMaxWireData + 1), -1);
}

TEST(RemoteAnswersTest, FindNamesThatAreNoPlainComponentArePassedOver) {
  auto found = [](const std::string& name, std::int32_t result) {
    FindRecord record;
    record.name = name;
    const FindRecordBytes bytes = EncodeFindRecord(record);
    return Join({{bytes.begin(), bytes.end()}, Le32(result)});
  };
  // Each would take a copy, move or delete out of the directory searched.
  ScriptedRemote remote({
      Answer(4 + 4 + 4 + 4, found("..\\..\\EVIL.TXT", 0)),
      Answer(4, found("C:\\BOOT.INI", 0)),
      Answer(4, found("GOOD.TXT", 0)),
      Answer(4, found("x:y", 0)),
      Answer(4, found("/etc", 0)),
      Answer(4, found("", kErrorNoMoreFiles)),
  });
  EXPECT_EQ(remote.link().LinkFindFirst(Side::kRemote, 3, "C:\\*", 0x37), 0);
  EXPECT_EQ(remote.link().SlotRecord(3).name, "GOOD.TXT");
  // The end of the search is the sixth answer: every bad name was read past.
  EXPECT_EQ(remote.link().LinkFindNext(Side::kRemote, 3), kErrorNoMoreFiles);
  EXPECT_TRUE(remote.program().connected());
}

}  // namespace
}  // namespace duplane
