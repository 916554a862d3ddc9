// The default clock of ProgressReport: the steady clock, in milliseconds.
#include "transfer/progress_report.h"

#include <chrono>

namespace duplane {

std::int64_t ProgressReport::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace duplane
