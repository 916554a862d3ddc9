// The pool of the twenty directory-search slots (numbers 1 to 20) that the list
// fill and the recursive gathering take one at a time per open search.
#pragma once

#include <array>
#include <cstdint>

namespace duplane {

class SearchSlots {
 public:
  static constexpr int kCount = 20;

  // Takes the first free slot and returns its number; 0 when all are taken (the
  // caller shows "Error allocating FBlock" and must not search with 0).
  std::int32_t Alloc();
  // Gives a slot back; numbers outside 1..20 are ignored.
  void Free(std::int32_t slot);
  void FreeAll() { in_use_.fill(false); }
  bool InUse(std::int32_t slot) const;

 private:
  std::array<bool, kCount> in_use_{};
};

}  // namespace duplane
