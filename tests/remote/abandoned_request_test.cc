// A request the program did not finish is never carried out. A program whose
// wait for the Remote Module ran out (a busy machine, a slow disk) gives up one
// nibble short of the end of a request; the module is still waiting for that
// nibble. Whatever that end of the cable shows next, the given-up program's own
// writes or the 0x00 of a restarted program's synchronisation, must not reach
// the module as the missing nibble and get a block of file data written with
// a nibble nobody sent. And the files the lost connection had created and not
// finished go with it, on the Windows module as on the Linux one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "link/link.h"
#include "link/packed_block.h"
#include "localfs/local_file_system.h"
#include "port/virtual_cable.h"
#include "remote/remote_module.h"
#include "support/remote_process.h"
#include "support/temp_tree.h"
#include "support/test_ports.h"

namespace duplane {
namespace {

constexpr std::uint16_t kBase = kDefaultPortBase;

// The program's end of the cable. From a chosen data write on, the program
// misses the module's acknowledge: the module takes the nibble and answers, but
// the answer comes a moment too late, and the program keeps seeing the status
// from before while its clock moves a second per look, so its wait runs out.
class LateAckPort : public PortAccess {
 public:
  LateAckPort(PortAccess& inner, ManualClock& clock) : inner_(inner), clock_(clock) {}
  std::uint8_t ReadPort(std::uint32_t address) override {
    if (!late_ || address != kBase + 1u) return inner_.ReadPort(address);
    if (!ack_arrived_) ack_arrived_ = WaitForAck();
    clock_.now += 1000;
    return stale_status_;
  }
  void WritePort(std::uint32_t address, std::uint8_t value) override {
    if (address == kBase && ++data_writes_ == late_from_) {
      stale_status_ = inner_.ReadPort(kBase + 1u);
      late_ = true;
    }
    inner_.WritePort(address, value);
  }
  // The acknowledge of the data write `writes` from now comes too late.
  void AckLateAfter(std::uint64_t writes) { late_from_ = data_writes_ + writes; }

 private:
  bool WaitForAck() {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (inner_.ReadPort(kBase + 1u) == stale_status_) {
      if (std::chrono::steady_clock::now() > until) return false;
      std::this_thread::yield();
    }
    return true;
  }

  PortAccess& inner_;
  ManualClock& clock_;
  std::uint64_t data_writes_ = 0;
  std::uint64_t late_from_ = 0;
  bool late_ = false;
  bool ack_arrived_ = false;
  std::uint8_t stale_status_ = 0;
};

// Returns once the module has read the status register a few times after the
// call: whatever the program's end showed before the call, it has seen.
bool ModuleLooked(const RecordingPort& module_port) {
  const std::uint64_t from = module_port.reads;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (module_port.reads < from + 3) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::yield();
  }
  return true;
}

class AbandonedRequestTest : public ::testing::Test {
 protected:
  AbandonedRequestTest()
      : cable_(VirtualCable::CreatePair(kBase)),
        module_port_(*cable_.second),
        late_port_(*cable_.first, program_clock_),
        local_files_({{'C', tree_ / "local"}}, false),
        remote_files_({{'C', Share()}}, true),
        module_(
            module_port_, kBase, remote_files_, [this](const std::string& line) { Log(line); },
            module_clock_),
        program_(late_port_, kBase, program_clock_),
        link_(local_files_, &program_) {
    program_.SetTimeoutHandler([](const std::string&) { return TimeoutAnswer::kCancel; });
    module_thread_ = std::thread([this] { module_.Serve(stop_); });
  }

  ~AbandonedRequestTest() override {
    stop_ = true;
    // A module still inside a wait gives it up and sees the stop.
    module_clock_.Resume(LinkLayer::kTimeoutMs + 1);
    module_thread_.join();
  }

  std::string Share() {
    MakeDir(tree_ / "local");
    MakeDir(tree_ / "share");
    return tree_ / "share";
  }

  void Log(const std::string& line) {
    std::lock_guard<std::mutex> lock(log_mutex_);
    log_ += line + "\n";
  }
  std::string ModuleLog() {
    std::lock_guard<std::mutex> lock(log_mutex_);
    return log_;
  }

  // Synchronises a program end that has just started on this cable, as a
  // restarted program does. The module's clock stands still until the module
  // has looked at the synchronisation's first 0x00; then ten seconds pass for
  // it at once, so it gives up whatever it was waiting for and answers.
  bool RestartedProgramConnects(LinkLayer& restarted) {
    restarted.set_connected(true);
    restarted.set_cancel(false);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool module_saw_it = false;
    restarted.SetPumpEvents([&] {
      if (!module_saw_it) {
        module_saw_it = true;
        if (!ModuleLooked(module_port_)) restarted.set_cancel(true);
        module_clock_.Resume(LinkLayer::kTimeoutMs + 1);
      }
      if (std::chrono::steady_clock::now() > until) restarted.set_cancel(true);
    });
    restarted.SyncRemote();
    restarted.set_connected(!restarted.cancel());
    return restarted.connected();
  }

  TempTree tree_;
  std::pair<std::unique_ptr<VirtualCable>, std::unique_ptr<VirtualCable>> cable_;
  RecordingPort module_port_;
  ManualClock program_clock_;
  SteeredClock module_clock_;
  LateAckPort late_port_;
  LocalFileSystem local_files_;
  LocalFileSystem remote_files_;
  RemoteModule module_;
  LinkLayer program_;
  Link link_;
  std::atomic<bool> stop_{false};
  std::thread module_thread_;
  std::mutex log_mutex_;
  std::string log_;
};

// Both phases of the missing nibble's strobe: with one the given-up program's
// own next write would complete the request, with the other the restarted
// program's 0x00.
class AbandonedWriteTest : public AbandonedRequestTest,
                           public ::testing::WithParamInterface<std::uint8_t> {
 protected:
  void SetUp() override {
    if (RemoteProcess::IsWindowsModule())
      GTEST_SKIP() << "a module in this process, not the Windows one";
  }
};

// The write of `block` that the program gives up one nibble short of its end;
// -1 and a lost link, as the program sees it. The program's toggle is put in
// the phase `last_nibble_toggle` asks for first: every exchange flips it once,
// and the request has an even number of nibbles, so its last one carries the
// opposite of the toggle it starts with.
std::int32_t WriteAbandonedOneNibbleShort(Link& link, LinkLayer& program, LateAckPort& late_port,
                                          std::int32_t handle, const std::string& block,
                                          std::uint8_t last_nibble_toggle) {
  // Header 3, handle 4, count 4, then the data bytes; between two Duplane ends
  // (asked first, so the probe is behind us) the data goes as a packed block.
  std::size_t request = 3 + 4 + 4 + block.size();
  if (link.HasExtensions(Side::kRemote)) {
    const Packed packed = Pack(block.data(), block.size());
    request = 3 + 4 + 4 + 1 + 4 +
              (packed.form == kPackDeflated ? 4 + packed.deflated.size() : block.size());
  }
  if (program.data_toggle() == last_nibble_toggle) link.LinkGetCRC(Side::kRemote);
  EXPECT_NE(program.data_toggle(), last_nibble_toggle);
  // The module takes the second last nibble of the request (two nibbles a
  // byte) but the program misses its acknowledge and gives up.
  late_port.AckLateAfter(2 * request - 1);
  return link.LinkFileWrite(Side::kRemote, handle, block.data(),
                            static_cast<std::int32_t>(block.size()));
}

TEST_P(AbandonedWriteTest, BlockOneNibbleShortIsNeverWritten) {
  const std::uint8_t last_nibble_toggle = GetParam();
  ASSERT_TRUE(SyncRemoteWithin(program_, 10)) << ModuleLog();
  // An existing file opened for writing: a lost connection keeps it (only
  // files it created are dropped as unfinished), so what the module wrote to
  // it stays visible.
  const std::string head = "written whole";
  WriteFile(tree_ / "share/part.bin", head);
  const std::int32_t handle = link_.LinkFileOpen(Side::kRemote, "C:\\part.bin", 1);
  ASSERT_GE(handle, 0);
  ASSERT_EQ(link_.LinkFileSeek(Side::kRemote, handle, 0, 2),
            static_cast<std::int64_t>(head.size()));
  // The module's clock stands still, so it waits for the last nibble.
  module_clock_.Stop();
  EXPECT_EQ(WriteAbandonedOneNibbleShort(link_, program_, late_port_, handle,
                                         std::string(32, '\xAB'), last_nibble_toggle),
            -1);
  EXPECT_FALSE(program_.connected());
  ASSERT_TRUE(ModuleLooked(module_port_));

  LinkLayer restarted(*cable_.first, kBase);
  Link restarted_link(local_files_, &restarted);
  ASSERT_TRUE(RestartedProgramConnects(restarted)) << ModuleLog();
  EXPECT_EQ(ReadFile(tree_ / "share/part.bin"), head) << ModuleLog();
  EXPECT_NE(ModuleLog().find("link lost"), std::string::npos) << ModuleLog();
  // The new connection works, and the old one's handle names nothing.
  EXPECT_TRUE(restarted_link.LinkFileExists(Side::kRemote, "C:\\part.bin"));
  EXPECT_EQ(restarted_link.LinkFileWrite(Side::kRemote, handle, "x", 1), -1);
}

INSTANTIATE_TEST_SUITE_P(BothStrobePhases, AbandonedWriteTest, ::testing::Values(0x00, 0x10));

// The same against a real module process, the Windows one too: its own clock
// runs, so it gives the request up after its ten seconds while a restarted
// program is already synchronising. What the lost connection had created and
// not finished is gone; what it had only opened keeps what was sent whole.
class AbandonedProcessWriteTest : public ::testing::TestWithParam<std::uint8_t> {
 protected:
  AbandonedProcessWriteTest()
      : module_({"--cable", cable_path_, "--drive", "C=" + Share()}),
        port_(VirtualCable::Open(cable_path_, 0, nullptr)),
        late_port_(*port_, program_clock_),
        program_(late_port_, kBase, program_clock_),
        local_files_({{'C', tree_ / "local"}}, false),
        link_(local_files_, &program_) {
    program_.SetTimeoutHandler([](const std::string&) { return TimeoutAnswer::kCancel; });
  }
  ~AbandonedProcessWriteTest() override {
    module_.Stop();
    unlink(cable_path_.c_str());
  }

  std::string Share() {
    MakeDir(tree_ / "local");
    MakeDir(tree_ / "share");
    return tree_ / "share";
  }

  TempTree tree_;
  std::string cable_path_ = TempCablePath();
  RemoteProcess module_;
  std::unique_ptr<VirtualCable> port_;
  // Time stands still for the program until it is late: no wait of its own
  // runs out while the module (under Wine, say) takes its time.
  ManualClock program_clock_;
  LateAckPort late_port_;
  LinkLayer program_;
  LocalFileSystem local_files_;
  Link link_;
};

TEST_P(AbandonedProcessWriteTest, UnfinishedFilesGoAndTheShortBlockIsNeverWritten) {
  ASSERT_TRUE(SyncRemoteWithin(program_, 60)) << module_.Log();
  const std::int32_t made = link_.LinkFileCreate(Side::kRemote, "C:\\made.bin");
  ASSERT_GE(made, 0);
  ASSERT_EQ(link_.LinkFileWrite(Side::kRemote, made, "half", 4), 4);
  const std::string head = "written whole";
  WriteFile(tree_ / "share/part.bin", head);
  const std::int32_t handle = link_.LinkFileOpen(Side::kRemote, "C:\\part.bin", 1);
  ASSERT_GE(handle, 0);
  ASSERT_EQ(link_.LinkFileSeek(Side::kRemote, handle, 0, 2),
            static_cast<std::int64_t>(head.size()));

  EXPECT_EQ(WriteAbandonedOneNibbleShort(link_, program_, late_port_, handle,
                                         std::string(32, '\xAB'), GetParam()),
            -1);
  EXPECT_FALSE(program_.connected());

  // A program started again synchronises as soon as the module has given up.
  LinkLayer restarted(*port_, kBase);
  restarted.SetTimeoutHandler([](const std::string&) { return TimeoutAnswer::kCancel; });
  ASSERT_TRUE(SyncRemoteWithin(restarted, 120)) << module_.Log();
  EXPECT_NE(module_.Log().find("link lost"), std::string::npos) << module_.Log();
  EXPECT_EQ(ReadFile(tree_ / "share/part.bin"), head);
  EXPECT_FALSE(Exists(tree_ / "share/made.bin"));
  LocalFileSystem files({{'C', tree_ / "local"}}, false);
  Link restarted_link(files, &restarted);
  EXPECT_TRUE(restarted_link.LinkFileExists(Side::kRemote, "C:\\part.bin"));
  EXPECT_FALSE(restarted_link.LinkFileExists(Side::kRemote, "C:\\made.bin"));
  EXPECT_EQ(restarted_link.LinkFileWrite(Side::kRemote, handle, "x", 1), -1);
  restarted_link.LinkNop();
}

INSTANTIATE_TEST_SUITE_P(BothStrobePhases, AbandonedProcessWriteTest,
                         ::testing::Values(0x00, 0x10));

}  // namespace
}  // namespace duplane
