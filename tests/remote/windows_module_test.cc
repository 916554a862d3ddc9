// What only the Windows module has to get right, over the cable from a real
// program end: names that Windows opens as devices, files that another name
// (a hard link) still holds, and names outside ASCII, which travel as UTF-8
// and must name the same file on the Windows side. Skipped for the Linux
// module, whose own tests cover its side of these rules.
#include <gtest/gtest.h>
#include <unistd.h>

#include "link/link.h"
#include "support/module_process_link.h"
#include "support/temp_tree.h"

namespace duplane {
namespace {

class WindowsModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!RemoteProcess::IsWindowsModule()) {
      GTEST_SKIP() << "the Windows module's own rules";
    }
    MakeDir(tree_ / "share");
    MakeDir(tree_ / "local");
    served_ = std::make_unique<ModuleProcessLink>(
        std::vector<std::string>{"--drive", "C=" + (tree_ / "share")}, tree_ / "local");
    ASSERT_TRUE(served_->Connect()) << served_->module().Log();
  }
  void TearDown() override {
    if (served_) {
      EXPECT_EQ(served_->DisconnectAndStop(), 0) << served_->module().Log();
    }
  }

  TempTree tree_;
  std::unique_ptr<ModuleProcessLink> served_;
};

TEST_F(WindowsModuleTest, DeviceNamesAreNeverOpenedOrCreated) {
  Link& link = served_->link();
  for (const char* device : {"C:\\NUL", "C:\\CON", "C:\\LPT1", "C:\\sub\\..\\COM1.txt"}) {
    EXPECT_EQ(link.LinkFileOpen(Side::kRemote, device, 0), -1) << device;
    EXPECT_EQ(link.LinkFileCreate(Side::kRemote, device), -1) << device;
    EXPECT_FALSE(link.LinkCreateDir(Side::kRemote, device)) << device;
  }
  // Names that Windows programs cannot hold are refused for new entries too.
  EXPECT_EQ(link.LinkFileCreate(Side::kRemote, "C:\\trailing."), -1);
  EXPECT_FALSE(link.LinkCreateDir(Side::kRemote, "C:\\space "));
  EXPECT_EQ(Fingerprint(tree_ / "share"), "");
}

// As on Linux: a wipe or a create takes this name from the data another name
// still holds, and never changes those bytes.
TEST_F(WindowsModuleTest, AFileAnotherNameHoldsIsNeitherWipedNorEmptied) {
  const std::string ledger = "the only copy of the ledger";
  for (const char* name : {"wiped.dat", "created.dat", "opened.dat"}) {
    WriteFile(tree_ / (std::string("share/") + name), ledger);
    ASSERT_EQ(link((tree_ / (std::string("share/") + name)).c_str(), (tree_ / name).c_str()), 0);
  }
  Link& link = served_->link();
  EXPECT_EQ(link.LinkFileOpen(Side::kRemote, "C:\\opened.dat", 2), -1);
  EXPECT_TRUE(link.LinkDeleteFile(Side::kRemote, "C:\\wiped.dat", kDeleteWipe));
  EXPECT_FALSE(Exists(tree_ / "share/wiped.dat"));
  const std::int32_t handle = link.LinkFileCreate(Side::kRemote, "C:\\created.dat");
  ASSERT_GE(handle, 0);
  EXPECT_EQ(link.LinkFileWrite(Side::kRemote, handle, "new", 3), 3);
  link.LinkFileClose(Side::kRemote, handle);
  EXPECT_EQ(ReadFile(tree_ / "share/created.dat"), "new");
  for (const char* name : {"wiped.dat", "created.dat", "opened.dat"}) {
    EXPECT_EQ(ReadFile(tree_ / name), ledger) << name;
  }
}

TEST_F(WindowsModuleTest, NamesOutsideAsciiTravelAsUtf8) {
  const std::string name = "M\xC3\xBCller \xE2\x80\x93 \xE6\x97\xA5\xE6\x9C\xAC.txt";
  Link& link = served_->link();
  ASSERT_TRUE(link.LinkCreateDir(Side::kRemote, "C:\\\xC3\x84rger"));
  const std::int32_t handle = link.LinkFileCreate(Side::kRemote, "C:\\\xC3\x84rger\\" + name);
  ASSERT_GE(handle, 0);
  EXPECT_EQ(link.LinkFileWrite(Side::kRemote, handle,
                               "Gr\xC3\xBC\xC3\x9F"
                               "e",
                               7),
            7);
  link.LinkFileClose(Side::kRemote, handle);
  // Wine keeps a Windows name as its UTF-8 bytes on the Linux side.
  EXPECT_EQ(ReadFile(tree_ / ("share/\xC3\x84rger/" + name)),
            "Gr\xC3\xBC\xC3\x9F"
            "e");

  ASSERT_EQ(link.LinkFindFirst(Side::kRemote, 1, "C:\\\xC3\x84rger\\*.txt", kMaskFilesOnly), 0);
  EXPECT_EQ(link.SlotRecord(1).name, name);
  EXPECT_EQ(link.SlotRecord(1).size, 7u);
  link.LinkFindClose(Side::kRemote, 1);
  // A Linux name's colon travels as its private-use twin and is a plain
  // character of a Windows name: created, listed and opened as it came.
  const std::string twin =
      "12\xEF\x80\xBA"
      "00.log";
  const std::int32_t log = link.LinkFileCreate(Side::kRemote, "C:\\" + twin);
  ASSERT_GE(log, 0);
  link.LinkFileClose(Side::kRemote, log);
  ASSERT_EQ(link.LinkFindFirst(Side::kRemote, 2, "C:\\12*", kMaskFilesOnly), 0);
  EXPECT_EQ(link.SlotRecord(2).name, twin);
  link.LinkFindClose(Side::kRemote, 2);
  EXPECT_TRUE(link.LinkFileExists(Side::kRemote, "C:\\" + twin));
  // Bytes that are no UTF-8 name nothing.
  EXPECT_EQ(link.LinkFileOpen(Side::kRemote, "C:\\\xC3\x84rger\\M\xFCller.txt", 0), -1);
  EXPECT_FALSE(link.LinkFileExists(Side::kRemote, "C:\\\xC0\xAF"));
}

// Without a named port the probe tests only what Windows lists (a write to an
// address nobody named could reach a device that is no parallel port). Wine
// lists no parallel port, so this is the answer a PC without one gets: where
// Windows was asked, and where LPT1 to LPT3 usually are, to name one.
TEST(WindowsModuleProbe, WithoutAListedPortSaysWhereItLookedAndTestsNothing) {
  if (!RemoteProcess::IsWindowsModule()) GTEST_SKIP() << "the Windows module's own list";
  RemoteProcess probe({"--probe"});
  EXPECT_EQ(probe.Wait(), 1);
  EXPECT_EQ(probe.Log(),
            "No parallel port found: Windows lists no parallel port (the Device Manager shows no "
            "LPT port under Ports (COM & LPT)); LPT1 to LPT3 are usually at 0x378, 0x278 and "
            "0x3BC. To try a port the system does not list, name it with --lpt N or --base "
            "ADDR.\r\n");  // a Windows console line
}

}  // namespace
}  // namespace duplane
