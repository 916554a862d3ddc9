// The Local list follows its directory when something outside the program
// changes it (another program saves a file, a download ends): a file-system
// watcher on the directory the list shows, and a refill that keeps the
// user's marks and cursor on the entries they were on. The Remote list has
// no such news over the cable and is refreshed with Ctrl+R.
#include <QFileSystemWatcher>
#include <QItemSelectionModel>
#include <QTabWidget>
#include <QTimer>
#include <unordered_set>

#include "link/link.h"
#include "localfs/drive_table.h"
#include "localfs/local_file_system.h"
#include "ui/main_form.h"
#include "ui/pane_list_model.h"

namespace duplane {
namespace {

// Changes come in bursts (a copy writes, closes, sets times); one refill
// after the burst is enough.
constexpr int kSettleMs = 200;

}  // namespace

void TForm1::BuildLocalWatcher() {
  local_watcher_ = new QFileSystemWatcher(this);
  watch_settle_ = new QTimer(this);
  watch_settle_->setSingleShot(true);
  watch_settle_->setInterval(kSettleMs);
  connect(local_watcher_, &QFileSystemWatcher::directoryChanged, watch_settle_,
          qOverload<>(&QTimer::start));
  connect(watch_settle_, &QTimer::timeout, this, &TForm1::LocalDirChanged);
}

void TForm1::WatchLocalDir() {
  if (local_watcher_ == nullptr) return;
  const QStringList watched = local_watcher_->directories();
  if (!watched.isEmpty()) local_watcher_->removePaths(watched);
  const std::string& path = Pane(Side::kLocal).Path;
  const DriveTable& table = link().local().drive_table();
  ResolvedPath resolved;
  if (path.empty() || !table.Resolve(path, &resolved)) return;
  const std::string native =
      table.drives()[resolved.drive].directory + "/" + DriveTable::NativeRelative(resolved.names);
  local_watcher_->addPath(QString::fromStdString(native));
}

void TForm1::LocalDirChanged() {
  // Never in the middle of a read, a transfer or a dialog of one: the
  // refill waits until the window is its own again.
  if (busy() || !isEnabled()) {
    watch_settle_->start();
    return;
  }
  PaneControls& c = Controls(Side::kLocal);
  if (c.page_control->currentIndex() != kFilesPage) {
    Pane(Side::kLocal).list_stale = true;
    return;
  }
  RefillKeepingMarks(Side::kLocal);
}

void TForm1::RefillKeepingMarks(Side side) {
  PaneControls& c = Controls(side);
  const TPane& pane = Pane(side);
  std::unordered_set<std::string> marked;
  for (const QModelIndex& index : c.list->selectionModel()->selectedRows()) {
    marked.insert(pane.Columns[kColName][index.row()]);
  }
  const QModelIndex current = c.list->currentIndex();
  const std::string cursor = current.isValid() ? pane.Columns[kColName][current.row()] : "";
  const bool marking = c.list->marking();
  FillList(side);
  QItemSelection selection;
  const auto& names = pane.Columns[kColName];
  for (int row = 0; row < static_cast<int>(names.size()); ++row) {
    if (marked.count(names[row]) != 0) {
      selection.select(c.model->index(row, 0), c.model->index(row, kPaneColumns - 1));
    }
  }
  bulk_select_ = true;
  c.list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  for (int row = 0; row < static_cast<int>(names.size()); ++row) {
    if (!cursor.empty() && names[row] == cursor) {
      c.list->selectionModel()->setCurrentIndex(c.model->index(row, 0),
                                                QItemSelectionModel::NoUpdate);
      break;
    }
  }
  bulk_select_ = false;
  c.list->SetMarking(marking);
  UpdateStatus(side);
}

}  // namespace duplane
