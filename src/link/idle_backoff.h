// How a wait without a deadline polls once nothing has moved for a while. The
// Remote Module waits like this for a connection and, connected, for the next
// command, possibly all night: polling back to back would hold a whole core
// (on a hardware port every poll is a bus access or a system call). After a
// quiet spell it naps a millisecond between polls, and after a long one a few
// milliseconds, which is all the first nibble of the next command can wait
// for it; a command that follows closely finds it still polling at full speed.
#pragma once

#include <cstdint>

#include "port/link_clock.h"

namespace duplane {

class IdleBackoff {
 public:
  // Full speed for this long after the status last changed: longer than the
  // program's own work between two commands of a copy or a listing.
  static constexpr std::uint64_t kQuietMs = 100;
  static constexpr std::uint32_t kNapMs = 1;
  // Nobody notices 4 ms when coming back to the window after ten seconds.
  static constexpr std::uint64_t kLongQuietMs = 10000;
  static constexpr std::uint32_t kLongNapMs = 4;

  explicit IdleBackoff(LinkClock& clock) : clock_(clock) {}

  // Called once per pass with the status register just read; naps when the
  // status has not changed for kQuietMs, longer after kLongQuietMs.
  void Pass(std::uint8_t status);

 private:
  LinkClock& clock_;
  bool seen_ = false;
  std::uint8_t last_status_ = 0;
  std::uint64_t quiet_since_ = 0;
};

}  // namespace duplane
