// Every Link operation run on twin folders: once by the program's own local
// branch and once by a real module process serving the other folder over a
// file-backed cable. Run against the Windows module (under Wine) this checks
// that it gives the Linux module's answers wherever the two systems do not
// differ by nature: the same sizes, times to the 100 ns, attributes, CRCs and
// error codes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "localfs/find_record.h"
#include "support/module_process_link.h"
#include "support/temp_tree.h"
#include "support/twin_script.h"

namespace duplane {
namespace {

// What a Windows PC answers by nature and not as the Linux branch does: its
// system image list has other icons, at other indexes, than the four the
// Linux side draws.
const std::set<std::string> kSystemIconLines = {"icons-dir", "icons-drive", "imagelist-size"};

std::string KeyOf(const std::string& line) { return line.substr(0, line.find('=')); }

// Wine keeps the archive bit of every file set whatever it is told (Windows
// clears it when the attributes say so): the module's answer after setting
// read-only and system carries it.
std::string WithoutWineArchiveBit(const std::string& line) {
  if (KeyOf(line) != "attr-after") return line;
  const long attributes = std::stol(line.substr(line.find('=') + 1));
  return "attr-after=" + std::to_string(attributes & ~static_cast<long>(kAttrArchive));
}

class ModuleTwinTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Both sides' Recycle Bins in a folder of the test's own (the Windows
    // module under Wine, too: Wine's Recycle Bin is the same Linux trash).
    static TempTree trash_home;
    setenv("XDG_DATA_HOME", trash_home.path().c_str(), 1);
  }
};

TEST_F(ModuleTwinTest, ModuleAnswersMatchTheLocalBranch) {
  TempTree here, there;
  FillTwin(here.path());
  FillTwin(there.path());
  ModuleProcessLink served({"--drive", "C=" + there.path()}, here.path());
  ASSERT_TRUE(served.Connect()) << served.module().Log();

  const std::vector<std::string> local = RunTwinScript(served.link(), Side::kLocal);
  const std::vector<std::string> remote = RunTwinScript(served.link(), Side::kRemote);
  EXPECT_TRUE(served.program().connected()) << served.module().Log();
  ASSERT_EQ(local.size(), remote.size());
  for (std::size_t i = 0; i < local.size(); ++i) {
    if (!RemoteProcess::IsWindowsModule()) {
      EXPECT_EQ(local[i], remote[i]);
    } else if (kSystemIconLines.count(KeyOf(local[i])) == 0) {
      EXPECT_EQ(local[i], WithoutWineArchiveBit(remote[i]));
    }
  }
  EXPECT_EQ(served.DisconnectAndStop(), 0) << served.module().Log();

  // The served folder changed as the local one did, and the module's own
  // files (the cable, its log) are no part of it.
  EXPECT_EQ(TreeNames(here.path()), TreeNames(there.path()));
}

}  // namespace
}  // namespace duplane
