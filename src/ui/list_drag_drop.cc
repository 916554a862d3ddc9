// The window's side of dragging between the file lists: each list accepts the
// other's entries only, and a drop starts the copy or move that the source
// side's Copy and Move buttons start, confirmation dialog and all.
#include <QToolButton>

#include "ui/main_form.h"

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
  // The source is the other list; its buttons run CopyFiles with the source
  // side and nothing else, so a drop behaves exactly as pressing them.
  PaneControls& source = Controls(!target_local);
  QToolButton* button = is_move ? source.move_btn : source.copy_btn;
  if (button != nullptr) button->click();
}

}  // namespace duplane
