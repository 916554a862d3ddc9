// The directory panes: the drive tree with its lazy expansion, changing
// directory from the tree, following a path back into the tree, switching
// pages with the deferred refreshes, and the status line.
#include <QApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QTabWidget>
#include <QTreeView>
#include <QTreeWidget>
#include <algorithm>
#include <vector>

#include "link/link.h"
#include "ui/busy_cursor.h"
#include "ui/main_form.h"
#include "ui/main_form_texts.h"
#include "ui/message_boxes.h"
#include "ui/pane_list_model.h"

namespace duplane {
namespace {

namespace text = form1_text;

constexpr int kNormalIconRole = Qt::UserRole;
constexpr int kOpenIconRole = Qt::UserRole + 1;

// Suspends repainting of a widget for one scope.
class RepaintSuspended {
 public:
  explicit RepaintSuspended(QWidget* widget) : widget_(widget) {
    widget_->setUpdatesEnabled(false);
  }
  ~RepaintSuspended() { widget_->setUpdatesEnabled(true); }
  RepaintSuspended(const RepaintSuspended&) = delete;
  RepaintSuspended& operator=(const RepaintSuspended&) = delete;

 private:
  QWidget* widget_;
};

QString AsciiUpper(const QString& s) {
  QString result = s;
  for (QChar& c : result) {
    if (c >= 'a' && c <= 'z') c = QChar(c.unicode() - 'a' + 'A');
  }
  return result;
}

void SetHasChildren(QTreeWidgetItem* node, bool has) {
  node->setChildIndicatorPolicy(has ? QTreeWidgetItem::ShowIndicator
                                    : QTreeWidgetItem::DontShowIndicator);
}

QString Grouped(qint64 value) { return QLocale().toString(value); }

// Said after the counts, so that a list that looks short is not taken for
// the whole directory.
QString HiddenNote(int hidden, const QString& spec) {
  if (hidden <= 0) return QString();
  return text::kHiddenOpen + QString::number(hidden) + text::kHiddenMiddle + spec + ")";
}

bool IsDescendant(const QTreeWidgetItem* item, const QTreeWidgetItem* ancestor) {
  for (const QTreeWidgetItem* p = item ? item->parent() : nullptr; p; p = p->parent()) {
    if (p == ancestor) return true;
  }
  return false;
}

}  // namespace

void TForm1::SelectPane(Side side) {
  current_side_ = side;
  file_spec_ = Controls(side).filespec->text();
}

QString TForm1::NodePath(const QTreeWidgetItem* node) {
  if (node == nullptr) return QString();
  QString path = node->text(0);
  for (const QTreeWidgetItem* p = node->parent(); p != nullptr; p = p->parent()) {
    const QString t = p->text(0);
    path = t.endsWith('\\') ? t + path : t + '\\' + path;
  }
  return path;
}

int TForm1::AbsoluteIndex(const QTreeWidgetItem* node) {
  QTreeWidget* tree = node->treeWidget();
  int index = 0;
  for (QTreeWidgetItemIterator it(tree); *it; ++it, ++index) {
    if (*it == node) return index;
  }
  return -1;
}

QTreeWidgetItem* TForm1::NodeAtAbsoluteIndex(QTreeWidget* tree, int index) {
  if (index < 0) return nullptr;
  QTreeWidgetItemIterator it(tree);
  for (int i = 0; *it && i < index; ++i) ++it;
  return *it;
}

void TForm1::SetNodeIcon(Side side, QTreeWidgetItem* node) {
  std::int32_t normal = -1;
  std::int32_t open = -1;
  link().LinkGetIconIndex(side, NodePath(node).toStdString(), &normal, &open);
  node->setData(0, kNormalIconRole, normal);
  node->setData(0, kOpenIconRole, open);
  node->setIcon(0, NodeIcon(image_lists_[SideIndex(side)], normal, open));
}

void TForm1::FillDriveTree(Side side) {
  SelectPane(side);
  QTreeWidget* tree = Controls(side).tree;
  const bool icons = IconsInUse(side);
  if (icons) {
    ImageList& images = image_lists_[SideIndex(side)];
    if (side == Side::kLocal) {
      images = LocalImageList();
    } else {
      std::vector<std::uint8_t> strip;
      if (!link().LinkGetSysImageList(Side::kRemote, &strip) ||
          !ImageListFromStrip(strip, &images)) {
        boxes_.Error(text::kSystemIconsError);
      }
    }
  }
  const char home = link().LinkGetHomeDrive(side);
  int home_index = 0;
  const std::string drives = link().LinkGetDrives(side);
  for (char letter : drives) {
    auto* node = new QTreeWidgetItem(tree, {QString(QChar(letter)) + ":\\"});
    // Every drive shows an expander until it is read, ready or not.
    SetHasChildren(node, true);
    if (icons) SetNodeIcon(side, node);
    if (letter == home) home_index = AbsoluteIndex(node);
  }
  Pane(side).HomeNodeIndex = home_index;
}

void TForm1::DeleteChildren(Side side, QTreeWidgetItem* node) {
  // When the selection is among the children it moves to the node first, as
  // an ordinary selection, so the pane never names a directory whose node is
  // gone.
  QTreeWidget* tree = Controls(side).tree;
  if (IsDescendant(tree->currentItem(), node)) tree->setCurrentItem(node);
  qDeleteAll(node->takeChildren());
}

bool TForm1::ExpandNode(Side side, QTreeWidgetItem* node) {
  BusyCursor busy;
  SelectPane(side);
  DeleteChildren(side, node);
  std::vector<std::string> names;
  const std::int32_t count = link().LinkListSubDirs(side, NodePath(node).toStdString(), &names);
  {
    RepaintSuspended suspended(Controls(side).tree);
    for (const std::string& name : names) {
      auto* child = new QTreeWidgetItem(node, {QString::fromStdString(name)});
      SetHasChildren(child, link().LinkHasSubDirs(side, NodePath(child).toStdString()));
      if (IconsInUse(side)) SetNodeIcon(side, child);
    }
  }
  if (count > 0) {
    // Sorted by the locale's string comparison, as the user's other file
    // windows order names.
    QList<QTreeWidgetItem*> children = node->takeChildren();
    std::stable_sort(children.begin(), children.end(),
                     [](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
                       return QString::localeAwareCompare(a->text(0), b->text(0)) < 0;
                     });
    node->addChildren(children);
    return true;
  }
  SetHasChildren(node, false);
  return false;
}

void TForm1::ExpandItem(Side side, QTreeWidgetItem* node) {
  const bool outer = !in_expand_item_;
  in_expand_item_ = true;
  const bool allowed = ExpandNode(side, node);
  node->setExpanded(allowed);
  if (outer) in_expand_item_ = false;
}

void TForm1::ChangeDirFromTree(Side side, QTreeWidgetItem* node) {
  BusyCursor busy;
  SelectPane(side);
  TPane& pane = Pane(side);
  PaneControls& c = Controls(side);
  SetHasChildren(node, link().LinkHasSubDirs(side, NodePath(node).toStdString()));
  pane.Path = NodePath(c.tree->currentItem()).toStdString();
  if (link().LinkChDir(side, pane.Path) != 0) {
    const QString drive = pane.Path.empty() ? QString() : QString(QChar(pane.Path[0]));
    boxes_.Error(text::kDrivePrefix + drive + text::kNotReadySuffix);
  }
  pane.Path = link().LinkGetDir(side, kCurrentDrive);
  c.dir->SetText(QString::fromStdString(pane.Path));
  pane.list_stale = true;
  UpdateStatus(side);
}

void TForm1::SelectHomeDrive(Side side) {
  QTreeWidget* tree = Controls(side).tree;
  if (tree->currentItem() != nullptr) return;
  if (QTreeWidgetItem* home = NodeAtAbsoluteIndex(tree, Pane(side).HomeNodeIndex)) {
    tree->setCurrentItem(home);
  }
}

void TForm1::SyncTreeToPath(Side side) {
  SelectPane(side);
  TPane& pane = Pane(side);
  PaneControls& c = Controls(side);
  c.status->clear();
  pane.tree_stale = false;
  QString rest = AsciiUpper(QString::fromStdString(pane.Path));
  if (rest.size() < 3) return;
  {
    RepaintSuspended suspended(c.tree);
    const QString drive = rest.left(3);
    QTreeWidgetItem* node = nullptr;
    for (QTreeWidgetItemIterator it(c.tree); *it; ++it) {
      if ((*it)->text(0) == drive) {
        node = *it;
        break;
      }
    }
    if (node != nullptr) {
      c.tree->setCurrentItem(node);
      rest.remove(0, 3);
      while (!rest.isEmpty()) {
        ExpandItem(side, node);
        const int slash = rest.indexOf('\\');
        const QString name = slash < 0 ? rest : rest.left(slash);
        QTreeWidgetItem* found = nullptr;
        for (int i = 0; i < node->childCount(); ++i) {
          if (AsciiUpper(node->child(i)->text(0)) == name) {
            found = node->child(i);
            break;
          }
        }
        if (found == nullptr) break;
        node = found;
        c.tree->setCurrentItem(node);
        rest.remove(0, slash < 0 ? rest.size() : slash + 1);
      }
      // The directory itself may have gained, lost or renamed subdirectories
      // through the list (a rename or a new directory at a drive's root
      // included): a node that shows its children reads them again.
      if (rest.isEmpty() && (node->isExpanded() || node->childCount() > 0)) {
        ExpandItem(side, node);
      }
    }
  }
  UpdateStatus(side);
}

void TForm1::SetListDragMode() {
  const bool both_files = Controls(Side::kLocal).page_control->currentIndex() == kFilesPage &&
                          Controls(Side::kRemote).page_control->currentIndex() == kFilesPage;
  for (Side side : {Side::kLocal, Side::kRemote}) {
    QTreeView* list = Controls(side).list;
    list->setDragEnabled(both_files);
    list->setDragDropMode(both_files ? QAbstractItemView::DragDrop : QAbstractItemView::NoDragDrop);
  }
}

void TForm1::PageControlChange(Side side) {
  PaneControls& c = Controls(side);
  QMenu* menu = side == Side::kLocal ? local_pc_menu_ : remote_pc_menu_;
  menu->setEnabled(c.page_control->currentIndex() == kFilesPage);
  SetListDragMode();
  UpdateFunctionKeys();
  FocusShownView(side);
  if (side == Side::kRemote) {
    if (menu->isEnabled()) c.page_control->currentWidget()->repaint();
    if (!connected()) return;
  }
  PageChanged(side);
}

void TForm1::PageChanged(Side side) {
  SelectPane(side);
  TPane& pane = Pane(side);
  if (Controls(side).page_control->currentIndex() == kTreePage) {
    if (pane.tree_stale) {
      SyncTreeToPath(side);
    } else {
      UpdateStatus(side);
    }
  } else if (pane.list_stale) {
    FillList(side);
  } else {
    UpdateStatus(side);
  }
}

void TForm1::UpdateStatus(Side side) {
  if (bulk_select_) return;
  SelectPane(side);
  TPane& pane = Pane(side);
  PaneControls& c = Controls(side);
  if (c.page_control->currentIndex() != kTreePage) {
    int dirs = 0;
    int files = 0;
    qint64 bytes = 0;
    const QModelIndexList rows = c.list->selectionModel()->selectedRows();
    for (const QModelIndex& index : rows) {
      const int row = index.row();
      if (row >= pane.FirstFileRow()) {
        ++files;
        if (static_cast<std::size_t>(row) < pane.Columns[kColSize].size()) {
          bytes += QString::fromStdString(pane.Columns[kColSize][row]).toLongLong();
        }
      } else if (row >= pane.FirstDirRow()) {
        ++dirs;
      }
    }
    c.status->setText(text::kSelected + QString::number(dirs) + text::kOf +
                      QString::number(pane.DirCount) + text::kDirsComma + QString::number(files) +
                      text::kOf + QString::number(pane.FileCount) + text::kFilesColon +
                      Grouped(bytes) + text::kBytes +
                      HiddenNote(pane.HiddenFiles, filled_spec_[SideIndex(side)]));
    return;
  }
  const QString dir = AsciiUpper(c.dir->text());
  if (dir.isEmpty()) return;
  const int drive = dir[0].unicode() - 64;
  // Only a drive letter names a drive; any other panel text leaves the line.
  if (drive < 1 || drive > 26) return;
  const qint64 free = link().LinkDiskFree(side, static_cast<std::uint8_t>(drive));
  const qint64 size = link().LinkDiskSize(side, static_cast<std::uint8_t>(drive));
  const qint64 percent = size > 0 ? free * 100 / size : 0;
  c.status->setText(text::kBytesFree + Grouped(free) + "  (" + QString::number(percent) + "%)");
}

std::int32_t TForm1::AllocFBlock() {
  const std::int32_t slot = search_slots_.Alloc();
  if (slot == 0) boxes_.Error(text::kFBlockError);
  return slot;
}

}  // namespace duplane
