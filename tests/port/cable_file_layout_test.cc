// The virtual cable's file is an interface other tools attach to, so its
// layout is pinned here from the outside: the test reads and writes the file
// with plain system calls and never asks the cable class where anything is.
// A cable end is only used as the thing under test.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "port/virtual_cable.h"
#include "support/remote_process.h"

namespace duplane {
namespace {

constexpr off_t kFileBytes = 4096;
constexpr off_t kDataOfEnd[2] = {0, 64};
constexpr std::uint32_t kBase = 0x278;

// The status register one end reads when the other end's data byte is `d`:
// data bits 0-4 arrive on status bits 3-7, bit 7 inverted, bits 0-2 zero.
std::uint8_t NibbleCableStatus(std::uint8_t d) {
  return static_cast<std::uint8_t>(((d & 0x0F) << 3) | ((d & 0x10) ? 0x00 : 0x80));
}

class CableFileLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override { unlink(path_.c_str()); }
  void TearDown() override {
    if (fd_ >= 0) close(fd_);
    unlink(path_.c_str());
  }

  std::unique_ptr<VirtualCable> OpenEnd(int end) {
    std::string error;
    auto cable = VirtualCable::Open(path_, end, &error, kBase);
    EXPECT_NE(cable, nullptr) << error;
    if (fd_ < 0) fd_ = open(path_.c_str(), O_RDWR);
    return cable;
  }
  std::vector<std::uint8_t> FileBytes() {
    std::vector<std::uint8_t> bytes(kFileBytes + 1);
    const ssize_t n = pread(fd_, bytes.data(), bytes.size(), 0);
    bytes.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    return bytes;
  }
  void PutByte(off_t offset, std::uint8_t value) { ASSERT_EQ(pwrite(fd_, &value, 1, offset), 1); }

  std::string path_ = TempCablePath();
  int fd_ = -1;
};

TEST_F(CableFileLayoutTest, FreshFileIsFourKilobytesOfZerosAndEachEndWritesItsOwnByteOnly) {
  auto end0 = OpenEnd(0);
  auto end1 = OpenEnd(1);
  ASSERT_TRUE(end0 && end1);
  EXPECT_EQ(FileBytes(), std::vector<std::uint8_t>(kFileBytes, 0));
  // An all-zero file shows each end nibble 0 with status bit 7 set.
  EXPECT_EQ(end0->ReadPort(kBase + 1), 0x80);
  EXPECT_EQ(end1->ReadPort(kBase + 1), 0x80);

  end0->WritePort(kBase, 0xA5);
  end1->WritePort(kBase, 0x3C);
  end0->WritePort(kBase + 2, 0xFF);  // control: accepted, no effect
  end1->WritePort(kBase + 2, 0xFF);
  end0->WritePort(kBase + 3, 0x77);  // no register there
  std::vector<std::uint8_t> expected(kFileBytes, 0);
  expected[kDataOfEnd[0]] = 0xA5;
  expected[kDataOfEnd[1]] = 0x3C;
  EXPECT_EQ(FileBytes(), expected);
  // The data register reads back the end's own byte; other addresses 0xFF.
  EXPECT_EQ(end0->ReadPort(kBase), 0xA5);
  EXPECT_EQ(end1->ReadPort(kBase), 0x3C);
  EXPECT_EQ(end0->ReadPort(kBase + 3), 0xFF);
  EXPECT_EQ(end1->ReadPort(kBase - 1), 0xFF);
}

TEST_F(CableFileLayoutTest, StatusFollowsTheOtherEndsByteInTheFileForEveryValue) {
  auto end0 = OpenEnd(0);
  auto end1 = OpenEnd(1);
  ASSERT_TRUE(end0 && end1);
  for (int value = 0; value < 256; ++value) {
    const auto d = static_cast<std::uint8_t>(value);
    PutByte(kDataOfEnd[1], d);
    EXPECT_EQ(end0->ReadPort(kBase + 1), NibbleCableStatus(d)) << "end 1 data " << value;
    PutByte(kDataOfEnd[0], d);
    EXPECT_EQ(end1->ReadPort(kBase + 1), NibbleCableStatus(d)) << "end 0 data " << value;
  }
}

TEST_F(CableFileLayoutTest, ShorterFileIsExtendedWithZerosAndKeepsWhatItHeld) {
  fd_ = open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
  ASSERT_GE(fd_, 0);
  PutByte(kDataOfEnd[1], 0x13);  // a file of 65 bytes, end 1 showing 0x13
  auto end0 = OpenEnd(0);
  ASSERT_TRUE(end0);
  std::vector<std::uint8_t> expected(kFileBytes, 0);
  expected[kDataOfEnd[1]] = 0x13;
  EXPECT_EQ(FileBytes(), expected);
  EXPECT_EQ(end0->ReadPort(kBase + 1), NibbleCableStatus(0x13));
  end0.reset();
  struct stat info {};
  ASSERT_EQ(fstat(fd_, &info), 0);
  EXPECT_EQ(info.st_size, kFileBytes);  // never truncated
}

}  // namespace
}  // namespace duplane
