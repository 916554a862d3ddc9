// The copy engine's pure parts: the overwrite table, the progress percentages
// in 64-bit arithmetic, the prompt's date texts and the transfer rate.
#include <gtest/gtest.h>

#include "transfer/overwrite.h"
#include "transfer/transfer_rate.h"

namespace duplane {
namespace {

std::int32_t PackDos(int year, int month, int day, int hour, int minute, int second) {
  const std::uint32_t date = ((year - 1980) << 9) | (month << 5) | day;
  const std::uint32_t time = (hour << 11) | (minute << 5) | (second / 2);
  return static_cast<std::int32_t>((date << 16) | time);
}

TEST(DecideOverwriteTest, FiveModesAgainstMissingOlderSameAndNewerTargets) {
  const std::int32_t date = PackDos(2020, 5, 1, 12, 0, 0);
  const std::int32_t older = PackDos(2019, 5, 1, 12, 0, 0);
  const std::int32_t newer = PackDos(2021, 5, 1, 12, 0, 0);
  using D = Decision;
  struct Row {
    std::int32_t mode;
    D missing, target_older, same, target_newer;
  } rows[] = {
      {kOverwritePrompt, D::kCopy, D::kAsk, D::kAsk, D::kAsk},
      {kOverwriteAlways, D::kCopy, D::kCopy, D::kCopy, D::kCopy},
      {kOverwriteNever, D::kCopy, D::kSkip, D::kSkip, D::kSkip},
      {kOverwriteFreshen, D::kSkip, D::kCopy, D::kSkip, D::kSkip},
      {kOverwriteUpdate, D::kCopy, D::kCopy, D::kSkip, D::kSkip},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.mode);
    EXPECT_EQ(DecideOverwrite(row.mode, false, 0, 0), row.missing);
    EXPECT_EQ(DecideOverwrite(row.mode, true, date, older), row.target_older);
    EXPECT_EQ(DecideOverwrite(row.mode, true, date, date), row.same);
    EXPECT_EQ(DecideOverwrite(row.mode, true, date, newer), row.target_newer);
  }
  EXPECT_TRUE(ModeNeedsDates(kOverwritePrompt));
  EXPECT_TRUE(ModeNeedsDates(kOverwriteFreshen));
  EXPECT_TRUE(ModeNeedsDates(kOverwriteUpdate));
  EXPECT_FALSE(ModeNeedsDates(kOverwriteAlways));
  EXPECT_FALSE(ModeNeedsDates(kOverwriteNever));
}

TEST(DecideOverwriteTest, DatesFrom2044OnAreStillNewer) {
  // From 2044 the packed date sets bit 31; a signed comparison would call such
  // a file older than one from 2020 and Update would skip it.
  const std::int32_t late = PackDos(2050, 1, 1, 0, 0, 0);
  ASSERT_LT(late, 0);
  const std::int32_t early = PackDos(2020, 1, 1, 0, 0, 0);
  EXPECT_EQ(DecideOverwrite(kOverwriteUpdate, true, late, early), Decision::kCopy);
  EXPECT_EQ(DecideOverwrite(kOverwriteFreshen, true, early, late), Decision::kSkip);
}

TEST(FormatDosDateTimeTest, WritesDateTwoSpacesAndTime) {
  EXPECT_EQ(FormatDosDateTime(PackDos(2026, 12, 8, 15, 4, 6)), "2026-12-08  15:04:06");
  EXPECT_EQ(FormatDosDateTime(PackDos(1980, 1, 1, 0, 0, 0)), "1980-01-01  00:00:00");
  EXPECT_EQ(FormatDosDateTime(PackDos(2107, 12, 31, 23, 59, 58)), "2107-12-31  23:59:58");
}

TEST(ProgressPercentTest, SixtyFourBitArithmeticBeyondFourGiB) {
  const std::int64_t size = 5LL << 30;               // 5 GiB
  EXPECT_EQ(ProgressPercent(size - 8192, size), 1);  // the division truncates
  EXPECT_EQ(ProgressPercent(3LL << 30, size), 40);   // 3 GiB * 100 overflows 32 bits
  EXPECT_EQ(ProgressPercent(size / 2, size), 50);
  EXPECT_EQ(ProgressPercent(1, size), 100);
  EXPECT_EQ(ProgressPercent(0, size), 100);
  const std::int64_t run = 40LL << 30;  // a run larger than 32 GiB
  EXPECT_EQ(ProgressPercent(run - (4LL << 30), run), 10);
}

TEST(ProgressPercentTest, ZeroTotalAndOvershootStayInRange) {
  EXPECT_EQ(ProgressPercent(0, 0), 100);
  EXPECT_EQ(ProgressPercent(-8192, 0), 100);  // files grew since gathering
  EXPECT_EQ(ProgressPercent(-8192, 100), 100);
  EXPECT_EQ(ProgressPercent(200, 100), 0);
  EXPECT_EQ(ProgressPercent(5, -3), 100);
}

TEST(TransferRateTest, RateOverTheLastSecondsAndTimeLeft) {
  TransferRate rate;
  rate.Start(0);
  EXPECT_EQ(rate.BytesPerSecond(), -1);
  rate.Add(100, 1000);
  EXPECT_EQ(rate.BytesPerSecond(), -1);  // too little time seen yet
  rate.Add(1000, 9000);
  EXPECT_EQ(rate.BytesPerSecond(), 10000);
  EXPECT_EQ(rate.SecondsLeft(25000), 3);  // 2.5 s rounded up
  EXPECT_EQ(rate.SecondsLeft(0), 0);
  // A stall longer than the window brings the rate down to 0: time unknown.
  rate.Add(7000, 0);
  EXPECT_EQ(rate.BytesPerSecond(), 0);
  EXPECT_EQ(rate.SecondsLeft(1), -1);
  // Old samples no longer count: only the bytes since the stall do.
  rate.Add(8000, 70000);
  EXPECT_EQ(rate.BytesPerSecond(), 10000);
}

TEST(TransferRateTest, LargeAmountsDoNotOverflow) {
  TransferRate rate;
  rate.Start(0);
  rate.Add(4000, 400LL << 30);
  EXPECT_EQ(rate.BytesPerSecond(), 100LL << 30);
  EXPECT_EQ(rate.SecondsLeft(1LL << 40), 11);
}

TEST(TransferRateTest, Texts) {
  EXPECT_EQ(FormatRate(-1), "");
  EXPECT_EQ(FormatRate(512), "512 B/s");
  EXPECT_EQ(FormatRate(100 * 1024), "100 KB/s");
  EXPECT_EQ(FormatRate(3 * 1024 * 1024 / 2), "1.5 MB/s");
  EXPECT_EQ(FormatTimeLeft(-1), "");
  EXPECT_EQ(FormatTimeLeft(42), "0:42");
  EXPECT_EQ(FormatTimeLeft(3729), "1:02:09");
}

}  // namespace
}  // namespace duplane
