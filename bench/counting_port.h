// A port that counts what the program's end of the cable does, register by
// register, and what crosses the cable, exchange by exchange, per operation
// code. It wraps any port (the virtual cable, a hardware port) and reads the
// traffic the way the handshake defines it, so the link layer needs no hooks:
//
// - a status read that sees bit 7 differ from the read before is the poll
//   that ends a wait; the status read right after it, before any write, takes
//   a nibble (the receiver reads the nibble once the strobe has moved);
// - a data write right after such a poll sends a nibble (the sender writes
//   once the other end has acknowledged); any other data write is a receiver's
//   ready strobe or acknowledge;
// - a control write after a request is WaitForAck's hand-over; one at any
//   other time starts a synchronisation, which lasts until the program
//   writes 0x03 and belongs to no exchange;
// - an exchange begins with the first nibble sent after anything but the
//   request itself; its first three bytes are the command header.
//
// Every count but the polls is the same for the same operation on every run:
// how often an end polls depends on how quickly the other answers.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "port/port_access.h"

namespace duplane {

struct WireCounts {
  std::uint64_t exchanges = 0;
  std::uint64_t bytes_sent = 0;      // program -> module, command headers included
  std::uint64_t bytes_received = 0;  // module -> program
  std::uint64_t data_writes = 0;
  std::uint64_t control_writes = 0;
  std::uint64_t nibble_reads = 0;
  std::uint64_t waits = 0;  // polls that saw the other end move: one per wait
  std::uint64_t polls = 0;  // every status read that was not a nibble read

  std::uint64_t wire_bytes() const { return bytes_sent + bytes_received; }
  // The accesses a run always makes, whatever the timing.
  std::uint64_t fixed_accesses() const { return data_writes + control_writes + nibble_reads; }
  WireCounts& operator+=(const WireCounts& other);
  WireCounts operator-(const WireCounts& other) const;
  // Equal in everything but the polls.
  bool SameFixedCounts(const WireCounts& other) const;
};

// One exchange as it crossed: its code, every byte the program sent (the
// command header first) and how many bytes came back.
struct ExchangeRecord {
  int code = -1;
  std::vector<std::uint8_t> sent;
  std::uint64_t received = 0;
};

class CountingPort : public PortAccess {
 public:
  // A header that fails its check is counted under this code.
  static constexpr int kMalformed = 256;

  CountingPort(PortAccess& inner, std::uint16_t base);

  std::uint8_t ReadPort(std::uint32_t address) override;
  void WritePort(std::uint32_t address, std::uint8_t value) override;

  // The exchanges with operation code `code` (0..255, or kMalformed).
  WireCounts ForCode(int code) const;
  // Every exchange.
  WireCounts Exchanges() const;
  // Accesses outside every exchange: the synchronisations.
  const WireCounts& Unframed() const { return unframed_; }
  // Clears the counts; the reading of the traffic goes on where it stands.
  void Reset();

  // Keeps an ExchangeRecord of every exchange from now on (or stops).
  void Record(bool on) { recording_ = on; }
  const std::vector<ExchangeRecord>& records() const { return records_; }

 private:
  enum class Phase { kOutside, kSyncing, kRequest, kTurned, kAnswer };
  bool InExchange() const;
  WireCounts& Current();
  void StartExchange();
  void CloseExchange();
  void SentNibble(std::uint8_t nibble);

  PortAccess& inner_;
  std::uint16_t base_;
  std::array<WireCounts, kMalformed + 1> per_code_{};
  WireCounts unframed_;
  WireCounts current_;
  int current_code_ = -1;  // until the header's second byte is in
  Phase phase_ = Phase::kOutside;
  int last_bit7_ = -1;
  bool after_move_ = false;  // the last access was a poll that saw the other end move
  // The polls (and the one wait) since the last data write: the start of the
  // next request's first wait, when one follows.
  std::uint64_t polls_since_write_ = 0;
  std::uint64_t waits_since_write_ = 0;
  std::uint64_t sent_nibbles_ = 0;
  std::uint64_t received_nibbles_ = 0;
  std::uint8_t low_nibble_ = 0;
  std::uint8_t header_[3] = {};
  bool recording_ = false;
  std::vector<ExchangeRecord> records_;
};

}  // namespace duplane
