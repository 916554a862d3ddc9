// Reading the program end's register traffic back into exchanges.
#include "counting_port.h"

#include "link/link_layer.h"
#include "port/port_registers.h"

namespace duplane {

WireCounts& WireCounts::operator+=(const WireCounts& other) {
  exchanges += other.exchanges;
  bytes_sent += other.bytes_sent;
  bytes_received += other.bytes_received;
  data_writes += other.data_writes;
  control_writes += other.control_writes;
  nibble_reads += other.nibble_reads;
  waits += other.waits;
  polls += other.polls;
  return *this;
}

WireCounts WireCounts::operator-(const WireCounts& other) const {
  WireCounts d;
  d.exchanges = exchanges - other.exchanges;
  d.bytes_sent = bytes_sent - other.bytes_sent;
  d.bytes_received = bytes_received - other.bytes_received;
  d.data_writes = data_writes - other.data_writes;
  d.control_writes = control_writes - other.control_writes;
  d.nibble_reads = nibble_reads - other.nibble_reads;
  d.waits = waits - other.waits;
  d.polls = polls - other.polls;
  return d;
}

bool WireCounts::SameFixedCounts(const WireCounts& other) const {
  return exchanges == other.exchanges && bytes_sent == other.bytes_sent &&
         bytes_received == other.bytes_received && data_writes == other.data_writes &&
         control_writes == other.control_writes && nibble_reads == other.nibble_reads &&
         waits == other.waits;
}

CountingPort::CountingPort(PortAccess& inner, std::uint16_t base) : inner_(inner), base_(base) {}

bool CountingPort::InExchange() const {
  return phase_ != Phase::kOutside && phase_ != Phase::kSyncing;
}

WireCounts& CountingPort::Current() { return InExchange() ? current_ : unframed_; }

std::uint8_t CountingPort::ReadPort(std::uint32_t address) {
  const std::uint8_t value = inner_.ReadPort(address);
  if (address != base_ + kLptStatus) return value;
  const int bit7 = value & kLptStatusBusy;
  if (after_move_) {
    // The receiver's second look, after the poll that saw the strobe move.
    after_move_ = false;
    ++Current().nibble_reads;
    if (phase_ == Phase::kTurned) phase_ = Phase::kAnswer;
    if (phase_ == Phase::kAnswer && (++received_nibbles_ & 1) == 0) {
      ++current_.bytes_received;
      if (recording_ && !records_.empty()) ++records_.back().received;
    }
  } else {
    WireCounts& counts = Current();
    ++counts.polls;
    ++polls_since_write_;
    after_move_ = last_bit7_ >= 0 && bit7 != last_bit7_;
    if (after_move_) {
      ++counts.waits;
      ++waits_since_write_;
    }
  }
  last_bit7_ = bit7;
  return value;
}

void CountingPort::WritePort(std::uint32_t address, std::uint8_t value) {
  const bool sends = after_move_;
  after_move_ = false;
  if (address == base_ + kLptData) {
    if (phase_ == Phase::kSyncing) {
      // Nothing crosses until the program opens the link with nibble 3.
      if ((value & kDataLines) == 0x03) phase_ = Phase::kOutside;
      ++unframed_.data_writes;
    } else {
      if (sends) {
        if (phase_ != Phase::kRequest) StartExchange();
        SentNibble(value & kDataNibble);
      } else if (phase_ == Phase::kTurned) {
        phase_ = Phase::kAnswer;
      }
      ++Current().data_writes;
    }
    polls_since_write_ = 0;
    waits_since_write_ = 0;
  } else if (address == base_ + kLptControl) {
    if (phase_ == Phase::kRequest) {
      phase_ = Phase::kTurned;
    } else {
      CloseExchange();
      phase_ = Phase::kSyncing;
    }
    ++Current().control_writes;
  }
  inner_.WritePort(address, value);
}

void CountingPort::StartExchange() {
  // The polls since the last write were the new request's first wait.
  WireCounts carried;
  WireCounts& before = Current();
  carried.polls = polls_since_write_;
  carried.waits = waits_since_write_;
  before.polls -= carried.polls;
  before.waits -= carried.waits;
  CloseExchange();
  phase_ = Phase::kRequest;
  current_ = carried;
  current_.exchanges = 1;
  current_code_ = -1;
  sent_nibbles_ = 0;
  received_nibbles_ = 0;
  if (recording_) records_.emplace_back();
}

void CountingPort::CloseExchange() {
  if (InExchange()) {
    per_code_[current_code_ < 0 ? kMalformed : current_code_] += current_;
  }
  current_ = WireCounts();
  phase_ = Phase::kOutside;
}

void CountingPort::SentNibble(std::uint8_t nibble) {
  if ((sent_nibbles_++ & 1) == 0) {
    low_nibble_ = nibble;
    return;
  }
  const std::uint64_t index = current_.bytes_sent++;
  const auto byte = static_cast<std::uint8_t>(nibble << 4 | low_nibble_);
  if (recording_ && !records_.empty()) records_.back().sent.push_back(byte);
  if (index >= 3) return;
  header_[index] = byte;
  if (index == 2) {
    const bool framed = header_[0] == LinkLayer::kHeaderStart && header_[2] == (header_[1] ^ 0xFF);
    current_code_ = framed ? header_[1] : kMalformed;
    if (recording_ && !records_.empty()) records_.back().code = current_code_;
  }
}

WireCounts CountingPort::ForCode(int code) const {
  WireCounts counts = per_code_[code];
  const int open_code = current_code_ < 0 ? kMalformed : current_code_;
  if (InExchange() && open_code == code) counts += current_;
  return counts;
}

WireCounts CountingPort::Exchanges() const {
  WireCounts total;
  for (const WireCounts& counts : per_code_) total += counts;
  if (InExchange()) total += current_;
  return total;
}

void CountingPort::Reset() {
  per_code_.fill(WireCounts());
  unframed_ = WireCounts();
  // An exchange still open is over as far as the new counts go: only the
  // polls of the next request's first wait can still come from it.
  current_ = WireCounts();
  polls_since_write_ = 0;
  waits_since_write_ = 0;
}

}  // namespace duplane
