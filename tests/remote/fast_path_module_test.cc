// The fast path against a real module process (the Linux one, or the Windows
// one under Wine): it answers the probe, packs blocks, batches listings and the
// tree's questions, and folds range CRCs, and every answer is the one the
// plain codes and the program's own local branch give.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/extension_codes.h"
#include "localfs/crc32.h"
#include "localfs/local_file_system.h"
#include "support/module_process_link.h"
#include "support/temp_tree.h"
#include "transfer/transfer_context.h"

namespace duplane {
namespace {

constexpr std::int32_t kBlock = 8192;

std::uint32_t CrcOf(const std::string& bytes, std::size_t from, std::size_t count) {
  return UpdateCrcLong(kCrcStart, count, bytes.data() + from);
}

class FastPathModuleTest : public ::testing::Test {
 protected:
  void Serve() {
    served_ = std::make_unique<ModuleProcessLink>(
        std::vector<std::string>{"--drive", "C=" + there_.path()}, here_.path());
    ASSERT_TRUE(served_->Connect()) << served_->module().Log();
    ASSERT_TRUE(link().HasExtensions(Side::kRemote)) << served_->module().Log();
  }
  void TearDown() override {
    if (served_) {
      EXPECT_TRUE(served_->program().connected()) << served_->module().Log();
      EXPECT_EQ(served_->DisconnectAndStop(), 0) << served_->module().Log();
    }
  }
  Link& link() { return served_->link(); }
  // The same file on both sides.
  void WriteTwin(const std::string& relative, const std::string& bytes) {
    WriteFile(here_ / relative, bytes);
    WriteFile(there_ / relative, bytes);
  }

  TempTree here_{"here"};
  TempTree there_{"there"};
  std::unique_ptr<ModuleProcessLink> served_;
};

TEST_F(FastPathModuleTest, RangeCrcIsTheRunningCrcOfTheBytesOnBothSides) {
  // Past one request's span, so the range takes two exchanges.
  const std::string big = PatternBytes(static_cast<std::size_t>(kMaxRangeCrcSpan) + 3, 4);
  WriteTwin("BIG.BIN", big);
  WriteTwin("SMALL.TXT", "0123456789");
  MakeDir(there_ / "DIR");
  MakeDir(here_ / "DIR");
  Serve();

  for (const Side side : {Side::kLocal, Side::kRemote}) {
    SCOPED_TRACE(SideName(side));
    std::uint32_t crc = kCrcStart;
    EXPECT_EQ(link().LinkRangeCRC(side, "C:\\BIG.BIN", 0, 1ll << 40, &crc),
              static_cast<std::int64_t>(big.size()));
    EXPECT_EQ(crc, CrcOf(big, 0, big.size()));
    crc = kCrcStart;
    EXPECT_EQ(link().LinkRangeCRC(side, "C:\\SMALL.TXT", 3, 4, &crc), 4);
    EXPECT_EQ(crc, CrcOf("0123456789", 3, 4));
    // Continued from a value: the register goes on where it was.
    std::uint32_t split = kCrcStart;
    EXPECT_EQ(link().LinkRangeCRC(side, "C:\\SMALL.TXT", 0, 3, &split), 3);
    EXPECT_EQ(link().LinkRangeCRC(side, "C:\\SMALL.TXT", 3, 100, &split), 7);
    EXPECT_EQ(split, CrcOf("0123456789", 0, 10));
    // At or past the end nothing is folded.
    crc = 0x12345678;
    EXPECT_EQ(link().LinkRangeCRC(side, "C:\\SMALL.TXT", 10, 5, &crc), 0);
    EXPECT_EQ(link().LinkRangeCRC(side, "C:\\SMALL.TXT", 50, 5, &crc), 0);
    EXPECT_EQ(crc, 0x12345678u);
    for (const char* refused : {"C:\\MISSING.TXT", "C:\\DIR", "C:\\..\\..\\etc\\passwd"}) {
      EXPECT_EQ(link().LinkRangeCRC(side, refused, 0, 5, &crc), -1) << refused;
    }
    EXPECT_EQ(link().LinkRangeCRC(side, "C:\\SMALL.TXT", -1, 5, &crc), -1);

    // A copy's running CRC is not touched half-way through its file.
    std::string block(kBlock, '\0');
    const std::int32_t handle = link().LinkFileOpen(side, "C:\\BIG.BIN", 0x40);
    ASSERT_GE(handle, 0);
    ASSERT_EQ(link().LinkFileRead(side, handle, &block[0], kBlock), kBlock);
    crc = kCrcStart;
    link().LinkRangeCRC(side, "C:\\SMALL.TXT", 0, 10, &crc);
    EXPECT_EQ(link().LinkGetCRC(side), CrcOf(big, 0, kBlock));
    link().LinkFileClose(side, handle);
  }
}

TEST_F(FastPathModuleTest, PackedBlocksAndBatchedListingsGiveThePlainAnswers) {
  const std::string text = TextBytes(3 * kBlock + 11, 6);
  const std::string noise = PatternBytes(2 * kBlock, 7);
  WriteFile(there_ / "LIST/TEXT.TXT", text);
  for (int i = 0; i < 300; ++i) WriteFile(there_ / ("LIST/F" + std::to_string(i)), "x");
  MakeDir(there_ / "LIST/SUB/DEEPER");
  MakeDir(there_ / "LIST/LEAF");
  Serve();
  Link& l = link();

  // Written packed, read back packed: the bytes and both running CRCs agree.
  const std::string bytes = text + noise;
  const std::int32_t out = l.LinkFileCreate(Side::kRemote, "C:\\OUT.BIN");
  ASSERT_GE(out, 0);
  for (std::size_t at = 0; at < bytes.size(); at += kBlock) {
    const auto n = static_cast<std::int32_t>(std::min<std::size_t>(kBlock, bytes.size() - at));
    ASSERT_EQ(l.LinkFileWrite(Side::kRemote, out, bytes.data() + at, n), n);
  }
  ASSERT_TRUE(l.LinkFileClose(Side::kRemote, out));
  EXPECT_EQ(l.LinkGetCRC(Side::kRemote), CrcOf(bytes, 0, bytes.size()));
  EXPECT_TRUE(ReadFile(there_ / "OUT.BIN") == bytes);
  std::string back;
  std::string block(kBlock, '\0');
  const std::int32_t in = l.LinkFileOpen(Side::kRemote, "C:\\LIST\\TEXT.TXT", 0x40);
  for (std::int32_t n; (n = l.LinkFileRead(Side::kRemote, in, &block[0], kBlock)) > 0;) {
    back.append(block, 0, static_cast<std::size_t>(n));
  }
  l.LinkFileClose(Side::kRemote, in);
  EXPECT_TRUE(back == text);
  EXPECT_EQ(l.LinkGetCRC(Side::kRemote), CrcOf(text, 0, text.size()));

  // The listing and the tree, batched and plain.
  const auto list = [&l] {
    std::vector<std::string> lines;
    for (std::int32_t r = l.LinkFindFirst(Side::kRemote, 5, "C:\\LIST\\*.*", kMaskFilesAndDirs);
         r == 0; r = l.LinkFindNext(Side::kRemote, 5)) {
      const FindRecord& f = l.SlotRecord(5);
      lines.push_back(f.name + " " + std::to_string(f.size) + " " + std::to_string(f.attributes) +
                      " " + std::to_string(f.last_write_time));
    }
    l.LinkFindClose(Side::kRemote, 5);
    std::vector<std::string> names;
    l.LinkListSubDirs(Side::kRemote, "C:\\LIST", &names);
    for (const std::string& name : names) {
      std::int32_t normal = -1, open = -1;
      const bool has = l.LinkHasSubDirs(Side::kRemote, "C:\\LIST\\" + name);
      l.LinkGetIconIndex(Side::kRemote, "C:\\LIST\\" + name, &normal, &open);
      lines.push_back(name + " " + std::to_string(has) + " " + std::to_string(normal) + " " +
                      std::to_string(open));
    }
    return lines;
  };
  const std::vector<std::string> fast = list();
  l.SetExtensionsEnabled(false);
  const std::vector<std::string> plain = list();
  EXPECT_EQ(fast, plain);
  EXPECT_EQ(fast.size(), 2u + 1 + 300 + 2 + 2);
}

}  // namespace
}  // namespace duplane
