// The idle waits' back-off.
#include "link/idle_backoff.h"

namespace duplane {

void IdleBackoff::Pass(std::uint8_t status) {
  const std::uint64_t now = clock_.TickCount();
  if (!seen_ || status != last_status_) {
    seen_ = true;
    last_status_ = status;
    quiet_since_ = now;
    return;
  }
  const std::uint64_t quiet = now - quiet_since_;
  if (quiet >= kLongQuietMs) {
    clock_.Sleep(kLongNapMs);
  } else if (quiet >= kQuietMs) {
    clock_.Sleep(kNapMs);
  }
}

}  // namespace duplane
