// The in-process link end to end: connect, a few operations on the Remote
// Module's drive, disconnect and connect again.
#include "support/cable_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace duplane {
namespace {

namespace fs = std::filesystem;

struct TempDir {
  fs::path path;
  TempDir() {
    char pattern[] = "/tmp/duplane-fixture-XXXXXX";
    path = mkdtemp(pattern);
  }
  ~TempDir() { fs::remove_all(path); }
};

TEST(CableFixture, ConnectsServesAndReconnects) {
  TempDir local, remote;
  std::ofstream(remote.path / "HELLO.TXT") << "hello";
  CableFixture cable(local.path.string(), remote.path.string());
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(cable.Connect());
    Link& link = cable.link();
    EXPECT_EQ(link.LinkGetDrives(Side::kRemote), "C");
    EXPECT_EQ(link.LinkChDir(Side::kRemote, "C:\\"), 0);
    EXPECT_EQ(link.LinkFindFirst(Side::kRemote, 1, "C:\\*.*", 0x37), 0);
    EXPECT_EQ(link.SlotRecord(1).name, "HELLO.TXT");
    EXPECT_EQ(link.SlotRecord(1).size, 5u);
    link.LinkFindClose(Side::kRemote, 1);
    EXPECT_TRUE(link.LinkFileExists(Side::kRemote, "HELLO.TXT"));
    EXPECT_FALSE(link.LinkFileExists(Side::kLocal, "HELLO.TXT"));
    cable.Disconnect();
  }
  EXPECT_TRUE(cable.timeouts().empty());
}

}  // namespace
}  // namespace duplane
