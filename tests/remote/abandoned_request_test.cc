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
#include "support/cable_fixture.h"
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

// The program's C: is tree/local and the module's tree/share; the program's
// end runs on `program_clock` behind a LateAckPort, given out in `late_port`.
CableFixture::Options LateAckOptions(const TempTree& tree, ManualClock& program_clock,
                                     LateAckPort** late_port) {
  MakeDir(tree / "local");
  MakeDir(tree / "share");
  CableFixture::Options options;
  options.local_drives = {{'C', tree / "local"}};
  options.remote_drives = {{'C', tree / "share"}};
  options.program_clock = &program_clock;
  options.wrap_program_port = [&program_clock, late_port](PortAccess& inner) {
    auto port = std::make_unique<LateAckPort>(inner, program_clock);
    *late_port = port.get();
    return port;
  };
  return options;
}

class AbandonedRequestTest : public ::testing::Test {
 protected:
  AbandonedRequestTest()
      : cable_(Options()), program_(cable_.program_link()), link_(cable_.link()) {}

  ~AbandonedRequestTest() override {
    // A module still inside a wait gives it up and then sees the stop.
    module_clock_.Resume(LinkLayer::kTimeoutMs + 1);
  }

  CableFixture::Options Options() {
    CableFixture::Options options = LateAckOptions(tree_, program_clock_, &late_port_);
    options.wrap_remote_port = [this](PortAccess& inner) {
      auto port = std::make_unique<RecordingPort>(inner);
      module_port_ = port.get();
      return port;
    };
    options.remote_clock = &module_clock_;
    options.remote_log = [this](const std::string& line) { Log(line); };
    return options;
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
        if (!ModuleLooked(*module_port_)) restarted.set_cancel(true);
        module_clock_.Resume(LinkLayer::kTimeoutMs + 1);
      }
      if (std::chrono::steady_clock::now() > until) restarted.set_cancel(true);
    });
    restarted.SyncRemote();
    restarted.set_connected(!restarted.cancel());
    return restarted.connected();
  }

  TempTree tree_;
  ManualClock program_clock_;
  SteeredClock module_clock_;
  std::mutex log_mutex_;
  std::string log_;
  LateAckPort* late_port_ = nullptr;
  RecordingPort* module_port_ = nullptr;
  CableFixture cable_;
  LinkLayer& program_;
  Link& link_;
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

constexpr char kPartHead[] = "written whole";

// share/part.bin, an existing file, opened for writing on the Remote PC with
// the handle at its end; -1 when that failed. A lost connection keeps a file
// it only opened (only those it created go as unfinished), so what the module
// wrote to it stays visible.
std::int32_t OpenPartAtItsEnd(Link& link, const TempTree& tree) {
  WriteFile(tree / "share/part.bin", kPartHead);
  const std::int32_t handle = link.LinkFileOpen(Side::kRemote, "C:\\part.bin", kOpenWrite);
  const auto size = static_cast<std::int64_t>(sizeof(kPartHead) - 1);
  if (handle < 0 || link.LinkFileSeek(Side::kRemote, handle, 0, kSeekEnd) != size) return -1;
  return handle;
}

TEST_P(AbandonedWriteTest, BlockOneNibbleShortIsNeverWritten) {
  const std::uint8_t last_nibble_toggle = GetParam();
  ASSERT_TRUE(SyncRemoteWithin(program_, 10)) << ModuleLog();
  const std::int32_t handle = OpenPartAtItsEnd(link_, tree_);
  ASSERT_GE(handle, 0);
  // The module's clock stands still, so it waits for the last nibble.
  module_clock_.Stop();
  EXPECT_EQ(WriteAbandonedOneNibbleShort(link_, program_, *late_port_, handle,
                                         std::string(32, '\xAB'), last_nibble_toggle),
            -1);
  EXPECT_FALSE(program_.connected());
  ASSERT_TRUE(ModuleLooked(*module_port_));

  LinkLayer restarted(cable_.program_cable(), kBase);
  Link restarted_link(cable_.local_files(), &restarted);
  ASSERT_TRUE(RestartedProgramConnects(restarted)) << ModuleLog();
  EXPECT_EQ(ReadFile(tree_ / "share/part.bin"), kPartHead) << ModuleLog();
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
      : cable_([this] {
          CableFixture::Options options = LateAckOptions(tree_, program_clock_, &late_port_);
          options.remote_process = true;
          return options;
        }()),
        program_(cable_.program_link()),
        link_(cable_.link()) {}

  std::string ModuleLog() { return cable_.process()->Log(); }

  TempTree tree_;
  // Time stands still for the program until it is late: no wait of its own
  // runs out while the module (under Wine, say) takes its time.
  ManualClock program_clock_;
  LateAckPort* late_port_ = nullptr;
  CableFixture cable_;
  LinkLayer& program_;
  Link& link_;
};

TEST_P(AbandonedProcessWriteTest, UnfinishedFilesGoAndTheShortBlockIsNeverWritten) {
  ASSERT_TRUE(SyncRemoteWithin(program_, 60)) << ModuleLog();
  const std::int32_t made = link_.LinkFileCreate(Side::kRemote, "C:\\made.bin");
  ASSERT_GE(made, 0);
  ASSERT_EQ(link_.LinkFileWrite(Side::kRemote, made, "half", 4), 4);
  const std::int32_t handle = OpenPartAtItsEnd(link_, tree_);
  ASSERT_GE(handle, 0);

  EXPECT_EQ(WriteAbandonedOneNibbleShort(link_, program_, *late_port_, handle,
                                         std::string(32, '\xAB'), GetParam()),
            -1);
  EXPECT_FALSE(program_.connected());

  // A program started again synchronises as soon as the module has given up.
  LinkLayer restarted(cable_.program_cable(), kBase);
  restarted.SetTimeoutHandler([](const std::string&) { return TimeoutAnswer::kCancel; });
  ASSERT_TRUE(SyncRemoteWithin(restarted, 120)) << ModuleLog();
  EXPECT_NE(ModuleLog().find("link lost"), std::string::npos) << ModuleLog();
  EXPECT_EQ(ReadFile(tree_ / "share/part.bin"), kPartHead);
  EXPECT_FALSE(Exists(tree_ / "share/made.bin"));
  Link restarted_link(cable_.local_files(), &restarted);
  EXPECT_TRUE(restarted_link.LinkFileExists(Side::kRemote, "C:\\part.bin"));
  EXPECT_FALSE(restarted_link.LinkFileExists(Side::kRemote, "C:\\made.bin"));
  EXPECT_EQ(restarted_link.LinkFileWrite(Side::kRemote, handle, "x", 1), -1);
  restarted_link.LinkNop();
}

INSTANTIATE_TEST_SUITE_P(BothStrobePhases, AbandonedProcessWriteTest,
                         ::testing::Values(0x00, 0x10));

}  // namespace
}  // namespace duplane
