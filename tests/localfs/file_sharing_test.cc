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
  for (bool reader_local : {true, false}) {
    const std::int32_t reader = link.LinkFileOpen(reader_local, "C:\\ONLY.TXT", 0x40);
    ASSERT_GE(reader, 0);
    EXPECT_LT(link.LinkFileCreate(!reader_local, "C:\\ONLY.TXT"), 0);
    EXPECT_EQ(ReadFile(shared / "ONLY.TXT"), "the only copy");
    // Two readers share the file as they would on Windows.
    const std::int32_t second = link.LinkFileOpen(!reader_local, "C:\\ONLY.TXT", 0x40);
    EXPECT_GE(second, 0);
    link.LinkFileClose(!reader_local, second);
    link.LinkFileClose(reader_local, reader);
  }
  // Nobody reads it any more: the create empties it as asked, and while the
  // new file is open nobody else opens it.
  const std::int32_t writer = link.LinkFileCreate(false, "C:\\ONLY.TXT");
  ASSERT_GE(writer, 0);
  EXPECT_EQ(ReadFile(shared / "ONLY.TXT"), "");
  EXPECT_LT(link.LinkFileOpen(true, "C:\\ONLY.TXT", 0x40), 0);
  link.LinkFileClose(false, writer);
  cable.Disconnect();
}

}  // namespace
}  // namespace duplane
