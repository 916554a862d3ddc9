// The pane's own keys and cursor: Ctrl+PgUp and Alt+Up go up and leave the
// cursor on the directory just left (Backspace stays without a meaning of its
// own in the list, as it always was), entering a directory puts it on the first row,
// Insert and Space mark the cursor row and move on, and files can be marked
// by pattern. The cursor row is also the selected one after a move of the
// pane's own, as after a click, so that Enter, F5 or Shift+F6 act on what the
// cursor shows.
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QTabWidget>
#include <QTreeWidget>

#include "transfer/name_patterns.h"
#include "ui/pane_controller.h"
#include "ui/pane_list_model.h"

namespace duplane {
namespace {

// The directory's last name: "C:\DATA\2001" -> "2001"; a root has none.
std::string LastName(const std::string& path) {
  if (path.size() <= 3) return std::string();
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool PaneController::ListKey(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods =
      event->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier);
  const int key = event->key();
  if ((mods == Qt::ControlModifier && key == Qt::Key_PageUp) ||
      (mods == Qt::AltModifier && key == Qt::Key_Up)) {
    if (Active()) GoUp();
    return true;
  }
  if (mods != Qt::NoModifier) return false;
  switch (key) {
    case Qt::Key_Insert:
    case Qt::Key_Space:
      if (Active()) ToggleCurrentRow();
      return true;
    default:
      return false;
  }
}

void PaneController::GoUp() {
  const std::string left = LastName(pane_.Path);
  if (left.empty()) return;  // a drive's root has nothing above it
  ListDirTo("..");
  if (!SetCurrentRow(left)) SetCurrentRow(0);
}

bool PaneController::SetCurrentRow(const std::string& name) {
  for (int row = pane_.FirstDirRow(); row < static_cast<int>(pane_.Rows.size()); ++row) {
    if (pane_.Rows[row].name == name) {
      SetCurrentRow(row);
      return true;
    }
  }
  return false;
}

void PaneController::SetCurrentRow(int row) {
  PaneControls& c = controls_;
  if (row < 0 || row >= c.model->rowCount()) return;
  const QModelIndex index = c.model->index(row, 0);
  c.list->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  c.list->scrollTo(index);
}

void PaneController::ToggleCurrentRow() {
  PaneControls& c = controls_;
  QItemSelectionModel* selection = c.list->selectionModel();
  const QModelIndex current = c.list->currentIndex();
  if (!current.isValid()) {
    if (c.model->rowCount() > 0) {
      selection->setCurrentIndex(c.model->index(0, 0), QItemSelectionModel::NoUpdate);
    }
    return;
  }
  const int row = current.row();
  // The special rows stand for no entry; they are passed over, never marked.
  if (row >= pane_.FirstDirRow()) {
    selection->select(current, QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
  }
  c.list->SetMarking(true);
  if (row + 1 < c.model->rowCount()) {
    const QModelIndex next = c.model->index(row + 1, 0);
    selection->setCurrentIndex(next, QItemSelectionModel::NoUpdate);
    c.list->scrollTo(next);
  }
}

void PaneController::MarkFiles(const duplane::NamePatterns& patterns, bool select) {
  PaneControls& c = controls_;
  QItemSelection rows;
  for (int row = pane_.FirstFileRow(); row < pane_.RowCount(); ++row) {
    const PaneRow* r = pane_.RowAt(row);
    if (r != nullptr && patterns.Matches(r->name)) {
      rows.select(c.model->index(row, 0), c.model->index(row, kPaneColumns - 1));
    }
  }
  bulk_select_ = true;
  c.list->selectionModel()->select(
      rows, select ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
  bulk_select_ = false;
  c.list->SetMarking(true);
  UpdateStatus();
}

void PaneController::FocusShownView() {
  // Ctrl+Tab from the tree leaves the focus on the first button of the new
  // page; the keyboard user wants the list (or the tree) itself. A focus on
  // the tab bar stays, so the arrow keys go on turning pages.
  PaneControls& c = controls_;
  QWidget* focus = QApplication::focusWidget();
  QWidget* page = c.page_control->currentWidget();
  if (focus == nullptr || page == nullptr || !page->isAncestorOf(focus)) return;
  if (ShowsFiles()) {
    c.list->setFocus(Qt::OtherFocusReason);
  } else {
    c.tree->setFocus(Qt::OtherFocusReason);
  }
}

void PaneController::ShowSortIndicator() {
  QHeaderView* header = controls_.list->header();
  const int key = pane_.SortColumn;
  header->setSortIndicatorShown(key != 0);
  if (key != 0) {
    header->setSortIndicator(std::abs(key) - 1, key > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
  }
}

}  // namespace duplane
