// The transfer queue's counters and "Unqueue selected" as both review dialogs
// run it.
#include <gtest/gtest.h>

#include <set>

#include "transfer/transfer_queue.h"
#include "transfer/unqueue.h"

namespace duplane {
namespace {

class UnqueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    queue_.AddFile("A.TXT", 10);
    queue_.AddDir("SUB");
    queue_.AddFile("SUB\\B.TXT", 20);
    queue_.AddDir("SUB\\DEEP\\");
    queue_.AddFile("SUB\\DEEP\\C.TXT", 5000000000LL);
    queue_.AddDir("D");
    queue_.AddDir("D2");
  }
  std::string Unqueue(std::set<std::size_t> selected) {
    return UnqueueSelected(queue_, [&](std::size_t i) { return selected.count(i) > 0; });
  }
  TransferQueue queue_;
};

TEST_F(UnqueueTest, QueueKeepsCountsAndMarksDirectoriesWithBackslash) {
  ASSERT_EQ(queue_.size(), 7u);
  EXPECT_EQ(queue_.path(1), "SUB\\");
  EXPECT_EQ(queue_.path(3), "SUB\\DEEP\\");
  EXPECT_EQ(queue_.size_text(1), "0");
  EXPECT_EQ(queue_.size_text(4), "5000000000");
  EXPECT_EQ(queue_.file_count, 3);
  EXPECT_EQ(queue_.dir_count, 4);
  EXPECT_EQ(queue_.byte_count, 5000000030LL);
  queue_.Clear();
  EXPECT_TRUE(queue_.empty());
  EXPECT_EQ(queue_.file_count + queue_.dir_count + queue_.byte_count, 0);
}

TEST_F(UnqueueTest, DirectoryWithQueuedContentsStopsTheLoop) {
  // Backwards: C.TXT goes, then SUB\ refuses because SUB\B.TXT follows it, and
  // A.TXT below it stays although selected.
  EXPECT_EQ(Unqueue({0, 1, 4}),
            "Cannot unqueue directory \"SUB\\\" unless its contents are unqueued also.");
  ASSERT_EQ(queue_.size(), 6u);
  EXPECT_EQ(queue_.path(0), "A.TXT");
  EXPECT_EQ(queue_.path(3), "SUB\\DEEP\\");
  EXPECT_EQ(queue_.file_count, 2);
  EXPECT_EQ(queue_.byte_count, 30);
  EXPECT_EQ(queue_.dir_count, 4);
}

TEST_F(UnqueueTest, DirectoryTogetherWithAllItsContentsGoes) {
  EXPECT_EQ(Unqueue({1, 2, 3, 4}), "");
  ASSERT_EQ(queue_.size(), 3u);
  EXPECT_EQ(queue_.path(1), "D\\");
  EXPECT_EQ(queue_.file_count, 1);
  EXPECT_EQ(queue_.byte_count, 10);
  EXPECT_EQ(queue_.dir_count, 2);
}

TEST_F(UnqueueTest, EmptyDirectoryFollowedBySiblingWithLongerNameGoes) {
  // "D2\" begins with "D" but not with "D\": it is no content of D.
  EXPECT_EQ(Unqueue({5}), "");
  ASSERT_EQ(queue_.size(), 6u);
  EXPECT_EQ(queue_.path(5), "D2\\");
  EXPECT_EQ(queue_.dir_count, 3);
}

TEST_F(UnqueueTest, NothingSelectedChangesNothing) {
  EXPECT_EQ(Unqueue({}), "");
  EXPECT_EQ(queue_.size(), 7u);
  EXPECT_EQ(queue_.byte_count, 5000000030LL);
}

TEST(ParseInt64Test, ReadsSignedSixtyFourBitAndRejectsJunk) {
  EXPECT_EQ(ParseInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(ParseInt64("-12"), -12);
  EXPECT_EQ(ParseInt64("12x"), 0);
  EXPECT_EQ(ParseInt64(""), 0);
  EXPECT_EQ(ParseInt64("99999999999999999999"), 0);
}

}  // namespace
}  // namespace duplane
