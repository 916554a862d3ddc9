// The program's extension exchanges against answers a Duplane module should
// never give: packed blocks longer than asked for or than they say, forms
// that do not exist, listing batches that cannot be whole. Nothing lands past
// the caller's buffer, nothing is allocated beyond the limits, a listing never
// looks complete with entries missing, and the link stays in step or is given
// up.
#include <gtest/gtest.h>

#include <algorithm>

#include "link/batch_records.h"
#include "link/extension_codes.h"
#include "link/link.h"
#include "localfs/local_file_system.h"
#include "support/scripted_remote.h"

namespace duplane {
namespace {

const ScriptedRemote::Step kProbeTrue =
    Answer(4 + static_cast<int>(std::string(kExtensionsProbePath).size()), {1});
const ScriptedRemote::Step kHomeDriveQ = Answer(0, {'Q'});

std::vector<std::uint8_t> Bytes(std::size_t n, std::uint8_t value) {
  return std::vector<std::uint8_t>(n, value);
}

// A stored packed block of these bytes.
std::vector<std::uint8_t> Stored(const std::vector<std::uint8_t>& bytes) {
  return Join({{0}, Le32(static_cast<std::int32_t>(bytes.size())), bytes});
}

std::vector<std::uint8_t> Records(const std::vector<std::string>& names) {
  std::vector<std::uint8_t> bytes;
  for (const std::string& name : names) {
    FindRecord record;
    record.name = name;
    AppendBatchRecord(record, &bytes);
  }
  return bytes;
}

// handle, count
constexpr int kReadRequest = 8;
// slot, "C:\*.*", mask, entries wanted
constexpr int kFindFirstRequest = 4 + 4 + 6 + 4 + 4;
// "C:\"
constexpr int kListRequest = 4 + 3;

TEST(ExtensionAnswersTest, PackedReadThatDoesNotFitStoresNothingAndStaysInStep) {
  ScriptedRemote remote(
      {
          kProbeTrue,
          // More than asked for.
          Answer(kReadRequest, Join({Le32(20), Stored(Bytes(20, 0xEE))})),
          // A deflated length beyond the plain one.
          Answer(kReadRequest, Join({Le32(8), {1}, Le32(8), Le32(100), Bytes(100, 0xEE)})),
          // A plain length other than the count read.
          Answer(kReadRequest, Join({Le32(6), Stored(Bytes(5, 0xEE))})),
          // A damaged stream: the count arrives as zero bytes.
          Answer(kReadRequest, Join({Le32(4), {1}, Le32(4), Le32(3), {1, 2, 3}})),
          kHomeDriveQ,
      },
      /*extensions=*/true);
  std::uint8_t buffer[16];
  std::fill(std::begin(buffer), std::end(buffer), 0x55);
  Link& link = remote.link();
  EXPECT_EQ(link.LinkFileRead(Side::kRemote, 0x100, buffer, 8), -1);
  EXPECT_EQ(link.LinkFileRead(Side::kRemote, 0x100, buffer, 8), -1);
  EXPECT_EQ(link.LinkFileRead(Side::kRemote, 0x100, buffer, 8), -1);
  EXPECT_TRUE(std::all_of(std::begin(buffer), std::end(buffer), [](auto b) { return b == 0x55; }));
  EXPECT_EQ(link.LinkFileRead(Side::kRemote, 0x100, buffer, 8), 4);
  EXPECT_TRUE(std::all_of(buffer, buffer + 4, [](auto b) { return b == 0; }));
  EXPECT_EQ(buffer[4], 0x55);
  EXPECT_EQ(link.LinkGetHomeDrive(Side::kRemote), 'Q');
  EXPECT_TRUE(remote.program().connected());
}

TEST(ExtensionAnswersTest, BlockOfAnUnknownFormGivesUpTheLink) {
  ScriptedRemote remote({kProbeTrue, Answer(kReadRequest, Join({Le32(8), {7}, Le32(8)}))},
                        /*extensions=*/true);
  std::uint8_t buffer[8] = {};
  EXPECT_EQ(remote.link().LinkFileRead(Side::kRemote, 0x100, buffer, 8), -1);
  EXPECT_FALSE(remote.program().connected());
}

TEST(ExtensionAnswersTest, ListingBatchThatCannotBeWholeGivesUpTheLink) {
  const std::vector<std::vector<std::uint8_t>> answers = {
      Join({Le32(kMaxBatchEntries + 1), Le32(0), Stored({})}),
      // Empty, and yet the search goes on: it would be asked for ever.
      Join({Le32(0), Le32(0), Stored({})}),
      // Two entries said, one sent.
      Join({Le32(2), Le32(kErrorNoMoreFiles), Stored(Records({"A"}))}),
      // More plain bytes than a batch may hold; none follow.
      Join({Le32(1), Le32(kErrorNoMoreFiles), {0}, Le32(kMaxBatchPlain + 1)}),
      // A damaged stream.
      Join({Le32(1), Le32(kErrorNoMoreFiles), {1}, Le32(38), Le32(4), {1, 2, 3, 4}}),
  };
  for (std::size_t i = 0; i < answers.size(); ++i) {
    SCOPED_TRACE(i);
    ScriptedRemote remote({kProbeTrue, Answer(kFindFirstRequest, answers[i])}, true);
    EXPECT_EQ(remote.link().LinkFindFirst(Side::kRemote, 1, "C:\\*.*", kMaskFilesAndDirs),
              kErrorNotReady);
    EXPECT_FALSE(remote.program().connected());
  }
}

TEST(ExtensionAnswersTest, ListingBatchServesTheSearchAndPassesOverNamesThatAreNoComponent) {
  ScriptedRemote remote(
      {
          kProbeTrue,
          Answer(kFindFirstRequest,
                 Join({Le32(4), Le32(kErrorNoMoreFiles),
                       Stored(Records({"..\\OUT", "GOOD.TXT", "C:X", "LAST.TXT"}))})),
          kHomeDriveQ,
      },
      true);
  Link& link = remote.link();
  ASSERT_EQ(link.LinkFindFirst(Side::kRemote, 4, "C:\\*.*", kMaskFilesAndDirs), 0);
  EXPECT_EQ(link.SlotRecord(4).name, "GOOD.TXT");
  ASSERT_EQ(link.LinkFindNext(Side::kRemote, 4), 0);
  EXPECT_EQ(link.SlotRecord(4).name, "LAST.TXT");
  // The end came with the batch: no exchange, or the next answer would be off.
  EXPECT_EQ(link.LinkFindNext(Side::kRemote, 4), kErrorNoMoreFiles);
  EXPECT_EQ(link.LinkGetHomeDrive(Side::kRemote), 'Q');
}

TEST(ExtensionAnswersTest, SubDirectoryBatchesOutOfBoundsFailOrFallBackToThePlainList) {
  std::vector<std::uint8_t> one_entry;
  AppendSubDirEntry(SubDirEntry{"ONE", kNoSubDirs, false, 0, 0}, &one_entry);
  ScriptedRemote remote(
      {
          kProbeTrue,
          // Two names said, one sent: in step, but no list.
          Answer(kListRequest, Join({Le32(2), Stored(one_entry)})),
          // Too many for a batch: the program asks with the plain code.
          Answer(kListRequest, Le32(kSubDirsTooMany)),
          Answer(kListRequest, Join({Le32(1), Text("PLAIN")})),
          // Plain bytes far beyond the limit.
          Answer(kListRequest, Join({Le32(1), {0}, Le32(kMaxSubDirsPlain + 1)})),
      },
      true);
  Link& link = remote.link();
  std::vector<std::string> names;
  EXPECT_EQ(link.LinkListSubDirs(Side::kRemote, "C:\\", &names), -1);
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(link.LinkListSubDirs(Side::kRemote, "C:\\", &names), 1);
  EXPECT_EQ(names, std::vector<std::string>{"PLAIN"});
  EXPECT_TRUE(remote.program().connected());
  EXPECT_EQ(link.LinkListSubDirs(Side::kRemote, "C:\\", &names), -1);
  EXPECT_TRUE(names.empty());
  EXPECT_FALSE(remote.program().connected());
}

TEST(ExtensionAnswersTest, RangeCrcCoveringMoreThanAskedIsAFailure) {
  const std::string path = "C:\\F";
  std::vector<std::uint8_t> covered_too_much = Join({Le32(11), Le32(0), Le32(0x1234)});
  ScriptedRemote remote({kProbeTrue, Answer(4 + 4 + 8 + 8 + 4, covered_too_much), kHomeDriveQ},
                        true);
  std::uint32_t crc = 0xFFFFFFFFu;
  EXPECT_EQ(remote.link().LinkRangeCRC(Side::kRemote, path, 0, 10, &crc), -1);
  EXPECT_EQ(remote.link().LinkGetHomeDrive(Side::kRemote), 'Q');
}

}  // namespace
}  // namespace duplane
