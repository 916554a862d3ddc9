// Deleting the selected files and trees of one pane on either PC.
#pragma once

#include "transfer/transfer_context.h"

namespace duplane {

// The six Delete entries call this with their side. Gathers, asks in
// TDeleteForm, deletes the files in queue order in the chosen mode, removes
// emptied directories deepest first when asked, refreshes and reports.
void DeleteFiles(TransferContext& ctx, Side side);

}  // namespace duplane
