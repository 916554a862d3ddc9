// The pane's drive tree: the drives, the lazy expansion, changing directory
// from the tree, and following a path back into the tree.
#include <QLabel>
#include <QTreeWidget>
#include <algorithm>
#include <vector>

#include "link/link.h"
#include "ui/busy_cursor.h"
#include "ui/main_form_texts.h"
#include "ui/message_boxes.h"
#include "ui/pane_controller.h"
#include "ui/pane_host.h"

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

bool IsDescendant(const QTreeWidgetItem* item, const QTreeWidgetItem* ancestor) {
  for (const QTreeWidgetItem* p = item ? item->parent() : nullptr; p; p = p->parent()) {
    if (p == ancestor) return true;
  }
  return false;
}

}  // namespace

QString PaneController::NodePath(const QTreeWidgetItem* node) {
  if (node == nullptr) return QString();
  QString path = node->text(0);
  for (const QTreeWidgetItem* p = node->parent(); p != nullptr; p = p->parent()) {
    const QString t = p->text(0);
    path = t.endsWith('\\') ? t + path : t + '\\' + path;
  }
  return path;
}

int PaneController::AbsoluteIndex(const QTreeWidgetItem* node) {
  QTreeWidget* tree = node->treeWidget();
  int index = 0;
  for (QTreeWidgetItemIterator it(tree); *it; ++it, ++index) {
    if (*it == node) return index;
  }
  return -1;
}

QTreeWidgetItem* PaneController::NodeAtAbsoluteIndex(QTreeWidget* tree, int index) {
  if (index < 0) return nullptr;
  QTreeWidgetItemIterator it(tree);
  for (int i = 0; *it && i < index; ++i) ++it;
  return *it;
}

bool PaneController::IconsInUse() const { return side_ == Side::kLocal || host_.remote_icons(); }

void PaneController::SetNodeIcon(QTreeWidgetItem* node) {
  std::int32_t normal = -1;
  std::int32_t open = -1;
  host_.link().LinkGetIconIndex(side_, NodePath(node).toStdString(), &normal, &open);
  node->setData(0, kNormalIconRole, normal);
  node->setData(0, kOpenIconRole, open);
  node->setIcon(0, NodeIcon(image_list_, normal, open));
}

void PaneController::FillDriveTree() {
  Link& link = host_.link();
  const bool icons = IconsInUse();
  if (icons) {
    if (side_ == Side::kLocal) {
      image_list_ = LocalImageList();
    } else {
      std::vector<std::uint8_t> strip;
      if (!link.LinkGetSysImageList(Side::kRemote, &strip) ||
          !ImageListFromStrip(strip, &image_list_)) {
        host_.boxes().Error(text::kSystemIconsError);
      }
    }
  }
  const char home = link.LinkGetHomeDrive(side_);
  int home_index = 0;
  const std::string drives = link.LinkGetDrives(side_);
  for (char letter : drives) {
    auto* node = new QTreeWidgetItem(controls_.tree, {QString(QChar(letter)) + ":\\"});
    // Every drive shows an expander until it is read, ready or not.
    SetHasChildren(node, true);
    if (icons) SetNodeIcon(node);
    if (letter == home) home_index = AbsoluteIndex(node);
  }
  pane_.HomeNodeIndex = home_index;
}

void PaneController::DeleteChildren(QTreeWidgetItem* node) {
  // When the selection is among the children it moves to the node first, as
  // an ordinary selection, so the pane never names a directory whose node is
  // gone.
  QTreeWidget* tree = controls_.tree;
  if (IsDescendant(tree->currentItem(), node)) tree->setCurrentItem(node);
  qDeleteAll(node->takeChildren());
}

bool PaneController::ExpandNode(QTreeWidgetItem* node) {
  BusyCursor busy;
  DeleteChildren(node);
  Link& link = host_.link();
  std::vector<std::string> names;
  const std::int32_t count = link.LinkListSubDirs(side_, NodePath(node).toStdString(), &names);
  {
    RepaintSuspended suspended(controls_.tree);
    for (const std::string& name : names) {
      auto* child = new QTreeWidgetItem(node, {QString::fromStdString(name)});
      SetHasChildren(child, link.LinkHasSubDirs(side_, NodePath(child).toStdString()));
      if (IconsInUse()) SetNodeIcon(child);
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

void PaneController::ExpandItem(QTreeWidgetItem* node) {
  const bool outer = !in_expand_item_;
  in_expand_item_ = true;
  const bool allowed = ExpandNode(node);
  node->setExpanded(allowed);
  if (outer) in_expand_item_ = false;
}

void PaneController::ChangeDirFromTree(QTreeWidgetItem* node) {
  BusyCursor busy;
  SetHasChildren(node, host_.link().LinkHasSubDirs(side_, NodePath(node).toStdString()));
  // The node's own drive is the one a refusal names.
  pane_.Path = NodePath(controls_.tree->currentItem()).toStdString();
  ChangeDirTo(pane_.Path);
  controls_.dir->SetText(QString::fromStdString(pane_.Path));
  pane_.list_stale = true;
  UpdateStatus();
}

void PaneController::SelectHomeDrive() {
  QTreeWidget* tree = controls_.tree;
  if (tree->currentItem() != nullptr) return;
  if (QTreeWidgetItem* home = NodeAtAbsoluteIndex(tree, pane_.HomeNodeIndex)) {
    tree->setCurrentItem(home);
  }
}

void PaneController::SyncTreeToPath() {
  PaneControls& c = controls_;
  c.status->clear();
  pane_.tree_stale = false;
  QString rest = AsciiUpper(QString::fromStdString(pane_.Path));
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
        ExpandItem(node);
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
        ExpandItem(node);
      }
    }
  }
  UpdateStatus();
}

}  // namespace duplane
