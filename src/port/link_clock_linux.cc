// The monotonic millisecond clock the link's time-outs run on, on Linux.
#include <time.h>

#include "port/link_clock.h"

namespace duplane {
namespace {

class MonotonicClock : public LinkClock {
 public:
  std::uint64_t TickCount() override {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000u + now.tv_nsec / 1000000;
  }
  void Sleep(std::uint32_t milliseconds) override {
    timespec pause{static_cast<time_t>(milliseconds / 1000),
                   static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&pause, &pause) != 0) {
    }
  }
};

}  // namespace

LinkClock& SystemClock() {
  static MonotonicClock clock;
  return clock;
}

}  // namespace duplane
