// The nibble-handshake link over a parallel cable: synchronisation, block
// transfer in both directions, the two hand-over steps and the command header.
// Both ends use this class; the program calls SyncRemote, the Remote Module
// AnswerSync. Every wait polls the status register back to back with a 10 s
// deadline per nibble; what happens at a time-out is the caller's callback.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "port/link_clock.h"
#include "port/port_access.h"
#include "port/port_registers.h"

namespace duplane {

enum class TimeoutAnswer { kRetry, kCancel };

// Counts of register accesses, for the benchmark.
struct PortCounters {
  std::uint64_t data_writes = 0;
  std::uint64_t control_writes = 0;
  std::uint64_t polls = 0;         // status reads made while waiting
  std::uint64_t nibble_reads = 0;  // status reads that take a nibble
};

class LinkLayer {
 public:
  static constexpr std::uint32_t kTimeoutMs = 10000;
  // A command header is this byte, the operation code and the code's
  // complement.
  static constexpr std::uint8_t kHeaderStart = 0x01;

  LinkLayer(PortAccess& port, std::uint16_t base, LinkClock& clock = SystemClock());

  // Asked with "SendBlock timeout: connection lost" (or GetBlock / WaitForAck)
  // when the other end has not moved for 10 s. Retry waits another 10 s; Cancel
  // clears the Connected flag, after which every wait returns at once. Without a
  // handler the answer is Cancel.
  void SetTimeoutHandler(std::function<TimeoutAnswer(const std::string& message)> handler);
  // Called on every pass of SyncRemote / AnswerSync so a window stays live.
  void SetPumpEvents(std::function<void()> pump);

  bool connected() const { return connected_; }
  void set_connected(bool value) { connected_ = value; }
  bool cancel() const { return cancel_; }
  void set_cancel(bool value) { cancel_ = value; }

  std::uint8_t expected_ack() const { return expected_ack_; }
  std::uint8_t data_toggle() const { return data_toggle_; }

  // Register access.
  void WriteData(std::uint8_t value);
  void ResetControl();
  std::uint8_t ReadAck();
  // The whole status register, counted as a nibble read.
  std::uint8_t ReadNibbleStatus();
  std::uint8_t ReadNibble();

  // Transport.
  void SendBlock(std::int32_t count, const void* buffer);
  void GetBlock(std::int32_t count, void* buffer);
  void WaitForAck();
  // Acknowledges the last nibble received; writes nothing once the link is
  // given up (the Connected flag is false).
  void FinishReceive();
  void SendCommand(std::uint8_t code);

  // The wait SendBlock makes before its first nibble, on its own: true once the
  // other end shows that it is ready to receive. After FinishReceive this is the
  // other end's sign that it saw the acknowledge, i.e. that the request just
  // read was really all it sent.
  bool WaitForReceiver();

  // The program's synchronisation at Connect: no time limit, ends early when
  // the Cancel flag is set (by the pump callback, typically). Against a module
  // that shows its ready strobe with nibble 6 (one still waiting for a header
  // of a program that went away) the 3 is held until the module shows it back.
  void SyncRemote();

  // The Remote Module's side of the synchronisation: waits until the program
  // writes 0x00, shows nibble 0 then nibble 6, and returns true once the program
  // answers with 0x03, nibble 3 with its strobe bit down (the link is then in
  // its post-sync state). Returns
  // false when `stop` becomes true first.
  bool AnswerSync(const std::function<bool()>& stop);

  // The Remote Module's wait for the next command header. No deadline: the
  // program may stay idle for hours. While waiting, the module keeps its ready
  // strobe on bit 4 and shows nibbles 0 and 6 in turn on bits 0-3 (the program
  // reads only bit 7 while it sends), so a program that restarted and is
  // synchronising again gets its answer even in the phase where its idle data
  // value equals the synchronisation's 0x00. While the program still shows the
  // 3 of a synchronisation, the module shows 3 back instead.
  enum class CommandWait {
    kCommand,          // the first nibble of a header is waiting; GetBlock it
    kResyncRequested,  // the program writes 0x00: go to AnswerSync
    kResynced,         // the program wrote 0x03: the link is in its post-sync state
    kStopped,          // `stop` became true
  };
  CommandWait WaitForCommandStart(const std::function<bool()>& stop);

  // Counts the synchronisations SyncRemote completed: what the program learnt
  // about the other end holds until this changes.
  std::uint64_t sync_serial() const { return sync_serial_; }
  // Counts the command headers sent: an answer remembered from one exchange
  // holds only while no other exchange has happened since.
  std::uint64_t commands_sent() const { return commands_sent_; }

  const PortCounters& counters() const { return counters_; }
  void ResetCounters() { counters_ = PortCounters(); }

 private:
  bool WaitForOtherEnd(const char* name);
  // The next status read shows `value` in the bits of `mask` (as the one
  // before did).
  bool StillSees(std::uint8_t mask, std::uint8_t value);
  bool StillSeesNibble(std::uint8_t nibble);

  PortAccess& port_;
  std::uint16_t base_;
  LinkClock& clock_;
  std::function<TimeoutAnswer(const std::string&)> timeout_handler_;
  std::function<void()> pump_events_;
  // Either flag may be changed from another thread to end a wait at once
  // (a test driving one end, a module told to stop), so both are atomic.
  std::atomic<bool> connected_{false};
  std::atomic<bool> cancel_{false};
  std::uint8_t expected_ack_ = 0x00;
  std::uint8_t data_toggle_ = kDataStrobe;
  std::uint64_t sync_serial_ = 0;
  std::uint64_t commands_sent_ = 0;
  PortCounters counters_;
};

}  // namespace duplane
