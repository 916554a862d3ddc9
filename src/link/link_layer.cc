// The nibble handshake: each byte crosses as two nibbles, low first, and every
// nibble flips the strobe on data bit 4 so the other end knows it moved.
#include "link/link_layer.h"

#include "link/idle_backoff.h"
#include "port/port_registers.h"

namespace duplane {
namespace {

// How long the Remote Module shows each of the synchronisation nibbles 0 and 6
// before showing the other again. The program needs to see 0 and then 6; going
// round keeps that true whenever it starts looking.
constexpr std::uint64_t kSyncPhaseMs = 25;
constexpr std::uint8_t kSyncNibbleFirst = 0;
constexpr std::uint8_t kSyncNibbleSecond = 6;
constexpr std::uint8_t kSyncNibbleOpen = 3;
// The program opens a connection by writing its data register as 0x03: nibble
// 3 with its strobe down. Nibble 3 under the other strobe is a nibble of some
// block, never the signal, so the signal is all five lines as 0x03 shows them.
constexpr std::uint8_t kSyncOpenStatus = StatusOfFarData(kSyncNibbleOpen);
// How long the program keeps its 3 up for a module that already showed its
// ready strobe with the 6 and does not show the 3 back (one that is not ours).
constexpr std::uint64_t kSyncEchoWaitMs = 2000;

// The other end's strobe (its D4) as this end's Busy line shows it: the
// handshake's acknowledge.
constexpr std::uint8_t kAck = kLptStatusBusy;

bool ShowsSyncOpen(std::uint8_t status) { return (status & kStatusLines) == kSyncOpenStatus; }

}  // namespace

// The other end changes its strobe and its nibble in one write, but a real
// cable's wires do not switch at the same instant: one read can show a mix of
// old and new lines. Whatever is decided on the lines is decided on a read
// that agrees with the one before.
bool LinkLayer::StillSees(std::uint8_t mask, std::uint8_t value) {
  return (port_.ReadPort(base_ + kLptStatus) & mask) == value;
}

bool LinkLayer::StillSeesNibble(std::uint8_t nibble) {
  return StillSees(kStatusNibble, static_cast<std::uint8_t>(nibble << kStatusNibbleShift));
}

LinkLayer::LinkLayer(PortAccess& port, std::uint16_t base, LinkClock& clock)
    : port_(port), base_(base), clock_(clock) {}

void LinkLayer::SetTimeoutHandler(
    std::function<TimeoutAnswer(const std::string& message)> handler) {
  timeout_handler_ = std::move(handler);
}

void LinkLayer::SetPumpEvents(std::function<void()> pump) { pump_events_ = std::move(pump); }

void LinkLayer::WriteData(std::uint8_t value) {
  ++counters_.data_writes;
  port_.WritePort(base_ + kLptData, value);
}

void LinkLayer::ResetControl() {
  ++counters_.control_writes;
  port_.WritePort(base_ + kLptControl, kControlIdle);
}

std::uint8_t LinkLayer::ReadAck() {
  ++counters_.polls;
  return port_.ReadPort(base_ + kLptStatus) & kAck;
}

std::uint8_t LinkLayer::ReadNibbleStatus() {
  ++counters_.nibble_reads;
  return port_.ReadPort(base_ + kLptStatus);
}

std::uint8_t LinkLayer::ReadNibble() { return NibbleOfStatus(ReadNibbleStatus()); }

bool LinkLayer::WaitForOtherEnd(const char* name) {
  // The deadline is per nibble: a long block never times out while the other
  // end keeps moving. The clock is monotonic and 64 bits wide, so it cannot
  // wrap and end a wait early.
  std::uint64_t deadline = clock_.TickCount() + kTimeoutMs;
  for (;;) {
    if (!connected_) return false;
    if (clock_.TickCount() > deadline) {
      const TimeoutAnswer answer =
          timeout_handler_ ? timeout_handler_(std::string(name) + " timeout: connection lost")
                           : TimeoutAnswer::kCancel;
      if (answer == TimeoutAnswer::kRetry) {
        deadline = clock_.TickCount() + kTimeoutMs;
      } else {
        connected_ = false;
      }
    }
    if (ReadAck() == expected_ack_) return true;
  }
}

void LinkLayer::SendBlock(std::int32_t count, const void* buffer) {
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  for (std::int32_t i = 0; i < count; ++i) {
    if (!WaitForOtherEnd("SendBlock")) return;
    WriteData(static_cast<std::uint8_t>((bytes[i] & kDataNibble) | data_toggle_));
    expected_ack_ ^= kAck;
    data_toggle_ ^= kDataStrobe;
    if (!WaitForOtherEnd("SendBlock")) return;
    WriteData(static_cast<std::uint8_t>((bytes[i] >> 4) | data_toggle_));
    expected_ack_ ^= kAck;
    data_toggle_ ^= kDataStrobe;
  }
}

void LinkLayer::GetBlock(std::int32_t count, void* buffer) {
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  for (std::int32_t i = 0; i < count; ++i) {
    // Once the link is given up nothing more goes on the cable: the other end
    // may still be inside a block, and a toggle written now would reach it as
    // a nibble 0 that nobody sent.
    if (!connected_) return;
    // Writing the toggle tells the sender the previous nibble was taken.
    WriteData(data_toggle_);
    if (!WaitForOtherEnd("GetBlock")) return;
    const std::uint8_t low = ReadNibble();
    expected_ack_ ^= kAck;
    data_toggle_ ^= kDataStrobe;
    WriteData(data_toggle_);
    if (!WaitForOtherEnd("GetBlock")) return;
    const std::uint8_t high = ReadNibble();
    bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
    expected_ack_ ^= kAck;
    data_toggle_ ^= kDataStrobe;
  }
}

void LinkLayer::WaitForAck() {
  if (!WaitForOtherEnd("WaitForAck")) return;
  ResetControl();
  expected_ack_ ^= kAck;
}

void LinkLayer::FinishReceive() {
  // Not after the link is given up, for the same reason as in GetBlock.
  if (!connected_) return;
  WriteData(data_toggle_);
  data_toggle_ ^= kDataStrobe;
}

bool LinkLayer::WaitForReceiver() { return WaitForOtherEnd("SendBlock"); }

void LinkLayer::SendCommand(std::uint8_t code) {
  const std::uint8_t header[3] = {kHeaderStart, code, static_cast<std::uint8_t>(code ^ 0xFF)};
  ++commands_sent_;
  SendBlock(3, header);
}

void LinkLayer::SyncRemote() {
  ResetControl();
  clock_.Sleep(10);
  // The other end must show nibble 0 and only then 6; one that shows 6 first
  // is passed over until it has shown 0.
  const std::uint8_t wanted[2] = {kSyncNibbleFirst, kSyncNibbleSecond};
  std::uint8_t status = 0;
  for (std::uint8_t nibble : wanted) {
    do {
      WriteData(0x00);
      if (pump_events_) pump_events_();
      if (cancel_) return;
      status = ReadNibbleStatus();
    } while (NibbleOfStatus(status) != nibble || !StillSeesNibble(nibble));
  }
  WriteData(kSyncNibbleOpen);
  clock_.Sleep(10);
  // A module that shows its ready strobe with the 6 is still waiting for a
  // header of a connection whose program went away without code 0, in the
  // phase a new connection starts in: it would take our first nibble whether or
  // not it saw the 3, and serve us with the old program's files still open.
  // Ours shows the 3 back once it has seen it; the 3 stays until then.
  if ((status & kAck) == 0x00) {
    const std::uint64_t since = clock_.TickCount();
    while (ReadNibble() != kSyncNibbleOpen || !StillSeesNibble(kSyncNibbleOpen)) {
      if (pump_events_) pump_events_();
      if (cancel_) return;
      if (clock_.TickCount() - since >= kSyncEchoWaitMs) break;
    }
  }
  expected_ack_ = 0x00;
  data_toggle_ = kDataStrobe;
  ++sync_serial_;
}

bool LinkLayer::AnswerSync(const std::function<bool()>& stop) {
  ResetControl();
  // Leave the data register alone until the program starts synchronising: after
  // code 0 it still waits for the acknowledge our last write gave it.
  IdleBackoff idle(clock_);
  for (;;) {
    if (stop && stop()) return false;
    const std::uint8_t status = port_.ReadPort(base_ + kLptStatus);
    // The program writes 0x00.
    const std::uint8_t zero = StatusOfFarData(0x00);
    if ((status & kStatusLines) == zero && StillSees(kStatusLines, zero)) break;
    idle.Pass(status);
  }
  std::uint64_t phase_start = clock_.TickCount();
  std::uint8_t shown = kSyncNibbleFirst;
  bool shown_second = false;
  WriteData(shown);
  for (;;) {
    if (stop && stop()) return false;
    const std::uint8_t status = port_.ReadPort(base_ + kLptStatus);
    if (ShowsSyncOpen(status) && shown_second && StillSees(kStatusLines, kSyncOpenStatus)) break;
    idle.Pass(status);
    if (clock_.TickCount() - phase_start >= kSyncPhaseMs) {
      shown = shown == kSyncNibbleFirst ? kSyncNibbleSecond : kSyncNibbleFirst;
      shown_second = shown_second || shown == kSyncNibbleSecond;
      WriteData(shown);
      phase_start = clock_.TickCount();
    }
  }
  expected_ack_ = 0x00;
  data_toggle_ = kDataStrobe;
  connected_ = true;
  return true;
}

LinkLayer::CommandWait LinkLayer::WaitForCommandStart(const std::function<bool()>& stop) {
  // Bit 4 carries the ready strobe the program waits for before it sends; bits
  // 0-3 go round 0 and 6, which the program ignores while sending but which
  // answer a program that has restarted and synchronises again.
  //
  // Right after a synchronisation the program's 3 is still on the cable: it is
  // shown back until the program moves on (a restarted program waits for that
  // before its first request), and only a 3 that follows some other value is a
  // new synchronisation.
  bool saw_other_nibble = !ShowsSyncOpen(port_.ReadPort(base_ + kLptStatus));
  std::uint8_t shown = saw_other_nibble ? kSyncNibbleFirst : kSyncNibbleOpen;
  std::uint64_t phase_start = clock_.TickCount();
  IdleBackoff idle(clock_);
  WriteData(data_toggle_ | shown);
  for (;;) {
    if (stop && stop()) return CommandWait::kStopped;
    const std::uint8_t status = port_.ReadPort(base_ + kLptStatus);
    if ((status & kAck) == expected_ack_) {
      // Every header begins with the low nibble of kHeaderStart; anything else is a
      // program that writes 0x00 to synchronise. The nibble comes from a
      // second read, as in GetBlock: the read that saw the strobe may show
      // the old nibble.
      return ReadNibble() == (kHeaderStart & kDataNibble) ? CommandWait::kCommand
                                                          : CommandWait::kResyncRequested;
    }
    if (!ShowsSyncOpen(status)) {
      if (!saw_other_nibble) {
        saw_other_nibble = true;
        shown = kSyncNibbleFirst;
        WriteData(data_toggle_ | shown);
        phase_start = clock_.TickCount();
      }
    } else if (saw_other_nibble && StillSees(kStatusLines, kSyncOpenStatus)) {
      expected_ack_ = 0x00;
      data_toggle_ = kDataStrobe;
      connected_ = true;
      return CommandWait::kResynced;
    }
    idle.Pass(status);
    if (saw_other_nibble && clock_.TickCount() - phase_start >= kSyncPhaseMs) {
      shown = shown == kSyncNibbleFirst ? kSyncNibbleSecond : kSyncNibbleFirst;
      WriteData(data_toggle_ | shown);
      phase_start = clock_.TickCount();
    }
  }
}

}  // namespace duplane
