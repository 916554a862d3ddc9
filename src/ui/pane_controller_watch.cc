// The Local list follows its directory when something outside the program
// changes it (another program saves a file, a download ends): a file-system
// watcher on the directory the list shows, and a refill that keeps the
// user's marks and cursor on the entries they were on. The Remote list has
// no such news over the cable and is refreshed with Ctrl+R.
#include <QApplication>
#include <QFileSystemWatcher>
#include <QItemSelectionModel>
#include <QTimer>
#include <unordered_set>

#include "link/link.h"
#include "localfs/drive_table.h"
#include "localfs/local_file_system.h"
#include "ui/pane_controller.h"
#include "ui/pane_host.h"
#include "ui/pane_list_model.h"

namespace duplane {
namespace {

// Changes come in bursts (a copy writes, closes, sets times); one refill
// after the burst is enough.
constexpr int kSettleMs = 200;

}  // namespace

void PaneController::WatchDir() {
  if (side_ != Side::kLocal) return;
  if (watcher_ == nullptr) {
    watcher_ = new QFileSystemWatcher(this);
    settle_ = new QTimer(this);
    settle_->setSingleShot(true);
    settle_->setInterval(kSettleMs);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, settle_, qOverload<>(&QTimer::start));
    connect(settle_, &QTimer::timeout, this, &PaneController::DirChangedOutside);
  }
  const QStringList watched = watcher_->directories();
  if (!watched.isEmpty()) watcher_->removePaths(watched);
  const DriveTable& table = host_.link().local().drive_table();
  ResolvedPath resolved;
  if (pane_.Path.empty() || !table.Resolve(pane_.Path, &resolved)) return;
  const std::string native =
      table.drives()[resolved.drive].directory + "/" + DriveTable::NativeRelative(resolved.names);
  watcher_->addPath(QString::fromStdString(native));
}

void PaneController::DirChangedOutside() {
  // Never in the middle of a read, a transfer or a dialog: the refill waits
  // until the window is the user's again.
  QWidget* window = controls_.panel->window();
  if (reading_ || !window->isEnabled() || QApplication::activeModalWidget() != nullptr) {
    settle_->start();
    return;
  }
  if (!ShowsFiles()) {
    pane_.list_stale = true;
    return;
  }
  RefillKeepingMarks();
}

void PaneController::RefillKeepingMarks() {
  PaneControls& c = controls_;
  std::unordered_set<std::string> marked;
  for (const QModelIndex& index : c.list->selectionModel()->selectedRows()) {
    marked.insert(pane_.Rows[index.row()].name);
  }
  const QModelIndex current = c.list->currentIndex();
  const std::string cursor = current.isValid() ? pane_.Rows[current.row()].name : "";
  const bool marking = c.list->marking();
  FillList();
  QItemSelection selection;
  const int rows = static_cast<int>(pane_.Rows.size());
  for (int row = 0; row < rows; ++row) {
    if (marked.count(pane_.Rows[row].name) != 0) {
      selection.select(c.model->index(row, 0), c.model->index(row, kPaneColumns - 1));
    }
  }
  bulk_select_ = true;
  QItemSelectionModel* model = c.list->selectionModel();
  model->select(selection, QItemSelectionModel::ClearAndSelect);
  for (int row = 0; row < rows; ++row) {
    if (!cursor.empty() && pane_.Rows[row].name == cursor) {
      model->setCurrentIndex(c.model->index(row, 0), QItemSelectionModel::NoUpdate);
      break;
    }
  }
  bulk_select_ = false;
  c.list->SetMarking(marking);
  UpdateStatus();
}

}  // namespace duplane
