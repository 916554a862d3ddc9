// A real duplane-remote over a file-backed cable: synchronise, code 0, again;
// a program that dies in the middle of a block; bad headers and unknown codes;
// a clean exit on SIGTERM; and the option errors.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "link/link.h"
#include "link/link_layer.h"
#include "localfs/local_file_system.h"
#include "port/virtual_cable.h"
#include "support/module_process_link.h"
#include "support/remote_process.h"
#include "support/temp_tree.h"
#include "support/test_ports.h"

namespace duplane {
namespace {

class ProgramEnd {
 public:
  explicit ProgramEnd(const std::string& cable, LinkClock& clock = SystemClock()) {
    std::string error;
    port_ = VirtualCable::Open(cable, 0, &error);
    EXPECT_TRUE(port_) << error;
    link_ = std::make_unique<LinkLayer>(*port_, kDefaultPortBase, clock);
    link_->SetTimeoutHandler([](const std::string&) { return TimeoutAnswer::kCancel; });
  }
  // Synchronises, giving up after `seconds` (a test must never hang).
  bool Sync(double seconds = 20) { return SyncRemoteWithin(*link_, seconds); }
  bool Nop() {
    link_->SendCommand(0);
    link_->WaitForAck();
    const bool ok = link_->connected();
    link_->set_connected(false);
    return ok;
  }
  LinkLayer& link() { return *link_; }

 private:
  std::unique_ptr<VirtualCable> port_;
  std::unique_ptr<LinkLayer> link_;
};

struct CableFile {
  std::string path = TempCablePath();
  ~CableFile() { unlink(path.c_str()); }
};

// Watches the nibble the module shows: true once it has shown 0 and after it
// 6, the sign that it is still going round its waiting loop; false when it
// shows `never` first, or after `seconds` (a test must never hang).
bool ShowsZeroThenSix(LinkLayer& program, std::uint8_t never, double seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  bool saw_zero = false;
  while (std::chrono::steady_clock::now() < deadline) {
    const std::uint8_t nibble = program.ReadNibble();
    if (nibble == never) return false;
    if (nibble == 0) saw_zero = true;
    if (nibble == 6 && saw_zero) return true;
    std::this_thread::yield();
  }
  return false;
}

TEST(RemoteConnection, SynchronisesExchangesNopAndSynchronisesAgain) {
  CableFile cable;
  RemoteProcess remote({"--cable", cable.path});
  ASSERT_TRUE(remote.WaitForLog("waiting", 5)) << remote.Log();
  ProgramEnd program(cable.path);
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(program.Sync()) << "round " << round << "\n" << remote.Log();
    EXPECT_TRUE(program.Nop());
  }
  EXPECT_EQ(remote.Stop(), 0);
  const std::string log = remote.Log();
  EXPECT_NE(log.find("connected"), std::string::npos);
  EXPECT_NE(log.find("disconnected"), std::string::npos);
}

TEST(RemoteConnection, BadHeaderAndUnknownCodesDropBackToWaiting) {
  CableFile cable;
  RemoteProcess remote({"--cable", cable.path});
  // Real time, so the header never times out on a busy machine; raced for the
  // acknowledge, which must not come.
  SteeredClock clock;
  ProgramEnd program(cable.path, clock);
  const auto waits = [&remote] {
    const std::string log = remote.Log();
    int count = 0;
    for (std::size_t at = 0; (at = log.find("waiting for the program", at)) != std::string::npos;
         ++at) {
      ++count;
    }
    return count;
  };
  const std::uint8_t bad_headers[][3] = {
      {0x02, 0x01, 0xFE},     // first byte not 0x01
      {0x01, 0x05, 0x05},     // check byte wrong
      {0x01, 13, 13 ^ 0xFF},  // code 13 is never sent
      {0x01, 99, 99 ^ 0xFF},  // no such code
  };
  for (const auto& header : bad_headers) {
    ASSERT_TRUE(program.Sync()) << remote.Log();
    const int waits_before = waits();
    // The module does not acknowledge a request it cannot decode; a header
    // that does not even begin like one stops it at the first nibble, so the
    // rest of that one is never taken either.
    clock.set_racing(header[0] != 0x01);
    program.link().SendBlock(3, header);
    clock.set_racing(true);
    program.link().WaitForAck();
    clock.set_racing(false);
    EXPECT_FALSE(program.link().connected());
    for (int i = 0; i < 250 && waits() == waits_before; ++i) usleep(20000);
    EXPECT_GT(waits(), waits_before) << remote.Log();
  }
  ASSERT_TRUE(program.Sync(30)) << remote.Log();
  EXPECT_TRUE(program.Nop());
  EXPECT_EQ(remote.Stop(), 0);
}

TEST(RemoteConnection, ProgramKilledMidBlockLeavesModuleWaitingAfterItsTimeout) {
  CableFile cable;
  RemoteProcess remote({"--cable", cable.path});
  const pid_t child = fork();
  if (child == 0) {
    ProgramEnd program(cable.path);
    if (!program.Sync()) _exit(1);
    const std::uint8_t half_header = 0x01;
    program.link().SendBlock(1, &half_header);
    _exit(0);  // gone in the middle of the header
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  // A new program synchronises once the module has given up on the old one.
  ProgramEnd program(cable.path);
  ASSERT_TRUE(program.Sync(30)) << remote.Log();
  EXPECT_TRUE(program.Nop());
  EXPECT_NE(remote.Log().find("link lost"), std::string::npos) << remote.Log();
  EXPECT_EQ(remote.Stop(), 0);
}

// A program that ended without code 0 (a time-out Cancel, a crash) leaves the
// module waiting for a header. After an even number of exchanges the program's
// idle data value is 0x00, the same value a new program synchronises with, so
// the module must still be answering the synchronisation while it waits.
TEST(RemoteConnection, ProgramRestartedWithoutDisconnectingSynchronisesAgain) {
  CableFile cable;
  RemoteProcess remote({"--cable", cable.path});
  // Without --drive the Linux module's home is C: (= /); the Windows module
  // serves the PC's own drives and its home is the drive of its executable,
  // which under Wine is Z:, Wine's drive for the Linux root.
  const char home = RemoteProcess::IsWindowsModule() ? 'Z' : 'C';
  for (int exchanges = 0; exchanges <= 3; ++exchanges) {
    ProgramEnd program(cable.path);
    ASSERT_TRUE(program.Sync(5)) << "after " << exchanges << " exchanges\n" << remote.Log();
    LocalFileSystem files(LocalFileSystem::DefaultDrives(), false);
    Link link(files, &program.link());
    for (int i = 0; i < exchanges; ++i) EXPECT_EQ(link.LinkGetHomeDrive(Side::kRemote), home);
    // Ends without code 0.
  }
  ProgramEnd program(cable.path);
  ASSERT_TRUE(program.Sync(5)) << remote.Log();
  EXPECT_TRUE(program.Nop());
  EXPECT_EQ(remote.Stop(), 0);
}

// A program that restarts without code 0 starts a new connection even when the
// module sees it through the waiting loop's own synchronisation: whatever the
// old program left open is closed, so its handle names nothing any more and the
// file it was writing can be created again (no stale lock holds it). A safe
// copy's part file is unfinished by its name and stays, to be resumed.
TEST(RemoteConnection, RestartedProgramFindsNothingLeftOpen) {
  CableFile cable;
  TempTree served;
  RemoteProcess remote({"--cable", cable.path, "--drive", "C=" + served.path()});
  LocalFileSystem files(LocalFileSystem::DefaultDrives(), false);
  std::int32_t old_handle = -1;
  {
    ProgramEnd program(cable.path);
    ASSERT_TRUE(program.Sync(5)) << remote.Log();
    Link link(files, &program.link());
    old_handle = link.LinkFileCreate(Side::kRemote, "C:\\half.bin");
    ASSERT_GE(old_handle, 0);
    ASSERT_EQ(link.LinkFileWrite(Side::kRemote, old_handle, "abc", 3), 3);
    const std::int32_t part = link.LinkFileCreate(Side::kRemote, "C:\\copy.bin.duplane-part");
    ASSERT_GE(part, 0);
    ASSERT_EQ(link.LinkFileWrite(Side::kRemote, part, "part", 4), 4);
    // Two exchanges: the idle data value is the one a new program syncs with.
  }
  ProgramEnd program(cable.path);
  ASSERT_TRUE(program.Sync(5)) << remote.Log();
  Link link(files, &program.link());
  EXPECT_EQ(link.LinkFileWrite(Side::kRemote, old_handle, "def", 3), -1);
  // The half-written file was never finished: it went with the old connection.
  EXPECT_FALSE(link.LinkFileExists(Side::kRemote, "C:\\half.bin"));
  const std::int32_t handle = link.LinkFileCreate(Side::kRemote, "C:\\half.bin");
  EXPECT_GE(handle, 0);
  ASSERT_EQ(link.LinkFileWrite(Side::kRemote, handle, "whole", 5), 5);
  EXPECT_TRUE(link.LinkFileClose(Side::kRemote, handle));
  EXPECT_FALSE(link.LinkFileClose(Side::kRemote, handle));  // names nothing any more
  EXPECT_TRUE(program.Nop());
  EXPECT_EQ(remote.Stop(), 0);
  EXPECT_EQ(ReadFile(served / "half.bin"), "whole");
  EXPECT_EQ(ReadFile(served / "copy.bin.duplane-part"), "part");
}

// Only the synchronisation's own 0x03 opens a connection. A nibble 3 with the
// strobe bit up is a nibble of some block (say of a program still sending when
// the module gave up on it); taken for the signal, it would have the module
// serve a connection the program never opened.
TEST(RemoteConnection, NibbleThreeUnderTheStrobeDoesNotOpenAConnection) {
  CableFile cable;
  RemoteProcess remote({"--cable", cable.path});
  ASSERT_TRUE(remote.WaitForLog("waiting", 5)) << remote.Log();
  ProgramEnd program(cable.path);
  program.link().WriteData(0x00);
  ASSERT_TRUE(ShowsZeroThenSix(program.link(), 3, 30)) << remote.Log();
  program.link().WriteData(0x13);
  EXPECT_TRUE(ShowsZeroThenSix(program.link(), 3, 30)) << remote.Log();
  ASSERT_TRUE(program.Sync()) << remote.Log();
  EXPECT_TRUE(program.Nop());
  EXPECT_EQ(remote.Stop(), 0);
}

// The same nibble while a connection stands with a file open on it ends
// nothing: a module that took it for a restarted program would close the file,
// remove it unfinished and fall out of step with the program.
TEST(RemoteConnection, StrayNibbleThreeKeepsTheConnectionAndItsOpenFile) {
  TempTree served;
  ModuleProcessLink module({"--drive", "C=" + served.path()}, served.path());
  ASSERT_TRUE(module.Connect()) << module.module().Log();
  LinkLayer& program = module.program();
  const std::int32_t handle = module.link().LinkFileCreate(Side::kRemote, "C:\\open.bin");
  ASSERT_GE(handle, 0);
  // After one exchange the program's idle data value is 0x10: strobe bit up.
  ASSERT_EQ(program.data_toggle(), 0x00);
  program.WriteData(0x13);
  EXPECT_TRUE(ShowsZeroThenSix(program, 3, 30)) << module.module().Log();
  program.WriteData(0x10);
  EXPECT_EQ(module.link().LinkFileWrite(Side::kRemote, handle, "abc", 3), 3);
  EXPECT_TRUE(module.link().LinkFileClose(Side::kRemote, handle));
  EXPECT_EQ(module.DisconnectAndStop(), 0);
  EXPECT_EQ(ReadFile(served / "open.bin"), "abc");
}

TEST(RemoteOptions, BadOptionsGiveOneLineAndStatusTwo) {
  const std::vector<std::vector<std::string>> bad = {{"--bogus"},
                                                     {"--cable"},
                                                     {"--end", "2", "--cable", "/x"},
                                                     {"--lpt", "9"},
                                                     {"--drive", "C:/x", "--cable", "/x"},
                                                     {},
                                                     {"--cable", "/x", "--lpt", "1"}};
  for (const auto& args : bad) {
    RemoteProcess remote(args);
    EXPECT_EQ(remote.Wait(), 2);
    const std::string log = remote.Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  }
}

}  // namespace
}  // namespace duplane
