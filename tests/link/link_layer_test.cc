// The nibble handshake register by register: the worked example of a whole
// exchange between two threads, the nibble order of single values, what an
// empty block or a dropped connection touches, the per-nibble deadline and
// the synchronisation.
#include "link/link_layer.h"

#include <gtest/gtest.h>

#include <thread>

#include "port/virtual_cable.h"
#include "support/test_ports.h"

namespace duplane {
namespace {

constexpr std::uint16_t kBase = 0x378;

TEST(LinkLayerExchange, GetHomeDriveCrossesRegisterValueByRegisterValue) {
  auto cable = VirtualCable::CreatePair(kBase);
  RecordingPort program_port(*cable.first);
  RecordingPort remote_port(*cable.second);
  LinkLayer program(program_port, kBase);
  LinkLayer remote(remote_port, kBase);
  program.set_connected(true);
  remote.set_connected(true);

  std::uint8_t header[3] = {};
  std::thread remote_end([&] {
    remote.GetBlock(3, header);
    remote.FinishReceive();
    const std::uint8_t letter = 'C';
    remote.SendBlock(1, &letter);
    remote.WaitForAck();
  });
  program.SendCommand(2);
  program.WaitForAck();
  std::uint8_t answer = 0;
  program.GetBlock(1, &answer);
  program.FinishReceive();
  remote_end.join();

  EXPECT_EQ(header[0], 0x01);
  EXPECT_EQ(header[1], 0x02);
  EXPECT_EQ(header[2], 0xFD);
  EXPECT_EQ(answer, 0x43);
  EXPECT_EQ(program_port.WritesTo(kBase),
            (std::vector<std::uint8_t>{0x11, 0x00, 0x12, 0x00, 0x1D, 0x0F, 0x10, 0x00, 0x10}));
  EXPECT_EQ(remote_port.WritesTo(kBase),
            (std::vector<std::uint8_t>{0x10, 0x00, 0x10, 0x00, 0x10, 0x00, 0x10, 0x03, 0x14}));
  // The sender of the request resets the control register once its
  // WaitForAck has seen the acknowledge, and so does the sender of the answer.
  EXPECT_EQ(program_port.WritesTo(kBase + 2), std::vector<std::uint8_t>{0x04});
  EXPECT_EQ(remote_port.WritesTo(kBase + 2), std::vector<std::uint8_t>{0x04});
  for (const LinkLayer* end : {&program, &remote}) {
    EXPECT_EQ(end->expected_ack(), 0x80);
    EXPECT_EQ(end->data_toggle(), 0x00);
  }
}

TEST(LinkLayerNibbles, ByteGoesLowNibbleFirstWithAlternatingToggle) {
  ScriptedPort port(kBase);
  port.BeIdealPartner();
  LinkLayer link(port, kBase);
  link.set_connected(true);
  const std::uint8_t byte = 0xA5;
  link.SendBlock(1, &byte);
  EXPECT_EQ(port.data_writes, (std::vector<std::uint8_t>{0x15, 0x0A}));

  port.data_writes.clear();
  const std::uint32_t one = 1;  // little-endian in memory: 01 00 00 00
  link.SendBlock(4, &one);
  std::vector<std::uint8_t> nibbles;
  for (std::uint8_t value : port.data_writes) nibbles.push_back(value & 0x0F);
  EXPECT_EQ(nibbles, (std::vector<std::uint8_t>{1, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(LinkLayerNibbles, ReceiverAssemblesLowThenHigh) {
  ScriptedPort port(kBase);
  port.strobe = 0x80;  // nothing presented yet: the first wait must see a change
  port.BeIdealPartner({0x05, 0x0A, 0x01, 0x00});
  LinkLayer link(port, kBase);
  link.set_connected(true);
  std::uint8_t bytes[2] = {};
  link.GetBlock(2, bytes);
  EXPECT_EQ(bytes[0], 0xA5);
  EXPECT_EQ(bytes[1], 0x01);
  // Two data writes (ready, took it) per byte, alternating the toggle.
  EXPECT_EQ(port.data_writes, (std::vector<std::uint8_t>{0x10, 0x00, 0x10, 0x00}));
}

TEST(LinkLayerNibbles, FirstNibbleAfterSyncCarriesBit4AndWaitsForStrobeLow) {
  ScriptedPort port(kBase);
  port.strobe = 0x80;  // the other end has not said ready yet
  int reads_before_ready = 0;
  port.on_status_read = [&] {
    if (++reads_before_ready == 50) port.strobe = 0x00;
  };
  LinkLayer link(port, kBase);
  link.set_connected(true);
  const std::uint8_t byte = 0x07;
  port.on_data_write = [&](std::uint8_t) {
    EXPECT_GE(reads_before_ready, 50);
    port.strobe ^= 0x80;  // took it
  };
  link.SendBlock(1, &byte);
  EXPECT_EQ(port.data_writes, (std::vector<std::uint8_t>{0x17, 0x00}));
}

TEST(LinkLayerGuards, EmptyOrNegativeCountsTouchNothing) {
  ScriptedPort port(kBase);
  LinkLayer link(port, kBase);
  link.set_connected(true);
  std::uint8_t buffer[4] = {1, 2, 3, 4};
  link.SendBlock(0, buffer);
  link.SendBlock(-5, buffer);
  link.GetBlock(0, buffer);
  link.GetBlock(-1, buffer);
  EXPECT_TRUE(port.data_writes.empty());
  EXPECT_EQ(port.status_reads, 0u);
  EXPECT_EQ(link.expected_ack(), 0x00);
  EXPECT_EQ(link.data_toggle(), 0x10);
  EXPECT_EQ(buffer[0], 1);
}

TEST(LinkLayerGuards, DroppedConnectionEndsEveryWaitAtOnce) {
  ScriptedPort port(kBase);
  LinkLayer link(port, kBase);
  link.set_connected(false);
  std::uint8_t buffer[4] = {9, 9, 9, 9};
  link.SendBlock(4, buffer);
  link.WaitForAck();
  EXPECT_TRUE(port.data_writes.empty());
  EXPECT_EQ(port.status_reads, 0u);
  EXPECT_EQ(port.control_writes, 0u);

  // A receiver that has given up does not even say it is ready: the other end
  // may still be inside a block and would take the toggle as a nibble.
  link.GetBlock(4, buffer);
  link.FinishReceive();
  EXPECT_TRUE(port.data_writes.empty());
  EXPECT_EQ(buffer[0], 9);
  EXPECT_EQ(link.expected_ack(), 0x00);
  EXPECT_EQ(link.data_toggle(), 0x10);
}

// The other end takes three nibbles of a two-byte block and then stays silent;
// the time-out is answered Cancel. It is still waiting for the fourth nibble,
// so nothing the rest of the operation does (the hand-over, the answer) may
// change the data register: any new toggle would arrive as that nibble, 0.
TEST(LinkLayerGuards, GivingUpInsideABlockLeavesTheDataRegisterAlone) {
  ScriptedPort port(kBase);
  ManualClock clock;
  port.on_data_write = [&](std::uint8_t) {
    if (port.data_writes.size() < 3) port.strobe ^= 0x80;  // took it
  };
  port.on_status_read = [&] { clock.now += 100; };
  LinkLayer link(port, kBase, clock);
  link.set_connected(true);
  link.SetTimeoutHandler([](const std::string&) { return TimeoutAnswer::kCancel; });
  const std::uint8_t block[2] = {0x21, 0x43};
  link.SendBlock(2, block);
  ASSERT_FALSE(link.connected());
  ASSERT_EQ(port.data_writes, (std::vector<std::uint8_t>{0x11, 0x02, 0x13}));

  link.WaitForAck();
  std::uint8_t answer[4] = {};
  link.GetBlock(4, answer);
  link.FinishReceive();
  EXPECT_EQ(port.data_writes, (std::vector<std::uint8_t>{0x11, 0x02, 0x13}));
}

// A partner that never moves, on a clock that advances 100 ms per status read.
struct SilentPartner {
  ScriptedPort port{kBase};
  ManualClock clock;
  SilentPartner() {
    port.strobe = 0x80;  // never the 0x00 a fresh sender waits for
    port.on_status_read = [this] { clock.now += 100; };
  }
};

TEST(LinkLayerTimeout, RetryWaitsAFullTenSecondsAgainThenCancelDrops) {
  SilentPartner partner;
  LinkLayer link(partner.port, kBase, partner.clock);
  link.set_connected(true);
  const std::uint64_t start = partner.clock.now;
  std::vector<std::uint64_t> asked_at;
  std::vector<std::string> messages;
  link.SetTimeoutHandler([&](const std::string& message) {
    asked_at.push_back(partner.clock.now - start);
    messages.push_back(message);
    return asked_at.size() < 3 ? TimeoutAnswer::kRetry : TimeoutAnswer::kCancel;
  });
  const std::uint8_t byte = 0x42;
  link.SendBlock(1, &byte);

  ASSERT_EQ(asked_at.size(), 3u);
  EXPECT_GT(asked_at[0], 10000u);
  EXPECT_LE(asked_at[0], 10200u);
  EXPECT_GT(asked_at[1] - asked_at[0], 10000u);
  EXPECT_LE(asked_at[1] - asked_at[0], 10200u);
  EXPECT_EQ(messages[0], "SendBlock timeout: connection lost");
  EXPECT_FALSE(link.connected());
  EXPECT_TRUE(partner.port.data_writes.empty());

  // Every later wait returns at once, without asking again.
  const std::uint64_t reads = partner.port.status_reads;
  link.WaitForAck();
  std::uint8_t in = 0;
  link.GetBlock(1, &in);
  EXPECT_EQ(partner.port.status_reads, reads);
  EXPECT_EQ(asked_at.size(), 3u);
}

TEST(LinkLayerTimeout, StrobeAtNinePointNineSecondsGivesNextNibbleAFullTenSeconds) {
  SilentPartner partner;
  const std::uint64_t start = partner.clock.now;
  partner.port.on_status_read = [&] {
    partner.clock.now += 100;
    if (partner.clock.now - start == 9900) partner.port.strobe = 0x00;  // ready at 9.9 s
  };
  LinkLayer link(partner.port, kBase, partner.clock);
  link.set_connected(true);
  std::vector<std::uint64_t> asked_at;
  std::vector<std::string> messages;
  link.SetTimeoutHandler([&](const std::string& message) {
    asked_at.push_back(partner.clock.now - start);
    messages.push_back(message);
    return TimeoutAnswer::kCancel;
  });
  const std::uint8_t byte = 0x42;
  link.SendBlock(1, &byte);  // low nibble goes at 9.9 s; the high nibble's wait never ends
  ASSERT_EQ(partner.port.data_writes.size(), 1u);
  ASSERT_EQ(asked_at.size(), 1u);
  EXPECT_GT(asked_at[0], 19900u);
  EXPECT_LE(asked_at[0], 20100u);
  EXPECT_EQ(messages[0], "SendBlock timeout: connection lost");
}

TEST(LinkLayerTimeout, EachWaitNamesItself) {
  for (int which = 0; which < 2; ++which) {
    SilentPartner partner;
    partner.port.strobe = 0x80;
    LinkLayer link(partner.port, kBase, partner.clock);
    link.set_connected(true);
    std::string message;
    link.SetTimeoutHandler([&](const std::string& text) {
      message = text;
      return TimeoutAnswer::kCancel;
    });
    std::uint8_t byte = 0;
    if (which == 0) {
      link.GetBlock(1, &byte);
      EXPECT_EQ(message, "GetBlock timeout: connection lost");
    } else {
      link.WaitForAck();
      EXPECT_EQ(message, "WaitForAck timeout: connection lost");
      EXPECT_EQ(partner.port.control_writes, 0u);
    }
  }
}

TEST(LinkLayerSync, WaitsForNibbleZeroBeforeSix) {
  ScriptedPort port(kBase);
  ManualClock clock;
  // The other end shows 6 first, then 0, then 6, with its strobe down as a
  // module answering a synchronisation shows it.
  int reads = 0;
  port.strobe = 0x80;
  port.nibble = 6;
  port.on_status_read = [&] {
    ++reads;
    if (reads == 20) port.nibble = 0;
    if (reads == 40) port.nibble = 6;
  };
  port.on_data_write = [&](std::uint8_t value) {
    if (value == 0x03) {
      EXPECT_GE(reads, 40);
    }
  };
  LinkLayer link(port, kBase, clock);
  int pumps = 0;
  link.SetPumpEvents([&] { ++pumps; });
  link.SyncRemote();
  ASSERT_FALSE(port.data_writes.empty());
  EXPECT_EQ(port.data_writes.back(), 0x03);
  for (std::size_t i = 0; i + 1 < port.data_writes.size(); ++i) EXPECT_EQ(port.data_writes[i], 0);
  EXPECT_GT(pumps, 20);
  EXPECT_EQ(port.control_writes, 1u);
  EXPECT_EQ(link.expected_ack(), 0x00);
  EXPECT_EQ(link.data_toggle(), 0x10);
}

// A module that shows its ready strobe with the 6 would take the first nibble
// of a request at once, whether or not it saw the 3: the 3 stays until the
// module shows it back. One that never does (not ours) gets the first request
// after two seconds, as any module did before.
TEST(LinkLayerSync, HoldsTheThreeForAModuleAlreadyReady) {
  for (const bool echoes : {true, false}) {
    ScriptedPort port(kBase);
    ManualClock clock;
    port.strobe = 0x00;
    port.nibble = 0;
    int reads = 0, reads_after_three = 0;
    port.on_status_read = [&] {
      if (++reads == 10) port.nibble = 6;
      if (port.data_writes.empty() || port.data_writes.back() != 0x03) return;
      ++reads_after_three;
      if (echoes && reads_after_three == 50) port.nibble = 3;
      if (!echoes) clock.now += 10;
    };
    LinkLayer link(port, kBase, clock);
    const std::uint64_t start = clock.now;
    link.SyncRemote();
    EXPECT_EQ(port.data_writes.back(), 0x03) << echoes;
    if (echoes) {
      EXPECT_EQ(reads_after_three, 51);  // the echo, and the read that confirms it
    } else {
      EXPECT_GE(clock.now - start, 2000u);
      EXPECT_LE(clock.now - start, 2100u);
    }
    EXPECT_EQ(link.expected_ack(), 0x00);
    EXPECT_EQ(link.data_toggle(), 0x10);
  }
}

TEST(LinkLayerSync, CancelLeavesStateAndWritesNoOpenSignal) {
  ScriptedPort port(kBase);
  ManualClock clock;
  LinkLayer link(port, kBase, clock);
  // Move the link out of its post-sync phase first.
  link.set_connected(true);
  port.BeIdealPartner();
  link.WaitForAck();
  link.FinishReceive();
  ASSERT_EQ(link.expected_ack(), 0x80);
  ASSERT_EQ(link.data_toggle(), 0x00);

  port.on_data_write = nullptr;
  port.nibble = 0;  // shows 0, never 6
  port.data_writes.clear();
  int pumps = 0;
  link.SetPumpEvents([&] {
    if (++pumps == 30) link.set_cancel(true);
  });
  link.SyncRemote();
  EXPECT_EQ(pumps, 30);
  for (std::uint8_t value : port.data_writes) EXPECT_EQ(value, 0x00);
  EXPECT_EQ(link.expected_ack(), 0x80);
  EXPECT_EQ(link.data_toggle(), 0x00);
}

TEST(LinkLayerSync, ModuleEndAnswersSyncAndNopThenSyncsAgain) {
  auto cable = VirtualCable::CreatePair(kBase);
  LinkLayer program(*cable.first, kBase);
  LinkLayer remote(*cable.second, kBase);
  std::atomic<bool> stop{false};
  std::atomic<int> nops{0};
  std::thread remote_end([&] {
    const auto stopped = [&] { return stop.load(); };
    while (!stop.load()) {
      if (!remote.AnswerSync(stopped)) return;
      for (;;) {
        const auto wait = remote.WaitForCommandStart(stopped);
        if (wait == LinkLayer::CommandWait::kStopped) return;
        if (wait != LinkLayer::CommandWait::kCommand) break;
        std::uint8_t header[3];
        remote.GetBlock(3, header);
        remote.FinishReceive();
        if (header[1] == 0) {
          ++nops;
          break;
        }
      }
    }
  });
  for (int round = 0; round < 3; ++round) {
    program.set_connected(true);
    program.SyncRemote();
    program.SendCommand(0);
    program.WaitForAck();
    EXPECT_TRUE(program.connected());
    program.set_connected(false);
  }
  stop = true;
  remote_end.join();
  EXPECT_EQ(nops.load(), 3);
}

}  // namespace
}  // namespace duplane
