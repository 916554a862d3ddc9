// The overwrite table of the copy engine and the dates its question shows.
#include "transfer/overwrite.h"

#include <cstdio>

namespace duplane {

bool ModeNeedsDates(std::int32_t mode) {
  return mode != kOverwriteAlways && mode != kOverwriteNever;
}

Decision DecideOverwrite(std::int32_t mode, bool target_exists, std::int32_t source_date,
                         std::int32_t target_date) {
  // The packed date's fields run from the year down to the seconds, so its
  // bits order correctly as an unsigned number; a signed comparison would put
  // every date from 2044 on (bit 31 set) before 1980.
  const bool newer =
      static_cast<std::uint32_t>(source_date) > static_cast<std::uint32_t>(target_date);
  switch (mode) {
    case kOverwriteAlways:
      return Decision::kCopy;
    case kOverwriteNever:
      return target_exists ? Decision::kSkip : Decision::kCopy;
    case kOverwriteFreshen:
      return target_exists && newer ? Decision::kCopy : Decision::kSkip;
    case kOverwriteUpdate:
      return !target_exists || newer ? Decision::kCopy : Decision::kSkip;
    default:  // Prompt, and anything unknown is asked rather than overwritten
      return target_exists ? Decision::kAsk : Decision::kCopy;
  }
}

std::string FormatDosDateTime(std::int32_t packed) {
  const auto value = static_cast<std::uint32_t>(packed);
  const unsigned date = value >> 16;
  const unsigned time = value & 0xFFFF;
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u  %02u:%02u:%02u", (date >> 9) + 1980,
                (date >> 5) & 0x0F, date & 0x1F, time >> 11, (time >> 5) & 0x3F, (time & 0x1F) * 2);
  return text;
}

}  // namespace duplane
