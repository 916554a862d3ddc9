// A real duplane-remote serving a folder over a file-backed cable: files move
// both ways with matching CRCs, a refused request is followed by a working
// connection, nothing outside the folder is touched (also on a kernel without
// openat2), and a --drive folder that does not exist is a start-up error.
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>

#include "link/link.h"
#include "localfs/crc32.h"
#include "localfs/local_file_system.h"
#include "port/virtual_cable.h"
#include "support/cable_fixture.h"
#include "support/remote_process.h"
#include "support/temp_tree.h"
#include "support/test_ports.h"

namespace duplane {
namespace {

class ServedProcessTest : public ::testing::Test {
 protected:
  ServedProcessTest()
      : cable_path_(TempCablePath()),
        process_({"--cable", cable_path_, "--drive", "C=" + Share()}),
        local_files_({{'C', tree_ / "local"}}, false) {
    std::string error;
    port_ = VirtualCable::Open(cable_path_, 0, &error);
    program_ = std::make_unique<LinkLayer>(*port_, kDefaultPortBase, clock_);
    program_->SetTimeoutHandler([](const std::string&) { return TimeoutAnswer::kCancel; });
    link_ = std::make_unique<Link>(local_files_, program_.get());
  }

  ~ServedProcessTest() override { unlink(cable_path_.c_str()); }

  std::string Share() {
    for (const char* name : {"share", "outside", "local"}) MakeDir(tree_ / name);
    WriteFile(tree_ / "outside/secret", "secret");
    symlink((tree_ / "outside").c_str(), (tree_ / "share/out").c_str());
    return tree_ / "share";
  }

  bool Connect() { return SyncRemoteWithin(*program_, 20); }

  TempTree tree_;
  std::string cable_path_;
  RemoteProcess process_;
  // Real time, so no wait runs out on a busy machine; raced only where the
  // test wants a time-out.
  SteeredClock clock_;
  LocalFileSystem local_files_;
  std::unique_ptr<VirtualCable> port_;
  std::unique_ptr<LinkLayer> program_;
  std::unique_ptr<Link> link_;
};

TEST_F(ServedProcessTest, CopiesBothWaysSurvivesABadRequestAndStaysInside) {
  const std::string outside_before = Fingerprint(tree_ / "outside");
  ASSERT_TRUE(Connect()) << process_.Log();
  // Which walk keeps the paths inside is logged.
  EXPECT_NE(process_.Log().find("paths confined by "), std::string::npos) << process_.Log();
  Link& link = *link_;
  EXPECT_EQ(link.LinkGetDrives(Side::kRemote), "C");

  // 20000 bytes up in 8192-byte blocks, CRCs compared as the copy engine does.
  std::string data(20000, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 13 + i / 256);
  const std::int32_t out = link.LinkFileCreate(Side::kRemote, "C:\\up.bin");
  ASSERT_GE(out, 0);
  std::uint32_t crc = kCrcStart;
  for (std::size_t at = 0; at < data.size(); at += 8192) {
    const auto n = static_cast<std::int32_t>(std::min<std::size_t>(8192, data.size() - at));
    ASSERT_EQ(link.LinkFileWrite(Side::kRemote, out, data.data() + at, n), n);
    crc = UpdateCrc(crc, static_cast<std::uint16_t>(n), data.data() + at);
  }
  link.LinkFileClose(Side::kRemote, out);
  EXPECT_EQ(link.LinkGetCRC(Side::kRemote), crc);
  EXPECT_EQ(ReadFile(tree_ / "share/up.bin"), data);

  const std::int32_t in = link.LinkFileOpen(Side::kRemote, "C:\\up.bin", 0x40);
  std::string back;
  char block[8192];
  for (std::int32_t n; (n = link.LinkFileRead(Side::kRemote, in, block, 8192)) > 0;) back.append(block, n);
  link.LinkFileClose(Side::kRemote, in);
  EXPECT_EQ(back, data);
  EXPECT_EQ(link.LinkGetCRC(Side::kRemote), crc);

  // A header that fails its check: the module drops the connection...
  const std::uint8_t bad[3] = {0x01, 0x03, 0x03};
  program_->SendBlock(3, bad);
  clock_.set_racing(true);
  program_->WaitForAck();
  clock_.set_racing(false);
  EXPECT_FALSE(program_->connected());
  // ...and the next one works, without the handles of the last.
  ASSERT_TRUE(Connect());
  char byte;
  EXPECT_EQ(link.LinkFileRead(Side::kRemote, in, &byte, 1), -1);
  // Wine shows a Linux symbolic link to the Windows module as the directory it
  // leads to, with no sign of a link, so there the link is followed. On
  // Windows the link would be a reparse point, which the module refuses.
  if (!RemoteProcess::IsWindowsModule()) {
    EXPECT_EQ(link.LinkFileOpen(Side::kRemote, "C:\\out\\secret", 0), -1);
  }
  EXPECT_FALSE(link.LinkDeleteFile(Side::kRemote, "C:\\..\\..\\outside\\secret", kDeleteNormal));
  EXPECT_TRUE(link.LinkFileExists(Side::kRemote, "C:\\..\\up.bin"));

  link.LinkNop();
  program_->set_connected(false);
  EXPECT_TRUE(process_.WaitForLog("disconnected", 10)) << process_.Log();
  EXPECT_EQ(process_.Stop(), 0);
  EXPECT_EQ(Fingerprint(tree_ / "outside"), outside_before);
}

// Makes openat2 answer ENOSYS in this process and whatever it runs, as on a
// kernel before Linux 5.6.
void TakeAwayOpenat2() {
  struct sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_openat2, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  struct sock_fprog program = {static_cast<unsigned short>(sizeof(filter) / sizeof(filter[0])),
                               filter};
  if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
      prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) {
    _exit(126);
  }
}

TEST(ServedWithoutOpenat2Test, TheModuleWalksByNameAndStaysInside) {
  if (RemoteProcess::IsWindowsModule()) {
    GTEST_SKIP() << "a Linux kernel's system call; the Windows module walks its own way";
  }
  TempTree tree;
  for (const char* name : {"share/dir", "outside", "local"}) MakeDir(tree / name);
  WriteFile(tree / "share/dir/inner.txt", "inner");
  WriteFile(tree / "outside/secret", "secret");
  symlink((tree / "outside").c_str(), (tree / "share/out").c_str());
  symlink("../outside/secret", (tree / "share/secret_link").c_str());
  symlink("dir", (tree / "share/inside_link").c_str());
  const std::string outside_before = Fingerprint(tree / "outside");
  CableFixture::Options options;
  options.local_drives = {{'C', tree / "local"}};
  options.remote_drives = {{'C', tree / "share"}};
  options.remote_process = true;
  options.remote_process_setup = TakeAwayOpenat2;
  CableFixture served(options);
  ASSERT_TRUE(served.Connect()) << served.process()->Log();
  EXPECT_NE(served.process()->Log().find("no openat2 in this kernel"), std::string::npos)
      << served.process()->Log();

  Link& link = served.link();
  EXPECT_TRUE(link.LinkFileExists(Side::kRemote, "C:\\inside_link\\inner.txt"));
  EXPECT_EQ(link.LinkChDir(Side::kRemote, "C:\\out"), kErrorPathNotFound);
  EXPECT_EQ(link.LinkFileOpen(Side::kRemote, "C:\\secret_link", 0), -1);
  EXPECT_EQ(link.LinkFileOpen(Side::kRemote, "C:\\out\\secret", 0), -1);
  EXPECT_EQ(link.LinkFileCreate(Side::kRemote, "C:\\out\\planted"), -1);
  const std::int32_t handle = link.LinkFileCreate(Side::kRemote, "C:\\dir\\new.txt");
  EXPECT_GE(handle, 0);
  link.LinkFileClose(Side::kRemote, handle);
  EXPECT_TRUE(Exists(tree / "share/dir/new.txt"));
  served.Disconnect();
  EXPECT_EQ(Fingerprint(tree / "outside"), outside_before);
}

TEST(ServedProcessOptionsTest, MissingDriveFolderIsAStartError) {
  RemoteProcess process({"--cable", TempCablePath(), "--drive", "C=/nonexistent/duplane"});
  EXPECT_EQ(process.Wait(), 2);
  EXPECT_NE(process.Log().find("/nonexistent/duplane"), std::string::npos) << process.Log();
}

}  // namespace
}  // namespace duplane
