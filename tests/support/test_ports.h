// Ports and clocks for link tests: a wrapper that records every register
// access of one end, an ideal partner that answers each nibble at once, and a
// clock that moves only when told.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "port/link_clock.h"
#include "port/port_access.h"

namespace duplane {

struct PortWrite {
  std::uint32_t address;
  std::uint8_t value;
  bool operator==(const PortWrite& other) const {
    return address == other.address && value == other.value;
  }
};

// Passes every access through to `inner` and keeps a log of the writes and a
// count of the reads (which another thread may watch).
class RecordingPort : public PortAccess {
 public:
  explicit RecordingPort(PortAccess& inner) : inner_(inner) {}
  std::uint8_t ReadPort(std::uint32_t address) override {
    ++reads;
    return inner_.ReadPort(address);
  }
  void WritePort(std::uint32_t address, std::uint8_t value) override {
    writes.push_back({address, value});
    inner_.WritePort(address, value);
  }
  // Values written to `address`, in order.
  std::vector<std::uint8_t> WritesTo(std::uint32_t address) const;

  std::vector<PortWrite> writes;
  std::atomic<std::uint64_t> reads{0};

 private:
  PortAccess& inner_;
};

// A single-threaded stand-in for the other end. Its status register shows
// `nibble` on bits 3-6 and its strobe on bit 7; `on_write` and `on_status_read`
// let a test move it in step with the end under test.
class ScriptedPort : public PortAccess {
 public:
  explicit ScriptedPort(std::uint16_t base = 0x378) : base_(base) {}
  std::uint8_t ReadPort(std::uint32_t address) override;
  void WritePort(std::uint32_t address, std::uint8_t value) override;

  // An ideal partner: flips its strobe after every data write of ours, so each
  // wait ends at once. For receiving, `nibbles` are presented one per write.
  void BeIdealPartner(std::vector<std::uint8_t> nibbles = {});

  std::uint8_t strobe = 0x00;  // bit 7 as read
  std::uint8_t nibble = 0;
  std::function<void()> on_status_read;
  std::function<void(std::uint8_t)> on_data_write;
  std::vector<std::uint8_t> data_writes;
  std::uint64_t status_reads = 0;
  std::uint64_t control_writes = 0;

 private:
  std::uint16_t base_;
  std::vector<std::uint8_t> script_;
  std::size_t next_ = 0;
};

class LinkLayer;

// Connects the program's end as Connect does, but gives up after `seconds` so
// that a test never hangs on a Remote Module that does not answer. Leaves the
// Connected flag set exactly when the synchronisation completed.
bool SyncRemoteWithin(LinkLayer& link, double seconds);

class ManualClock : public LinkClock {
 public:
  std::uint64_t TickCount() override { return now; }
  void Sleep(std::uint32_t milliseconds) override { now += milliseconds; }
  std::uint64_t now = 1000;
};

// Real time that a test can steer from any thread. Left alone it is the
// monotonic clock, so every wait keeps its full ten seconds however loaded the
// machine is. Stop() makes time stand still (no wait can time out); Resume()
// moves it a chosen distance ahead and lets it run; while racing, every reading
// moves it on by a second, so a wait that is meant to time out does so after a
// few polls instead of ten seconds.
class SteeredClock : public LinkClock {
 public:
  std::uint64_t TickCount() override;
  void Sleep(std::uint32_t milliseconds) override;
  void Stop();
  void Resume(std::uint64_t ahead_ms);
  void set_racing(bool racing) { racing_ = racing; }

 private:
  std::atomic<bool> stopped_{false};
  std::atomic<bool> racing_{false};
  std::atomic<std::uint64_t> stopped_at_{0};
  std::atomic<std::uint64_t> offset_{0};
};

}  // namespace duplane
