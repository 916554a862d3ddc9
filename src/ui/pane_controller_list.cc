// The pane's file list: reading a directory into the pane record, sorting and
// reversing with the selection kept, entering directories, the select-all
// commands and the filespec edit.
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QLocale>
#include <QTreeView>
#include <memory>

#include "link/link.h"
#include "localfs/local_file_system.h"
#include "transfer/search_slots.h"
#include "ui/busy_cursor.h"
#include "ui/list_sort.h"
#include "ui/list_texts.h"
#include "ui/listing_progress.h"
#include "ui/main_form_texts.h"
#include "ui/message_boxes.h"
#include "ui/pane_controller.h"
#include "ui/pane_host.h"
#include "ui/pane_list_model.h"

namespace duplane {
namespace {

namespace text = form1_text;

void AppendRow(std::array<std::vector<std::string>, kPaneColumns>& columns, std::string name,
               std::string size, std::string attr, std::string modified, std::string accessed,
               std::string created) {
  columns[kColName].push_back(std::move(name));
  columns[kColSize].push_back(std::move(size));
  columns[kColAttr].push_back(std::move(attr));
  columns[kColModified].push_back(std::move(modified));
  columns[kColAccessed].push_back(std::move(accessed));
  columns[kColCreated].push_back(std::move(created));
}

void AppendEntry(std::array<std::vector<std::string>, kPaneColumns>& columns, const FindRecord& r,
                 std::string size) {
  AppendRow(columns, r.name, std::move(size), AttrText(r.attributes),
            ModifiedText(r.last_write_time), AccessedText(r.last_access_time),
            CreatedText(r.creation_time));
}

// The "<parent>" and "<root>" rows go on top whenever ".." arrives: a Remote
// Module whose file system lists it after other directories must not put them
// inside the directory range, where Select all would pick them up for a copy.
// A second ".." from a confused module adds nothing.
void PutSpecialRowsFirst(TPane& pane, std::uint32_t parent_attributes) {
  if (pane.SpecialCount != 0) return;
  auto& c = pane.Columns;
  const std::string texts[2][kPaneColumns] = {
      {"..", form1_text::kParentRow, AttrText(parent_attributes), "", "", ""},
      {"\\", form1_text::kRootRow, ".d...", "", "", ""}};
  for (int k = 0; k < kPaneColumns; ++k) c[k].insert(c[k].begin(), {texts[0][k], texts[1][k]});
  pane.SpecialCount = 2;
}

bool IsDirectoryRow(const TPane& pane, int row) {
  return row >= 0 && static_cast<std::size_t>(row) < pane.Columns[kColAttr].size() &&
         pane.Columns[kColAttr][row].find('d') != std::string::npos;
}

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
  PaneControls& c = controls_;
  c.dir->SetText(QString::fromStdString(pane_.Path));
  if (pane_.Path.empty()) return;
  BusyCursor busy;
  pane_.list_stale = false;
  c.model->BeginChange();
  for (auto& column : pane_.Columns) column.clear();
  for (auto& column : file_columns_) column.clear();
  pane_.SpecialCount = 0;
  pane_.DirCount = 0;
  pane_.FileCount = 0;

  const std::string dir = pane_.Path.size() > 3 ? pane_.Path + "\\" : pane_.Path;
  const std::string pattern = FileSpec().toStdString();
  const bool all_files = pattern == text::kAllFiles;
  const std::int32_t slot = AllocFBlock();
  // With no slot there is nothing to search with; the list stays empty.
  if (slot != 0) {
    Link& l = host_.link();
    const std::unique_ptr<ListingProgress> progress = host_.ListingStarted();
    const auto rows_read = [&] {
      return static_cast<std::int32_t>(pane_.Columns[kColName].size() +
                                       file_columns_[kColName].size());
    };
    if (l.LinkFindFirst(side_, slot, dir + "*.*", kMaskFilesAndDirs) == 0) {
      do {
        const FindRecord& r = l.SlotRecord(slot);
        // "." and ".." name no entry of their own, whatever attributes they
        // come with; only a directory ".." stands for the parent.
        if (r.name == "." || r.name == "..") {
          if (r.name == ".." && (r.attributes & kAttrDirectory)) {
            PutSpecialRowsFirst(pane_, r.attributes);
          }
        } else if (r.attributes & kAttrDirectory) {
          AppendEntry(pane_.Columns, r, text::kDirRow);
          ++pane_.DirCount;
        } else if (all_files) {
          AddFileEntry(slot);
        }
      } while (progress->Entry(rows_read()) && l.LinkFindNext(side_, slot) == 0);
      l.LinkFindClose(side_, slot);
    }
    // A filespec that is more than one name (..\*, C:*) would list another
    // directory's files as this one's, and commands would then act on the
    // namesakes here: it lists no file at all.
    const bool stopped = progress->cancelled() || progress->limit_reached();
    if (!stopped && !all_files && IsPlainFindName(pattern)) {
      if (l.LinkFindFirst(side_, slot, dir + pattern, kMaskFilesOnly) == 0) {
        do {
          AddFileEntry(slot);
        } while (progress->Entry(rows_read()) && l.LinkFindNext(side_, slot) == 0);
        l.LinkFindClose(side_, slot);
      }
    }
    host_.search_slots().Free(slot);
    if (progress->limit_reached()) {
      host_.boxes().Error(text::kListLimitPrefix + QLocale().toString(ListingProgress::Limit()) +
                          text::kListLimitMiddle + QString::fromStdString(pane_.Path) + text::kOn +
                          SideText());
    }
  }
  for (int k = 0; k < kPaneColumns; ++k) {
    auto& column = pane_.Columns[k];
    column.insert(column.end(), std::make_move_iterator(file_columns_[k].begin()),
                  std::make_move_iterator(file_columns_[k].end()));
    std::vector<std::string>().swap(file_columns_[k]);
  }
  c.model->EndChange();
  SortList();
  if (pane_.SortColumn < 0) ReverseList();
  c.list->viewport()->update();
  UpdateStatus();
}

void PaneController::AddFileEntry(std::int32_t slot) {
  const FindRecord& r = host_.link().SlotRecord(slot);
  if (!IsEntryName(r.name)) return;  // no file can bear "." or ".."
  AppendEntry(file_columns_, r, std::to_string(r.size));
  ++pane_.FileCount;
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
}

void PaneController::EnterSelectedDir() {
  const QModelIndexList rows = controls_.list->selectionModel()->selectedRows();
  if (rows.isEmpty()) return;
  int row = rows.first().row();
  for (const QModelIndex& index : rows) row = std::min(row, index.row());
  if (!IsDirectoryRow(pane_, row)) return;
  // The message names the drive the pane was on, not the entry's first letter.
  const std::string previous = pane_.Path;
  Link& link = host_.link();
  if (link.LinkChDir(side_, pane_.Columns[kColName][row]) != 0) {
    const QString drive = previous.empty() ? QString() : QString(QChar(previous[0]));
    host_.boxes().Error(text::kDrivePrefix + drive + text::kNotReadySuffix);
  }
  pane_.Path = link.LinkGetDir(side_, kCurrentDrive);
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
