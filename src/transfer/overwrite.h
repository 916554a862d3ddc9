// The copy engine's overwrite decision: the five modes of TCopyMoveForm's
// Overwrite group against a target that is missing, older, as old or newer,
// and the date text of the overwrite question.
#pragma once

#include <cstdint>
#include <string>

namespace duplane {

// Overwrite modes of TCopyMoveForm's Overwrite group.
enum OverwriteMode : std::int32_t {
  kOverwritePrompt = 0,
  kOverwriteAlways = 1,
  kOverwriteNever = 2,
  kOverwriteFreshen = 3,
  kOverwriteUpdate = 4,
};

enum class Decision { kCopy, kSkip, kAsk };

// Whether a mode needs both files' dates for an existing target.
bool ModeNeedsDates(std::int32_t mode);
// The overwrite table: what to do with a file given whether its target exists
// and, where the mode needs them, the two packed dates (newer meaning strictly
// later).
Decision DecideOverwrite(std::int32_t mode, bool target_exists, std::int32_t source_date,
                         std::int32_t target_date);

// A packed DOS date-time as "yyyy-mm-dd  hh:nn:ss" (two spaces).
std::string FormatDosDateTime(std::int32_t packed);

}  // namespace duplane
