// Test ports: recording wrapper and scripted partner.
#include "support/test_ports.h"

#include <chrono>

#include "link/link_layer.h"

namespace duplane {

std::vector<std::uint8_t> RecordingPort::WritesTo(std::uint32_t address) const {
  std::vector<std::uint8_t> values;
  for (const PortWrite& write : writes) {
    if (write.address == address) values.push_back(write.value);
  }
  return values;
}

std::uint8_t ScriptedPort::ReadPort(std::uint32_t address) {
  if (address != base_ + 1u) return 0xFF;
  ++status_reads;
  if (on_status_read) on_status_read();
  return static_cast<std::uint8_t>(strobe | (nibble << 3));
}

void ScriptedPort::WritePort(std::uint32_t address, std::uint8_t value) {
  if (address == base_ + 2u) ++control_writes;
  if (address != base_) return;
  data_writes.push_back(value);
  if (on_data_write) on_data_write(value);
}

void ScriptedPort::BeIdealPartner(std::vector<std::uint8_t> nibbles) {
  script_ = std::move(nibbles);
  next_ = 0;
  on_data_write = [this](std::uint8_t) {
    strobe ^= 0x80;
    if (next_ < script_.size()) nibble = script_[next_++];
  };
}

bool SyncRemoteWithin(LinkLayer& link, double seconds) {
  link.set_connected(true);
  link.set_cancel(false);
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  link.SetPumpEvents([&link, until] {
    if (std::chrono::steady_clock::now() > until) link.set_cancel(true);
  });
  link.SyncRemote();
  link.set_connected(!link.cancel());
  return link.connected();
}

std::uint64_t SteeredClock::TickCount() {
  if (stopped_) return stopped_at_;
  if (racing_) offset_ += 1000;
  return SystemClock().TickCount() + offset_;
}

void SteeredClock::Sleep(std::uint32_t milliseconds) { SystemClock().Sleep(milliseconds); }

void SteeredClock::Stop() {
  stopped_at_ = TickCount();
  stopped_ = true;
}

void SteeredClock::Resume(std::uint64_t ahead_ms) {
  const std::uint64_t from = stopped_ ? stopped_at_.load() : TickCount();
  // Unsigned arithmetic wraps, and wraps back when the real time is added.
  offset_ = from + ahead_ms - SystemClock().TickCount();
  stopped_ = false;
}

}  // namespace duplane
