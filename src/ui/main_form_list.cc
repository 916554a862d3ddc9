// The file lists of both panes: reading a directory into the pane record,
// sorting and reversing with the selection kept, entering directories, the
// select-all commands, the filespec edit and the list menus.
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

#include "link/link.h"
#include "localfs/local_file_system.h"
#include "transfer/file_spec.h"
#include "ui/busy_cursor.h"
#include "ui/list_sort.h"
#include "ui/list_texts.h"
#include "ui/listing_progress.h"
#include "ui/main_form.h"
#include "ui/main_form_texts.h"
#include "ui/message_boxes.h"
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

}  // namespace

void TForm1::BuildListMenus(Side side) {
  // The same three commands in the side's main menu and in its list's pop-up
  // menu; the numbers in the names are those of the window resource.
  struct Names {
    const char* dirs;
    const char* files;
    const char* refresh;
  };
  const Names main_names = side == Side::kLocal
                               ? Names{"Selectalldirs1", "Selectallfiles1", "Refresh1"}
                               : Names{"SelectallDirs2", "SelectallFiles2", "Refresh2"};
  const Names popup_names = side == Side::kLocal
                                ? Names{"SelectallDirs3", "SelectallFiles3", "Refresh3"}
                                : Names{"SelectallDirs4", "SelectallFiles4", "Refresh4"};
  PaneControls& c = Controls(side);
  auto* popup = new QMenu(c.list);
  popup->setObjectName(side == Side::kLocal ? "PopupMenu1" : "PopupMenu2");
  QMenu* side_menu = side == Side::kLocal ? local_pc_menu_ : remote_pc_menu_;
  for (auto [menu, names] : {std::pair{side_menu, main_names}, std::pair{popup, popup_names}}) {
    auto add = [this, menu = menu](const char* name, const char* caption, auto handler) {
      QAction* a = menu->addAction(QString::fromLatin1(caption));
      a->setObjectName(name);
      connect(a, &QAction::triggered, this, handler);
    };
    add(names.dirs, text::kSelectAllDirs, [this, side] { SelectAllDirs(side); });
    add(names.files, text::kSelectAllFiles, [this, side] { SelectAllFiles(side); });
    add(names.refresh, text::kRefresh, [this, side] {
      if (Handles(side)) FillList(side);
    });
  }
  c.list->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(c.list, &QWidget::customContextMenuRequested, this,
          [popup, list = c.list](const QPoint& at) {
            popup->popup(list->viewport()->mapToGlobal(at));
          });
}

void TForm1::ConnectListEvents(Side side) {
  PaneControls& c = Controls(side);
  c.model->SetActive([this, side] { return Handles(side); });
  connect(c.list, &QAbstractItemView::doubleClicked, this, [this, side] {
    if (Handles(side)) EnterSelectedDir(side);
  });
  c.list->installEventFilter(this);
  c.list->header()->setSectionsClickable(true);
  connect(c.list->header(), &QHeaderView::sectionClicked, this, [this, side](int column) {
    if (Handles(side)) ColumnClicked(side, column);
  });
  connect(c.sel_dirs_btn, &QToolButton::clicked, this, [this, side] { SelectAllDirs(side); });
  connect(c.sel_files_btn, &QToolButton::clicked, this, [this, side] { SelectAllFiles(side); });
  connect(c.list, &FileListView::SelectAllRequested, this,
          [this, side] { SelectAllEntries(side); });
  connect(c.refresh_btn, &QToolButton::clicked, this, [this, side] {
    if (Handles(side)) FillList(side);
  });
  c.filespec->installEventFilter(this);
  connect(c.filespec, &QLineEdit::returnPressed, this, [this, side] { FileSpecExit(side); });
  BuildListMenus(side);
}

void TForm1::FileSpecExit(Side side) {
  if (!Handles(side)) return;
  bool& changed = side == Side::kLocal ? lfilespec_changed_ : rfilespec_changed_;
  if (!changed) return;
  changed = false;
  FillList(side);
}

void TForm1::FillList(Side side) {
  // A long read pumps events behind its busy window.
  const Operation operation(*this);
  SelectPane(side);
  TPane& pane = Pane(side);
  PaneControls& c = Controls(side);
  c.dir->SetText(QString::fromStdString(pane.Path));
  if (pane.Path.empty()) return;
  BusyCursor busy;
  pane.list_stale = false;
  c.model->BeginChange();
  for (auto& column : pane.Columns) column.clear();
  for (auto& column : file_columns_) column.clear();
  pane.SpecialCount = 0;
  pane.DirCount = 0;
  pane.FileCount = 0;
  pane.HiddenFiles = 0;

  const std::string dir = pane.Path.size() > 3 ? pane.Path + "\\" : pane.Path;
  const FileSpec spec(file_spec_.toStdString());
  filled_spec_[SideIndex(side)] = file_spec_;
  // Files the first search reports; those the list does not show are the
  // ones the filespec hides.
  std::int32_t files_seen = 0;
  const std::int32_t slot = AllocFBlock();
  // With no slot there is nothing to search with; the list stays empty.
  if (slot != 0) {
    Link& l = link();
    ListingProgress progress(*this, message_form_);
    const auto rows_read = [&] {
      return static_cast<std::int32_t>(pane.Columns[kColName].size() +
                                       file_columns_[kColName].size());
    };
    if (l.LinkFindFirst(side, slot, dir + "*.*", kMaskFilesAndDirs) == 0) {
      do {
        const FindRecord& r = l.SlotRecord(slot);
        // "." and ".." name no entry of their own, whatever attributes they
        // come with; only a directory ".." stands for the parent.
        if (r.name == "." || r.name == "..") {
          if (r.name == ".." && (r.attributes & kAttrDirectory)) {
            PutSpecialRowsFirst(pane, r.attributes);
          }
        } else if (r.attributes & kAttrDirectory) {
          AppendEntry(pane.Columns, r, text::kDirRow);
          ++pane.DirCount;
        } else if (IsEntryName(r.name)) {
          ++files_seen;
          // Several patterns: every file came with this search, and the
          // matching ones are kept here. One pattern keeps the side's own
          // filtering of the second search, and its traffic, as it was.
          if (spec.all() || (!spec.single() && spec.Matches(r.name))) AddFileEntry(slot);
        }
      } while (progress.Entry(rows_read()) && l.LinkFindNext(side, slot) == 0);
      l.LinkFindClose(side, slot);
    }
    // A filespec that is more than one name (..\*, C:*) would list another
    // directory's files as this one's, and commands would then act on the
    // namesakes here: it lists no file at all.
    const bool stopped = progress.cancelled() || progress.limit_reached();
    if (!stopped && spec.single() && IsPlainFindName(spec.text())) {
      if (l.LinkFindFirst(side, slot, dir + spec.text(), kMaskFilesOnly) == 0) {
        do {
          AddFileEntry(slot);
        } while (progress.Entry(rows_read()) && l.LinkFindNext(side, slot) == 0);
        l.LinkFindClose(side, slot);
      }
    }
    search_slots_.Free(slot);
    pane.HiddenFiles = std::max(0, files_seen - pane.FileCount);
    if (progress.limit_reached()) {
      boxes_.Error(text::kListLimitPrefix + QLocale().toString(ListingProgress::Limit()) +
                   text::kListLimitMiddle + QString::fromStdString(pane.Path) + text::kOn +
                   SideText(side));
    }
  }
  for (int k = 0; k < kPaneColumns; ++k) {
    auto& column = pane.Columns[k];
    column.insert(column.end(), std::make_move_iterator(file_columns_[k].begin()),
                  std::make_move_iterator(file_columns_[k].end()));
    std::vector<std::string>().swap(file_columns_[k]);
  }
  c.model->EndChange();
  SortList(side);
  if (pane.SortColumn < 0) ReverseList(side);
  c.list->viewport()->update();
  ShowSortIndicator(side);
  if (side == Side::kLocal) WatchLocalDir();
  UpdateStatus(side);
}

void TForm1::AddFileEntry(std::int32_t slot) {
  const FindRecord& r = link().SlotRecord(slot);
  if (!IsEntryName(r.name)) return;  // no file can bear "." or ".."
  AppendEntry(file_columns_, r, std::to_string(r.size));
  ++Pane(current_side_).FileCount;
}

std::vector<bool> TForm1::RememberSelection(Side side) const {
  const PaneControls& c = controls_[SideIndex(side)];
  std::vector<bool> selected(static_cast<std::size_t>(c.model->rowCount()), false);
  for (const QItemSelectionRange& range : c.list->selectionModel()->selection()) {
    for (int row = range.top(); row <= range.bottom(); ++row) {
      if (static_cast<std::size_t>(row) < selected.size()) selected[row] = true;
    }
  }
  return selected;
}

void TForm1::RestoreSelection(Side side, const std::vector<bool>& selected) {
  PaneControls& c = Controls(side);
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

void TForm1::SortList(Side side) {
  SelectPane(side);
  TPane& pane = Pane(side);
  PaneControls& c = Controls(side);
  int key = std::abs(pane.SortColumn);
  if (key == 0 || c.model->rowCount() == 0) return;
  BusyCursor busy;
  std::vector<bool> selected = RememberSelection(side);
  const int first_file = pane.FirstFileRow();
  const int last_row = pane.RowCount() - 1;
  if (pane.FileCount > 1) SortRange(pane, selected, first_file, last_row, key);
  if (key == kColSize + 1) key = kColName + 1;  // directories all read "<dir>"
  if (pane.DirCount > 1) SortRange(pane, selected, pane.FirstDirRow(), first_file - 1, key);
  c.model->RowsChanged();
  RestoreSelection(side, selected);
}

void TForm1::ReverseList(Side side) {
  SelectPane(side);
  TPane& pane = Pane(side);
  PaneControls& c = Controls(side);
  if (c.model->rowCount() == 0) return;
  BusyCursor busy;
  std::vector<bool> selected = RememberSelection(side);
  ReverseRange(pane, selected, pane.FirstDirRow(), pane.FirstFileRow() - 1);
  ReverseRange(pane, selected, pane.FirstFileRow(), pane.RowCount() - 1);
  c.model->RowsChanged();
  RestoreSelection(side, selected);
}

void TForm1::ColumnClicked(Side side, int column) {
  TPane& pane = Pane(side);
  const int key = column + 1;
  if (key == std::abs(pane.SortColumn)) {
    pane.SortColumn = -pane.SortColumn;
    ReverseList(side);
  } else {
    pane.SortColumn = key;
    SortList(side);
  }
  ShowSortIndicator(side);
}

void TForm1::ShowSortIndicator(Side side) {
  QHeaderView* header = Controls(side).list->header();
  const int key = Pane(side).SortColumn;
  header->setSortIndicatorShown(key != 0);
  if (key != 0) {
    header->setSortIndicator(std::abs(key) - 1, key > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
  }
}

void TForm1::EnterSelectedDir(Side side) {
  SelectPane(side);
  TPane& pane = Pane(side);
  PaneControls& c = Controls(side);
  const QModelIndexList rows = c.list->selectionModel()->selectedRows();
  if (rows.isEmpty()) return;
  int row = rows.first().row();
  for (const QModelIndex& index : rows) row = std::min(row, index.row());
  if (!IsDirectoryRow(pane, row)) return;
  // The message names the drive the pane was on, not the entry's first letter.
  const std::string previous = pane.Path;
  if (link().LinkChDir(side, pane.Columns[kColName][row]) != 0) {
    const QString drive = previous.empty() ? QString() : QString(QChar(previous[0]));
    boxes_.Error(text::kDrivePrefix + drive + text::kNotReadySuffix);
  }
  pane.Path = link().LinkGetDir(side, kCurrentDrive);
  pane.tree_stale = true;
  FillList(side);
  SetCurrentRow(side, 0);
}

void TForm1::BulkSelectRows(Side side, int first, int count) {
  SelectPane(side);
  PaneControls& c = Controls(side);
  bulk_select_ = true;
  if (count > 0) {
    c.list->selectionModel()->select(
        QItemSelection(c.model->index(first, 0),
                       c.model->index(first + count - 1, kPaneColumns - 1)),
        QItemSelectionModel::Select);
  }
  bulk_select_ = false;
  UpdateStatus(side);
}

void TForm1::SelectAllDirs(Side side) {
  if (!Handles(side)) return;
  BulkSelectRows(side, Pane(side).FirstDirRow(), Pane(side).DirCount);
}

void TForm1::SelectAllFiles(Side side) {
  if (!Handles(side)) return;
  BulkSelectRows(side, Pane(side).FirstFileRow(), Pane(side).FileCount);
}

void TForm1::SelectAllEntries(Side side) {
  if (!Handles(side)) return;
  // Directories and files are adjacent: one range, one status update.
  const TPane& pane = Pane(side);
  BulkSelectRows(side, pane.FirstDirRow(), pane.DirCount + pane.FileCount);
}

}  // namespace duplane
