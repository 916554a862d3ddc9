// Copying or moving the selected files and trees of one pane to the other
// pane's directory, block by block with progress and CRC verification.
#pragma once

#include "transfer/transfer_context.h"

namespace duplane {

// The Copy and Move entries (and dropping on the other list) call this.
void CopyFiles(TransferContext& ctx, Side source_side, bool is_move);

}  // namespace duplane
