// The delete engine: files in queue order in the chosen mode, then the queued
// directories that are empty, last to first so every directory follows the
// directories below it and an emptied tree goes in one pass.
#include "transfer/delete_engine.h"

#include <vector>

#include "transfer/gather.h"

namespace duplane {

void DeleteFiles(TransferContext& ctx, Side side) {
  const std::string side_name = SideName(side);
  // Deleting here needs no cable; deleting over there does.
  if (side == Side::kRemote && !ctx.ui.Connected()) {
    ctx.ui.ShowNotConnected();
    return;
  }
  if (!GatherSelection(ctx, side)) return;

  DeleteOptions options;
  if (!ctx.ui.ShowDeleteForm("Delete these files on " + side_name + "?", ctx.queue, &options)) return;

  ctx.ui.EnableMainWindow(false);
  ctx.ui.ShowMessageForm("Delete", "");
  std::vector<std::string> dir_list;
  TransferQueue& queue = ctx.queue;
  queue.file_count = 0;

  for (std::size_t i = 0; i < queue.size(); ++i) {
    const std::string& entry = queue.path(i);
    if (queue.is_dir(i)) {
      dir_list.push_back(entry.substr(0, entry.size() - 1));
      continue;
    }
    ctx.ui.SetMessageText(entry);
    ctx.ui.ProcessMessages();
    if (ctx.ui.MessageCancelled()) break;
    if (!ctx.link.LinkDeleteFile(side, entry, options.delete_mode)) {
      ctx.ui.ErrorBox("Error deleting " + entry + " on " + side_name);
      break;
    }
    ++queue.file_count;
  }

  // Also after a stop: whatever became empty goes, and what still holds files
  // refuses to be removed, which is passed over without a word.
  queue.dir_count = 0;
  if (options.remove_empty) {
    for (auto it = dir_list.rbegin(); it != dir_list.rend(); ++it) {
      if (ctx.link.LinkRemoveDir(side, *it)) ++queue.dir_count;
    }
  }
  if (queue.dir_count > 0) ctx.ui.Pane(side).tree_stale = true;

  ctx.ui.CloseMessageForm();
  ctx.ui.EnableMainWindow(true);
  ctx.ui.FillList(side);

  std::string summary = "Files deleted: " + std::to_string(queue.file_count);
  if (queue.dir_count > 0) summary += "\rDirs deleted:  " + std::to_string(queue.dir_count);
  ctx.ui.InfoBox(summary);
}

}  // namespace duplane
