// Both ends on one machine (the demo, the tests) may name the very same file.
// A create "with no sharing" must then refuse to empty a file the other end
// has open for reading, or a copy onto itself would wipe out its source.
#include <gtest/gtest.h>

#include "support/cable_fixture.h"
#include "support/file_tree.h"

namespace duplane {
namespace {

TEST(FileSharing, CreateRefusesAFileOpenForReadingOnEitherEnd) {
  TempFolder shared("sharing");
  WriteFile(shared / "ONLY.TXT", "the only copy");
  CableFixture cable(shared.path(), shared.path());
  ASSERT_TRUE(cable.Connect());
  Link& link = cable.link();
  for (Side reader_side : {Side::kLocal, Side::kRemote}) {
    const std::int32_t reader = link.LinkFileOpen(reader_side, "C:\\ONLY.TXT", 0x40);
    ASSERT_GE(reader, 0);
    EXPECT_LT(link.LinkFileCreate(Other(reader_side), "C:\\ONLY.TXT"), 0);
    EXPECT_EQ(ReadFile(shared / "ONLY.TXT"), "the only copy");
    // Two readers share the file as they would on Windows.
    const std::int32_t second = link.LinkFileOpen(Other(reader_side), "C:\\ONLY.TXT", 0x40);
    EXPECT_GE(second, 0);
    link.LinkFileClose(Other(reader_side), second);
    link.LinkFileClose(reader_side, reader);
  }
  // Nobody reads it any more: the create empties it as asked, and while the
  // new file is open nobody else opens it.
  const std::int32_t writer = link.LinkFileCreate(Side::kRemote, "C:\\ONLY.TXT");
  ASSERT_GE(writer, 0);
  EXPECT_EQ(ReadFile(shared / "ONLY.TXT"), "");
  EXPECT_LT(link.LinkFileOpen(Side::kLocal, "C:\\ONLY.TXT", 0x40), 0);
  link.LinkFileClose(Side::kRemote, writer);
  cable.Disconnect();
}

}  // namespace
}  // namespace duplane
