// The pane's construction and events, its page switching with the deferred
// refreshes, the status line, and the connection's start and end.
#include "ui/pane_controller.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "transfer/directory_listing.h"
#include "ui/main_form_texts.h"
#include "ui/message_boxes.h"
#include "ui/pane_host.h"
#include "ui/pane_list_model.h"

namespace duplane {
namespace {

namespace text = form1_text;

QString Grouped(qint64 value) { return QLocale().toString(value); }

// Said after the counts, so that a list that looks short is not taken for
// the whole directory.
QString HiddenNote(int hidden, const QString& filespec) {
  if (hidden <= 0) return QString();
  return text::kHiddenOpen + QString::number(hidden) + text::kHiddenMiddle + filespec + ")";
}

}  // namespace

PaneController::PaneController(Side side, PaneHost& host, QWidget* parent)
    : side_(side), host_(host), row_limit_(kListingRowLimit) {
  controls_ = BuildPaneControls(side, pane_, parent);
  panel_ = controls_.panel;
  ConnectEvents();
}

// The list's model reads the record, so the widgets go before it does.
PaneController::~PaneController() { delete panel_; }

bool PaneController::Active() const { return side_ == Side::kLocal || host_.connected(); }

bool PaneController::ShowsFiles() const {
  return controls_.page_control->currentIndex() == kFilesPage;
}

QString PaneController::FileSpec() const { return controls_.filespec->text(); }

PaneSelection PaneController::Selection() const {
  const QItemSelectionModel* selection = controls_.list->selectionModel();
  return SelectionOf(pane_, FileSpec().toStdString(), [&](std::int32_t row) {
    return selection != nullptr && selection->isRowSelected(row, QModelIndex());
  });
}

void PaneController::ConnectEvents() {
  PaneControls& c = controls_;
  // LocalTreeChange / RemoteTreeChange.
  connect(c.tree, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
            if (Active() && current != nullptr) ChangeDirFromTree(current);
          });
  // LocalTreeExpanding / RemoteTreeExpanding: Qt reports the expansion after
  // the fact, so a refused expansion is undone at once.
  connect(c.tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) {
    if (in_expand_item_ || !Active()) return;
    ExpandItem(node);
  });
  // LocalTreeEnter / RemoteTreeEnter: watched before the view's own focus
  // handling, which would otherwise make the first drive current.
  c.tree->installEventFilter(this);
  // LocalPageControlChange / RemotePageControlChange.
  connect(c.page_control, &QTabWidget::currentChanged, this, [this](int) { PageControlChange(); });
  connect(c.list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (Active()) UpdateStatus();
  });
  // LFileSpecChange / RFileSpecChange.
  connect(c.filespec, &QLineEdit::textEdited, this, [this] {
    if (Active()) filespec_changed_ = true;
  });

  c.model->SetActive([this] { return Active(); });
  connect(c.list, &QAbstractItemView::doubleClicked, this, [this] {
    if (Active()) EnterSelectedDir();
  });
  c.list->installEventFilter(this);
  c.list->header()->setSectionsClickable(true);
  connect(c.list->header(), &QHeaderView::sectionClicked, this, [this](int column) {
    if (Active()) ColumnClicked(column);
  });
  connect(c.sel_dirs_btn, &QToolButton::clicked, this, [this] { SelectAllDirs(); });
  connect(c.sel_files_btn, &QToolButton::clicked, this, [this] { SelectAllFiles(); });
  connect(c.list, &FileListView::SelectAllRequested, this, [this] { SelectAllEntries(); });
  connect(c.refresh_btn, &QToolButton::clicked, this, [this] {
    if (Active()) FillList();
  });
  c.filespec->installEventFilter(this);
  connect(c.filespec, &QLineEdit::returnPressed, this, [this] { FileSpecExit(); });
}

bool PaneController::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn && watched == controls_.tree) {
    if (Active()) SelectHomeDrive();
  } else if (event->type() == QEvent::FocusOut && watched == controls_.filespec) {
    FileSpecExit();
  } else if (event->type() == QEvent::KeyPress && watched == controls_.list) {
    // Enter in the list enters the selected directory; going up, Insert and
    // Space are the two-pane keys of ListKey. Backspace has no meaning of
    // its own there.
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (Active()) EnterSelectedDir();
      return true;
    }
    if (ListKey(static_cast<QKeyEvent*>(event))) return true;
  }
  return QObject::eventFilter(watched, event);
}

void PaneController::PageControlChange() {
  host_.PageSwitched(side_);
  FocusShownView();
  if (side_ == Side::kRemote) {
    if (ShowsFiles()) controls_.page_control->currentWidget()->repaint();
    if (!host_.connected()) return;
  }
  PageChanged();
}

void PaneController::PageChanged() {
  if (!ShowsFiles()) {
    if (pane_.tree_stale) {
      SyncTreeToPath();
    } else {
      UpdateStatus();
    }
  } else if (pane_.list_stale) {
    FillList();
  } else {
    UpdateStatus();
  }
}

void PaneController::UpdateStatus() {
  if (bulk_select_) return;
  PaneControls& c = controls_;
  if (ShowsFiles()) {
    int dirs = 0;
    int files = 0;
    qint64 bytes = 0;
    const QModelIndexList rows = c.list->selectionModel()->selectedRows();
    for (const QModelIndex& index : rows) {
      const int row = index.row();
      if (row >= pane_.FirstFileRow()) {
        ++files;
        if (const PaneRow* r = pane_.RowAt(row)) bytes += r->Bytes();
      } else if (row >= pane_.FirstDirRow()) {
        ++dirs;
      }
    }
    c.status->setText(text::kSelected + QString::number(dirs) + text::kOf +
                      QString::number(pane_.DirCount) + text::kDirsComma + QString::number(files) +
                      text::kOf + QString::number(pane_.FileCount) + text::kFilesColon +
                      Grouped(bytes) + text::kBytes + HiddenNote(pane_.HiddenFiles, filled_spec_));
    return;
  }
  QString dir = c.dir->text();
  if (dir.isEmpty()) return;
  const QChar first = dir[0];
  const int letter = first >= 'a' && first <= 'z' ? first.unicode() - 'a' + 'A' : first.unicode();
  const int drive = letter - 64;
  // Only a drive letter names a drive; any other panel text leaves the line.
  if (drive < 1 || drive > 26) return;
  Link& link = host_.link();
  const qint64 free = link.LinkDiskFree(side_, static_cast<std::uint8_t>(drive));
  const qint64 size = link.LinkDiskSize(side_, static_cast<std::uint8_t>(drive));
  const qint64 percent = size > 0 ? free * 100 / size : 0;
  c.status->setText(text::kBytesFree + Grouped(free) + "  (" + QString::number(percent) + "%)");
}

void PaneController::StartOver() {
  pane_.Path.clear();
  pane_.SortColumn = 1;
  pane_.list_stale = true;
  pane_.tree_stale = true;
}

void PaneController::ShowDisconnected() {
  controls_.model->Clear();
  controls_.list->repaint();
  while (controls_.tree->topLevelItemCount() > 0) delete controls_.tree->takeTopLevelItem(0);
  if (IconsInUse()) image_list_.clear();
  controls_.dir->SetText(text::kDisconnected);
  controls_.status->clear();
}

}  // namespace duplane
