// The window's side of dragging between the file lists: each list accepts the
// other's entries only, and a drop starts the same copy or move as the source
// side's Copy and Move buttons, confirmation dialog and all.
#include "ui/main_form.h"
#include "ui/transfer_entries.h"

namespace duplane {

void TForm1::ConnectListDragDrop(bool local) {
  FileListView* list = Controls(local).list;
  list->SetPeer(Controls(!local).list);
  // Queued: the drop handler returns at once and the platform's drag ends
  // before the confirmation dialog runs its own modal loop.
  connect(
      list, &FileListView::EntriesDropped, this,
      [this, local](bool shift) { ListDragDrop(local, shift); }, Qt::QueuedConnection);
}

void TForm1::ListDragDrop(bool target_local, bool is_move) {
  // The source is the other side; the target is always the dropped-on side's
  // current directory, wherever in the list the entries were let go.
  if (auto* entries = findChild<TransferEntries*>()) entries->CopyFiles(!target_local, is_move);
}

}  // namespace duplane
