// The Remote Module's waits without a deadline (for a connection, for the next
// command) on a port where every access costs a microsecond, as on an ISA
// port: a module left connected overnight must spend a few percent of that
// time on the port at most, yet take up a command that comes after a quiet
// spell within a few milliseconds, and one that follows closely at once.
#include <gtest/gtest.h>

#include <cstdint>

#include "link/link_layer.h"
#include "port/port_access.h"

namespace duplane {
namespace {

constexpr std::uint16_t kBase = 0x378;
constexpr std::uint64_t kAccessUs = 1;

// Simulated time that moves by one access per port access and by the length
// of every sleep.
class AccessClock : public LinkClock {
 public:
  std::uint64_t TickCount() override { return now_us / 1000; }
  void Sleep(std::uint32_t milliseconds) override {
    now_us += std::uint64_t{milliseconds} * 1000;
    ++sleeps;
  }
  std::uint64_t now_us = 0;
  std::uint64_t sleeps = 0;
};

// The program's end as the module's status register shows it: `quiet_status`
// until `change_at_us`, then `then_status`; every access takes kAccessUs.
class ProgramAtRest : public PortAccess {
 public:
  ProgramAtRest(AccessClock& clock, std::uint8_t quiet_status, std::uint64_t change_at_us,
                std::uint8_t then_status)
      : clock_(clock), quiet_(quiet_status), change_at_us_(change_at_us), then_(then_status) {}
  std::uint8_t ReadPort(std::uint32_t address) override {
    clock_.now_us += kAccessUs;
    if (address != kBase + 1u) return 0xFF;
    ++status_reads;
    if (clock_.now_us < change_at_us_) {
      ++reads_before_change;
      return quiet_;
    }
    return then_;
  }
  void WritePort(std::uint32_t, std::uint8_t) override { clock_.now_us += kAccessUs; }

  std::uint64_t status_reads = 0;
  std::uint64_t reads_before_change = 0;

 private:
  AccessClock& clock_;
  std::uint8_t quiet_;
  std::uint64_t change_at_us_;
  std::uint8_t then_;
};

// After the synchronisation the program's 0x03 stays on the cable (status
// 0x98) until its first header nibble, 0x11, shows as status 0x08.
constexpr std::uint8_t kProgramIdle = 0x98;
constexpr std::uint8_t kFirstHeaderNibble = 0x08;
// A fresh cable: the program writes 0x00, status 0x80, and never 0x03.
constexpr std::uint8_t kProgramAbsent = 0x80;
constexpr std::uint8_t kProgramOpens = 0x98;

struct Waited {
  double port_share;  // of the quiet time, the part spent reading the port
  double latency_ms;  // from the program's move to the wait's return
  std::uint64_t sleeps;
};

Waited WaitForCommandAfter(std::uint64_t quiet_us) {
  AccessClock clock;
  ProgramAtRest port(clock, kProgramIdle, quiet_us, kFirstHeaderNibble);
  LinkLayer module(port, kBase, clock);
  module.set_connected(true);
  // A stop callback bounds the test should the wait never return.
  const auto result =
      module.WaitForCommandStart([&] { return clock.now_us > 2 * quiet_us + 1000000; });
  EXPECT_EQ(result, LinkLayer::CommandWait::kCommand);
  return {double(port.reads_before_change * kAccessUs) / double(quiet_us),
          double(clock.now_us - quiet_us) / 1000.0, clock.sleeps};
}

TEST(IdleWait, ConnectedModuleBacksOffOvernightAndStillAnswersWithinMilliseconds) {
  const Waited night = WaitForCommandAfter(60ull * 1000 * 1000);
  EXPECT_LT(night.port_share, 0.01);
  EXPECT_LT(night.latency_ms, 5.0);

  // After a pause of a second (the user reads the list) the answer is quicker.
  const Waited pause = WaitForCommandAfter(1000 * 1000);
  EXPECT_LT(pause.port_share, 0.15);
  EXPECT_LT(pause.latency_ms, 2.0);

  // A command that follows the previous one closely (the copy engine's next
  // block, a listing's next entry) finds the module polling at full speed.
  const Waited busy = WaitForCommandAfter(20 * 1000);
  EXPECT_EQ(busy.sleeps, 0u);
  EXPECT_LT(busy.latency_ms, 0.01);
}

TEST(IdleWait, ModuleWaitingForAConnectionBacksOffAndStillAnswersTheSynchronisation) {
  const std::uint64_t quiet_us = 60ull * 1000 * 1000;
  AccessClock clock;
  ProgramAtRest port(clock, kProgramAbsent, quiet_us, kProgramOpens);
  LinkLayer module(port, kBase, clock);
  // The synchronisation completes only once nibble 6 has been shown; the
  // program's 0x03 after the quiet spell then opens the connection.
  EXPECT_TRUE(module.AnswerSync([&] { return clock.now_us > 2 * quiet_us; }));
  EXPECT_LT(double(port.reads_before_change * kAccessUs) / double(quiet_us), 0.01);
  EXPECT_LT(double(clock.now_us - quiet_us) / 1000.0, 5.0);
}

}  // namespace
}  // namespace duplane
