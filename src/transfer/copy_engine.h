// Copying or moving the selected files and trees of one pane to the other
// pane's directory, block by block with progress and CRC verification.
#pragma once

#include <cstdint>
#include <string>

#include "transfer/transfer_context.h"

namespace duplane {

// The Copy and Move entries (and dropping on the other list) call this.
void CopyFiles(TransferContext& ctx, bool source_is_local, bool is_move);

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
// and, where the mode needs them, the two packed dates (signed comparison,
// newer meaning strictly greater).
Decision DecideOverwrite(std::int32_t mode, bool target_exists, std::int32_t source_date,
                         std::int32_t target_date);

// 100 - remaining * 100 / total in 64-bit integers, kept within 0..100; a total
// of 0 or less counts as done (100).
std::int32_t ProgressPercent(std::int64_t remaining, std::int64_t total);

// A packed DOS date-time as "yyyy-mm-dd  hh:nn:ss" (two spaces).
std::string FormatDosDateTime(std::int32_t packed);

}  // namespace duplane
