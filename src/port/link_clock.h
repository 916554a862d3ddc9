// Time as the link layer sees it: a millisecond tick count for the time-outs and
// a sleep for the fixed pauses. Injectable so that tests need not wait.
#pragma once

#include <cstdint>

namespace duplane {

class LinkClock {
 public:
  virtual ~LinkClock() = default;
  // Milliseconds on a monotonic clock; 64 bits wide, so it never wraps.
  virtual std::uint64_t TickCount() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
};

// The real clock (CLOCK_MONOTONIC; the performance counter on Windows).
LinkClock& SystemClock();

}  // namespace duplane
