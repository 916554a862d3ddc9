// The default clock of TransferUi: the steady clock, in milliseconds.
#include "transfer/transfer_ui.h"

#include <chrono>

namespace duplane {

std::int64_t TransferUi::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace duplane
