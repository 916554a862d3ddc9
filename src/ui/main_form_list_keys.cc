// The keys of the two-pane tradition inside a file list: Backspace goes up
// and leaves the cursor on the directory just left, Insert and Space mark the
// current row and move on, + and - mark or unmark the files a pattern names,
// Delete is F8, and Tab goes straight to the other list while both panes
// show their files (Shift+Tab keeps the window's whole tab walk, backwards,
// so the toolbars and filespecs stay in reach; Ctrl+Tab still turns the page).
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QTabWidget>
#include <QTreeWidget>

#include "link/link.h"
#include "transfer/file_spec.h"
#include "ui/main_form.h"
#include "ui/main_form_texts.h"
#include "ui/message_boxes.h"
#include "ui/pane_list_model.h"

namespace duplane {
namespace {

namespace text = form1_text;

bool BothShowFiles(TForm1& form) {
  return form.Controls(Side::kLocal).page_control->currentIndex() == kFilesPage &&
         form.Controls(Side::kRemote).page_control->currentIndex() == kFilesPage;
}

// The directory's last name: "C:\DATA\2001" -> "2001"; a root has none.
std::string LastName(const std::string& path) {
  if (path.size() <= 3) return std::string();
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool TForm1::ListKey(Side side, QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier);
  const QString typed = event->text();
  if (typed == "+" || typed == "-") {
    if (Handles(side)) SelectByPattern(side, typed == "+");
    return true;
  }
  switch (event->key()) {
    case Qt::Key_Backspace:
      if (mods == Qt::NoModifier && Handles(side)) GoUp(side);
      return mods == Qt::NoModifier;
    case Qt::Key_Insert:
    case Qt::Key_Space:
      if (mods != Qt::NoModifier) return false;
      if (Handles(side)) ToggleCurrentRow(side);
      return true;
    case Qt::Key_Delete:
      if (mods != Qt::NoModifier) return false;
      RunFunctionKey(side, FunctionKey::kDelete);
      return true;
    case Qt::Key_Tab:
      if (mods != Qt::NoModifier || !BothShowFiles(*this)) return false;
      Controls(Other(side)).list->setFocus(Qt::TabFocusReason);
      return true;
    default:
      return false;
  }
}

void TForm1::FocusShownView(Side side) {
  // Ctrl+Tab from the tree leaves the focus on the first button of the new
  // page; the keyboard user wants the list (or the tree) itself. A focus on
  // the tab bar stays, so the arrow keys go on turning pages.
  PaneControls& c = Controls(side);
  QWidget* focus = focusWidget();
  QWidget* page = c.page_control->currentWidget();
  if (focus == nullptr || page == nullptr || !page->isAncestorOf(focus)) return;
  if (c.page_control->currentIndex() == kFilesPage) {
    c.list->setFocus(Qt::OtherFocusReason);
  } else {
    c.tree->setFocus(Qt::OtherFocusReason);
  }
}

void TForm1::GoUp(Side side) {
  SelectPane(side);
  TPane& pane = Pane(side);
  const std::string left = LastName(pane.Path);
  if (left.empty()) return;  // a drive's root has nothing above it
  const std::string previous = pane.Path;
  if (link().LinkChDir(side, "..") != 0) {
    boxes_.Error(text::kDrivePrefix + QString(QChar(previous[0])) + text::kNotReadySuffix);
  }
  pane.Path = link().LinkGetDir(side, kCurrentDrive);
  pane.tree_stale = true;
  FillList(side);
  if (!SetCurrentRow(side, left)) SetCurrentRow(side, 0);
}

bool TForm1::SetCurrentRow(Side side, const std::string& name) {
  const TPane& pane = Pane(side);
  const auto& names = pane.Columns[kColName];
  int found = -1;
  for (int row = pane.FirstDirRow(); row < static_cast<int>(names.size()); ++row) {
    if (names[row] == name) {
      found = row;
      break;
    }
  }
  if (found < 0) return false;
  SetCurrentRow(side, found);
  return true;
}

void TForm1::SetCurrentRow(Side side, int row) {
  PaneControls& c = Controls(side);
  if (row < 0 || row >= c.model->rowCount()) return;
  // The cursor row is also the selected one, as after a click on it, so that
  // Enter, F5 or Shift+F6 act on what the cursor shows.
  const QModelIndex index = c.model->index(row, 0);
  c.list->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  c.list->scrollTo(index);
}

void TForm1::ToggleCurrentRow(Side side) {
  PaneControls& c = Controls(side);
  const QModelIndex current = c.list->currentIndex();
  if (!current.isValid()) {
    if (c.model->rowCount() > 0) {
      c.list->selectionModel()->setCurrentIndex(c.model->index(0, 0),
                                                QItemSelectionModel::NoUpdate);
    }
    return;
  }
  const int row = current.row();
  // The special rows stand for no entry; they are passed over, never marked.
  if (row >= Pane(side).FirstDirRow()) {
    c.list->selectionModel()->select(current,
                                     QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
  }
  c.list->SetMarking(true);
  if (row + 1 < c.model->rowCount()) {
    const QModelIndex next = c.model->index(row + 1, 0);
    c.list->selectionModel()->setCurrentIndex(next, QItemSelectionModel::NoUpdate);
    c.list->scrollTo(next);
  }
}

void TForm1::SelectByPattern(Side side, bool select) {
  SelectPane(side);
  const std::optional<QString> typed =
      prompts_->Ask(select ? text::kSelectCaption : text::kDeselectCaption,
                    select ? text::kSelectPrompt : text::kDeselectPrompt, last_pattern_);
  if (!typed || typed->trimmed().isEmpty()) return;
  last_pattern_ = *typed;
  const FileSpec spec(typed->toStdString());
  const TPane& pane = Pane(side);
  PaneControls& c = Controls(side);
  QItemSelection rows;
  for (int row = pane.FirstFileRow(); row < pane.RowCount(); ++row) {
    if (spec.Matches(pane.Columns[kColName][row])) {
      rows.select(c.model->index(row, 0), c.model->index(row, kPaneColumns - 1));
    }
  }
  bulk_select_ = true;
  c.list->selectionModel()->select(
      rows, select ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
  bulk_select_ = false;
  c.list->SetMarking(true);
  UpdateStatus(side);
}

}  // namespace duplane
