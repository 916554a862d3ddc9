// The monotonic millisecond clock the link's time-outs run on, on Windows. The
// performance counter is monotonic and, unlike GetTickCount64, exists on XP.
#include <windows.h>

#include "port/link_clock.h"

namespace duplane {
namespace {

class PerformanceClock : public LinkClock {
 public:
  PerformanceClock() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    frequency_ = frequency.QuadPart > 0 ? static_cast<std::uint64_t>(frequency.QuadPart) : 1;
  }
  std::uint64_t TickCount() override {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const auto count = static_cast<std::uint64_t>(now.QuadPart);
    // Split so that count * 1000 cannot overflow however long the PC has run.
    return count / frequency_ * 1000 + count % frequency_ * 1000 / frequency_;
  }
  void Sleep(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }

 private:
  std::uint64_t frequency_ = 1;
};

}  // namespace

LinkClock& SystemClock() {
  static PerformanceClock clock;
  return clock;
}

}  // namespace duplane
