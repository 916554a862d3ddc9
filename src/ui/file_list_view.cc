// Drag and drop between the two file lists, and the view's built-in keys that
// would otherwise act on their own. The drop position inside the
// target plays no part: the target is always the other side's current
// directory, so the list shows no drop indicator and nothing of the model is
// read or written by the drag itself.
#include "ui/file_list_view.h"

#include <QCoreApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace duplane {

FileListView::FileListView(QWidget* parent) : QTreeView(parent) {
  setDropIndicatorShown(false);
  // Off until both panes show their files (TForm1::SetListDragMode).
  setDragDropMode(QAbstractItemView::NoDragDrop);
}

QByteArray FileListView::Token(const FileListView& list) {
  return QByteArray::number(QCoreApplication::applicationPid()) + ':' + list.objectName().toUtf8() +
         ':' + QByteArray::number(reinterpret_cast<quintptr>(&list), 16);
}

QMimeData* FileListView::DragData(const FileListView& source) {
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(kMimeType), Token(source));
  return data;
}

bool FileListView::Accepts(const QMimeData* data) const {
  // Drops exist only while the window has switched them on for both lists.
  if (!acceptDrops() || peer_ == nullptr || data == nullptr) return false;
  return data->data(QString::fromLatin1(kMimeType)) == Token(*peer_);
}

QPixmap FileListView::MultiDragPixmap() {
  constexpr int kSheet = 14;
  constexpr int kStep = 4;
  constexpr int kSheets = 3;
  const int side = kSheet + kStep * (kSheets - 1) + 1;
  QPixmap pixmap(side, side);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setPen(QColor(0, 0, 0));
  painter.setBrush(QColor(255, 255, 255));
  for (int i = kSheets - 1; i >= 0; --i) {
    painter.drawRect(i * kStep, i * kStep, kSheet - 1, kSheet - 1);
  }
  return pixmap;
}

void FileListView::selectAll() {
  // Qt would mark every row, "<parent>" and "<root>" too, which no command of
  // the window ever selects in bulk.
  emit SelectAllRequested();
}

void FileListView::keyboardSearch(const QString& search) {
  // Qt searches the current index's column, which a click on a Size or date
  // cell moves away from the names a user types.
  const QModelIndex current = currentIndex();
  if (current.isValid() && current.column() != 0) {
    selectionModel()->setCurrentIndex(current.siblingAtColumn(0), QItemSelectionModel::NoUpdate);
  }
  QTreeView::keyboardSearch(search);
}

QItemSelectionModel::SelectionFlags FileListView::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
  if (marking_ && !selectionModel()->hasSelection()) marking_ = false;
  if (marking_ && event != nullptr && event->type() == QEvent::KeyPress) {
    // Moving the cursor keeps the marks; Shift still extends them.
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (!key->modifiers().testFlag(Qt::ShiftModifier)) return QItemSelectionModel::NoUpdate;
  }
  return QTreeView::selectionCommand(index, event);
}

void FileListView::mousePressEvent(QMouseEvent* event) {
  marking_ = false;
  left_pressed_ = event->button() == Qt::LeftButton;
  QTreeView::mousePressEvent(event);
}

void FileListView::startDrag(Qt::DropActions) {
  // A drag is a left-button gesture; the right button opens the pop-up menu.
  if (!left_pressed_) return;
  left_pressed_ = false;
  if (!selectionModel()->hasSelection()) return;
  emit DragStarting();
  auto* drag = new QDrag(this);
  drag->setMimeData(DragData(*this));
  drag->setPixmap(MultiDragPixmap());
  drag->setHotSpot(QPoint(-12, -12));  // the sheets trail the pointer
  // Copy or move is decided by Shift at the drop, not by the drag's action.
  drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
}

void FileListView::dragEnterEvent(QDragEnterEvent* event) {
  if (Accepts(event->mimeData())) {
    event->acceptProposedAction();
  } else {
    event->ignore();  // the platform shows its no-drop pointer
  }
}

void FileListView::dragMoveEvent(QDragMoveEvent* event) {
  if (Accepts(event->mimeData())) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void FileListView::dragLeaveEvent(QDragLeaveEvent* event) { event->accept(); }

void FileListView::dropEvent(QDropEvent* event) {
  if (!Accepts(event->mimeData())) {
    event->ignore();
    return;
  }
  // The state of Shift at the moment of the drop makes it a move.
  const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
  // Reported to the source as a copy whatever Shift said: a move would ask
  // the source view to delete the dragged rows, and only the copy engine may
  // remove anything, after its confirmation.
  event->setDropAction(Qt::CopyAction);
  event->accept();
  emit EntriesDropped(shift);
}

}  // namespace duplane
