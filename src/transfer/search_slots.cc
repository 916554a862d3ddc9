// Search-slot pool: first free number wins.
#include "transfer/search_slots.h"

namespace duplane {

std::int32_t SearchSlots::Alloc() {
  for (int i = 0; i < kCount; ++i) {
    if (!in_use_[i]) {
      in_use_[i] = true;
      return i + 1;
    }
  }
  return 0;
}

void SearchSlots::Free(std::int32_t slot) {
  if (slot >= 1 && slot <= kCount) in_use_[slot - 1] = false;
}

bool SearchSlots::InUse(std::int32_t slot) const {
  return slot >= 1 && slot <= kCount && in_use_[slot - 1];
}

}  // namespace duplane
