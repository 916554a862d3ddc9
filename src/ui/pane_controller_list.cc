// The pane's file list: reading a directory into the pane record, sorting and
// reversing with the selection kept, entering directories, the select-all
// commands and the filespec edit.
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QLocale>
#include <QScopedValueRollback>
#include <QTreeView>
#include <memory>

#include "link/link.h"
#include "transfer/directory_listing.h"
#include "ui/busy_cursor.h"
#include "ui/list_sort.h"
#include "ui/listing_progress.h"
#include "ui/main_form_texts.h"
#include "ui/message_boxes.h"
#include "ui/pane_controller.h"
#include "ui/pane_host.h"
#include "ui/pane_list_model.h"

namespace duplane {
namespace {

namespace text = form1_text;

// A directory read is one of the window's long operations for one scope.
class ReadScope {
 public:
  explicit ReadScope(PaneHost& host) : host_(host) { host_.LongOperationBegins(); }
  ~ReadScope() { host_.LongOperationEnds(); }
  ReadScope(const ReadScope&) = delete;
  ReadScope& operator=(const ReadScope&) = delete;

 private:
  PaneHost& host_;
};

}  // namespace

void PaneController::FileSpecExit() {
  if (!Active() || !filespec_changed_) return;
  filespec_changed_ = false;
  FillList();
}

void PaneController::FillList() {
  // A long read pumps events behind its busy window.
  const ReadScope operation(host_);
  const QScopedValueRollback<bool> reading(reading_, true);
  PaneControls& c = controls_;
  c.dir->SetText(QString::fromStdString(pane_.Path));
  if (pane_.Path.empty()) return;
  BusyCursor busy;
  pane_.list_stale = false;
  c.model->BeginChange();
  filled_spec_ = FileSpec();
  ListingOptions options;
  options.file_spec = filled_spec_.toStdString();
  options.row_limit = row_limit_;
  ListingEnd end;
  {
    const std::unique_ptr<ListingProgress> progress = host_.ListingStarted();
    if (progress != nullptr) {
      options.progress = [&progress](std::int32_t rows) { return progress->Entry(rows); };
    }
    end = ReadListing(host_.link(), host_.search_slots(), side_, pane_.Path, options, &pane_);
  }
  if (end == ListingEnd::kNoSlot) host_.boxes().Error(text::kFBlockError);
  if (end == ListingEnd::kLimitReached) {
    host_.boxes().Error(text::kListLimitPrefix + QLocale().toString(row_limit_) +
                        text::kListLimitMiddle + QString::fromStdString(pane_.Path) + text::kOn +
                        text::SideText(side_));
  }
  c.model->EndChange();
  SortList();
  if (pane_.SortColumn < 0) ReverseList();
  c.list->viewport()->update();
  ShowSortIndicator();
  WatchDir();
  UpdateStatus();
}

std::vector<bool> PaneController::RememberSelection() const {
  const PaneControls& c = controls_;
  std::vector<bool> selected(static_cast<std::size_t>(c.model->rowCount()), false);
  for (const QItemSelectionRange& range : c.list->selectionModel()->selection()) {
    for (int row = range.top(); row <= range.bottom(); ++row) {
      if (static_cast<std::size_t>(row) < selected.size()) selected[row] = true;
    }
  }
  return selected;
}

void PaneController::RestoreSelection(const std::vector<bool>& selected) {
  PaneControls& c = controls_;
  QItemSelectionModel* model = c.list->selectionModel();
  QItemSelection selection;
  const int rows = static_cast<int>(selected.size());
  const int last_column = kPaneColumns - 1;
  for (int row = 0; row < rows;) {
    if (!selected[row]) {
      ++row;
      continue;
    }
    int end = row;
    while (end + 1 < rows && selected[end + 1]) ++end;
    selection.select(c.model->index(row, 0), c.model->index(end, last_column));
    row = end + 1;
  }
  {
    // The selection events stay detached while the rows are marked again.
    const QSignalBlocker blocker(model);
    model->select(selection, QItemSelectionModel::ClearAndSelect);
    model->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  }
  c.list->viewport()->update();
}

void PaneController::SortList() {
  int key = std::abs(pane_.SortColumn);
  if (key == 0 || controls_.model->rowCount() == 0) return;
  BusyCursor busy;
  std::vector<bool> selected = RememberSelection();
  const int first_file = pane_.FirstFileRow();
  const int last_row = pane_.RowCount() - 1;
  if (pane_.FileCount > 1) SortRange(pane_, selected, first_file, last_row, key);
  if (key == kColSize + 1) key = kColName + 1;  // directories all read "<dir>"
  if (pane_.DirCount > 1) SortRange(pane_, selected, pane_.FirstDirRow(), first_file - 1, key);
  controls_.model->RowsChanged();
  RestoreSelection(selected);
}

void PaneController::ReverseList() {
  if (controls_.model->rowCount() == 0) return;
  BusyCursor busy;
  std::vector<bool> selected = RememberSelection();
  ReverseRange(pane_, selected, pane_.FirstDirRow(), pane_.FirstFileRow() - 1);
  ReverseRange(pane_, selected, pane_.FirstFileRow(), pane_.RowCount() - 1);
  controls_.model->RowsChanged();
  RestoreSelection(selected);
}

void PaneController::ColumnClicked(int column) {
  const int key = column + 1;
  if (key == std::abs(pane_.SortColumn)) {
    pane_.SortColumn = -pane_.SortColumn;
    ReverseList();
  } else {
    pane_.SortColumn = key;
    SortList();
  }
  ShowSortIndicator();
}

void PaneController::EnterSelectedDir() {
  const QModelIndexList rows = controls_.list->selectionModel()->selectedRows();
  if (rows.isEmpty()) return;
  int row = rows.first().row();
  for (const QModelIndex& index : rows) row = std::min(row, index.row());
  // A directory or one of the special rows above them.
  const PaneRow* entry = pane_.RowAt(row);
  if (entry == nullptr || !entry->IsDirectory()) return;
  ListDirTo(pane_.Rows[row].name);
  SetCurrentRow(0);
}

void PaneController::ChangeDirTo(const std::string& target) {
  // The message names the drive the pane was on, not the target's first letter.
  const std::string previous = pane_.Path;
  Link& link = host_.link();
  if (link.LinkChDir(side_, target) != 0) {
    const QString drive = previous.empty() ? QString() : QString(QChar(previous[0]));
    host_.boxes().Error(text::kDrivePrefix + drive + text::kNotReadySuffix);
  }
  pane_.Path = link.LinkGetDir(side_, kCurrentDrive);
}

void PaneController::ListDirTo(const std::string& target) {
  ChangeDirTo(target);
  pane_.tree_stale = true;
  FillList();
}

void PaneController::BulkSelectRows(int first, int count) {
  bulk_select_ = true;
  if (count > 0) {
    controls_.list->selectionModel()->select(
        QItemSelection(controls_.model->index(first, 0),
                       controls_.model->index(first + count - 1, kPaneColumns - 1)),
        QItemSelectionModel::Select);
  }
  bulk_select_ = false;
  UpdateStatus();
}

void PaneController::SelectAllDirs() {
  if (Active()) BulkSelectRows(pane_.FirstDirRow(), pane_.DirCount);
}

void PaneController::SelectAllFiles() {
  if (Active()) BulkSelectRows(pane_.FirstFileRow(), pane_.FileCount);
}

void PaneController::SelectAllEntries() {
  // Directories and files are adjacent: one range, one status update.
  if (Active()) BulkSelectRows(pane_.FirstDirRow(), pane_.DirCount + pane_.FileCount);
}

}  // namespace duplane
