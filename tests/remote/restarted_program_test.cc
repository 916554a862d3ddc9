// A program that ended without code 0 after an even number of exchanges leaves
// the Remote Module waiting for a header in the very phase a new connection
// starts in: its ready strobe is already up for the first nibble of a new
// program's first request. The only sign that the program restarted is the
// synchronisation's nibble 3, and a module that is off the processor while the
// 3 is on the cable (a loaded machine, a sleeping poll) must still not serve
// the new program's requests on the old connection, where the old handles are
// open and the old program's unfinished file stays.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "link/link.h"
#include "localfs/local_file_system.h"
#include "port/virtual_cable.h"
#include "support/cable_fixture.h"
#include "support/temp_tree.h"
#include "support/test_ports.h"

namespace duplane {
namespace {

constexpr std::uint16_t kBase = kDefaultPortBase;

// Whether the module gets the processor: closed, its status reads wait.
class ProcessorGate {
 public:
  void Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
  }
  void Open() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      closed_ = false;
    }
    opened_.notify_all();
  }
  bool closed() {
    std::lock_guard<std::mutex> lock(mutex_);
    return closed_;
  }
  void WaitUntilOpen() {
    std::unique_lock<std::mutex> lock(mutex_);
    opened_.wait(lock, [this] { return !closed_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool closed_ = false;
};

class GatedPort : public PortAccess {
 public:
  GatedPort(PortAccess& inner, ProcessorGate& gate) : inner_(inner), gate_(gate) {}
  std::uint8_t ReadPort(std::uint32_t address) override {
    gate_.WaitUntilOpen();
    return inner_.ReadPort(address);
  }
  void WritePort(std::uint32_t address, std::uint8_t value) override {
    inner_.WritePort(address, value);
  }

 private:
  PortAccess& inner_;
  ProcessorGate& gate_;
};

// The restarted program's end. From its nibble 3 on the module is off the
// processor until the program writes again or has plainly stopped to wait for
// it (a good many status reads with nothing written).
class HoldingOffPort : public PortAccess {
 public:
  static constexpr int kReadsUntilTheModuleRuns = 200;

  HoldingOffPort(PortAccess& inner, ProcessorGate& gate) : inner_(inner), gate_(gate) {}
  std::uint8_t ReadPort(std::uint32_t address) override {
    if (gate_.closed() && address == kBase + 1u &&
        ++reads_since_open_ >= kReadsUntilTheModuleRuns) {
      gate_.Open();
    }
    return inner_.ReadPort(address);
  }
  void WritePort(std::uint32_t address, std::uint8_t value) override {
    if (address == kBase) {
      if (value == 0x03) {
        reads_since_open_ = 0;
        gate_.Close();
      } else {
        gate_.Open();
      }
    }
    inner_.WritePort(address, value);
  }

 private:
  PortAccess& inner_;
  ProcessorGate& gate_;
  int reads_since_open_ = 0;
};

class RestartedProgramTest : public ::testing::Test {
 protected:
  RestartedProgramTest() : cable_(Options()) {}
  // The module may be held off the processor still: it must see the stop.
  ~RestartedProgramTest() override { gate_.Open(); }

  CableFixture::Options Options() {
    MakeDir(tree_ / "local");
    MakeDir(tree_ / "share");
    CableFixture::Options options;
    options.local_drives = {{'C', tree_ / "local"}};
    options.remote_drives = {{'C', tree_ / "share"}};
    options.wrap_remote_port = [this](PortAccess& inner) {
      return std::make_unique<GatedPort>(inner, gate_);
    };
    // The plain codes, so that no probe adds to the count of exchanges below.
    options.program_extensions = false;
    return options;
  }

  TempTree tree_;
  ProcessorGate gate_;
  CableFixture cable_;
};

TEST_F(RestartedProgramTest, ModuleOffTheProcessorDuringTheNewSynchronisation) {
  std::int32_t old_handle = -1;
  {
    // The fixture's own program end is the one that ends without code 0.
    ASSERT_TRUE(cable_.Connect());
    Link& link = cable_.link();
    old_handle = link.LinkFileCreate(Side::kRemote, "C:\\half.bin");
    ASSERT_GE(old_handle, 0);
    ASSERT_EQ(link.LinkFileWrite(Side::kRemote, old_handle, "abc", 3), 3);
    // Two exchanges: the module now waits in a new connection's phase.
    ASSERT_EQ(cable_.program_link().data_toggle(), 0x10);
  }

  HoldingOffPort restarted_port(cable_.program_cable(), gate_);
  LinkLayer program(restarted_port, kBase);
  program.SetTimeoutHandler([](const std::string&) { return TimeoutAnswer::kCancel; });
  ASSERT_TRUE(SyncRemoteWithin(program, 10));
  Link link(cable_.local_files(), &program);
  EXPECT_EQ(link.LinkFileWrite(Side::kRemote, old_handle, "def", 3), -1);
  EXPECT_FALSE(link.LinkFileExists(Side::kRemote, "C:\\half.bin"));
  EXPECT_FALSE(Exists(tree_ / "share/half.bin"));
  EXPECT_TRUE(program.connected());
}

}  // namespace
}  // namespace duplane
