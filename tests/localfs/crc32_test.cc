// The running CRC: table, check values, and the empty fold.
#include "localfs/crc32.h"

#include <gtest/gtest.h>

namespace duplane {
namespace {

TEST(Crc32, TableIsTheReflectedIeeeTable) {
  EXPECT_EQ(CrcTable()[0], 0u);
  EXPECT_EQ(CrcTable()[1], 0x77073096u);
  EXPECT_EQ(CrcTable()[128], 0xEDB88320u);
  EXPECT_EQ(CrcTable()[255], 0x2D02EF8Du);
}

TEST(Crc32, CheckValuesAreComplementsOfTheStandardOnes) {
  EXPECT_EQ(UpdateCrc(kCrcStart, 3, "abc"), 0xCADBBE3Du);
  EXPECT_EQ(UpdateCrc(kCrcStart, 9, "123456789"), 0x340BC6D9u);
  // Folding in two pieces gives the same value as in one.
  EXPECT_EQ(UpdateCrc(UpdateCrc(kCrcStart, 4, "1234"), 5, "56789"), 0x340BC6D9u);
}

TEST(Crc32, EmptyFoldLeavesTheValue) {
  EXPECT_EQ(UpdateCrc(0x12345678u, 0, "ignored"), 0x12345678u);
}

}  // namespace
}  // namespace duplane
