// Gathering a pane's selection into the transfer queue: the selected files as
// listed, then each selected directory walked recursively on its own side with
// one search slot per open level.
#pragma once

#include <cstdint>
#include <string>

#include "transfer/transfer_context.h"

namespace duplane {

// Takes a free search slot; when all 20 are taken shows "Error allocating
// FBlock" and returns 0, which is no slot and must never be searched with.
std::int32_t AllocFBlock(SearchSlots& slots, TransferUi& ui);

// Fills ctx.queue and its counters from the selection of the side's pane,
// under the busy window "Gathering file information...". False when the
// operation must end: gathering was cancelled (silently) or nothing was queued
// ("No files selected on " + side, shown here).
bool GatherSelection(TransferContext& ctx, Side side);

// Appends directory `path` (relative to the side's pane) and its subtree with
// files filtered by `filespec` at every depth. Used by GatherSelection.
void GatherDir(TransferContext& ctx, Side side, const std::string& filespec,
               const std::string& path);

}  // namespace duplane
