// Every Link operation run twice on twin folders: once on Side::kLocal
// and once through a Remote Module over the virtual cable. Both runs must give
// the same results (handles and creation times aside), which checks the wire
// layouts of both ends against the local branch.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "localfs/file_times.h"
#include "localfs/local_file_system.h"
#include "support/cable_fixture.h"
#include "support/temp_tree.h"
#include "support/twin_script.h"

namespace duplane {
namespace {

class TwinTreeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static TempTree trash_home;
    setenv("XDG_DATA_HOME", trash_home.path().c_str(), 1);
  }
};

TEST_F(TwinTreeTest, RemoteAnswersMatchTheLocalBranch) {
  TempTree here, there;
  FillTwin(here.path());
  FillTwin(there.path());
  CableFixture served(here.path(), there.path());
  ASSERT_TRUE(served.Connect());
  const std::vector<std::string> local = RunTwinScript(served.link(), Side::kLocal);
  const std::vector<std::string> remote = RunTwinScript(served.link(), Side::kRemote);
  EXPECT_TRUE(served.program_link().connected());
  ASSERT_EQ(local.size(), remote.size());
  for (std::size_t i = 0; i < local.size(); ++i) EXPECT_EQ(local[i], remote[i]);
  EXPECT_EQ(Fingerprint(here.path()).size() > 0, true);
  served.Disconnect();

  // The remote tree changed the same way as the local one.
  EXPECT_EQ(TreeNames(here.path()), TreeNames(there.path()));
}

TEST_F(TwinTreeTest, DrivesArriveInLetterOrder) {
  TempTree tree;
  for (const char* name : {"a", "c", "d"}) MakeDir(tree / name);
  CableFixture served(CableFixture::Options{
      {{'C', tree / "c"}}, {{'D', tree / "d"}, {'A', tree / "a"}, {'C', tree / "c"}}, nullptr});
  ASSERT_TRUE(served.Connect());
  EXPECT_EQ(served.link().LinkGetDrives(Side::kRemote), "ACD");
  EXPECT_EQ(served.link().LinkGetHomeDrive(Side::kRemote), 'A');
  EXPECT_EQ(served.link().LinkGetDir(Side::kRemote, 4), "D:\\");
  served.Disconnect();
}

}  // namespace
}  // namespace duplane
