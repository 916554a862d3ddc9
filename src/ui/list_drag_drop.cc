// The window's side of dragging between the file lists: each list accepts the
// other's entries only, and a drop starts the same copy or move as the source
// side's Copy and Move buttons, confirmation dialog and all.
#include "ui/main_form.h"
#include "ui/transfer_entries.h"

namespace duplane {

void TForm1::ConnectListDragDrop(Side side) {
  FileListView* list = Controls(side).list;
  list->SetPeer(Controls(Other(side)).list);
  // Queued: the drop handler returns at once and the platform's drag ends
  // before the confirmation dialog runs its own modal loop.
  connect(
      list, &FileListView::EntriesDropped, this,
      [this, side](bool shift) { ListDragDrop(side, shift); }, Qt::QueuedConnection);
}

void TForm1::ListDragDrop(Side target_side, bool is_move) {
  // The source is the other side; the target is always the dropped-on side's
  // current directory, wherever in the list the entries were let go.
  if (auto* entries = findChild<TransferEntries*>())
    entries->CopyFiles(Other(target_side), is_move);
}

}  // namespace duplane
