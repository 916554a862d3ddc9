// A path typed into the pane's directory panel (a click on it, or Ctrl+L):
// "C:\DATA\2001" or "D:" on Enter goes there as if the user had walked there;
// a path the side does not have is named in an error box and the pane stays
// where it was.
#include <QKeySequence>
#include <QShortcut>
#include <QTabWidget>
#include <QTreeWidget>

#include "link/link.h"
#include "localfs/name_mapping.h"
#include "ui/main_form_texts.h"
#include "ui/message_boxes.h"
#include "ui/pane_controller.h"
#include "ui/pane_host.h"

namespace duplane {
namespace {

namespace text = form1_text;

}  // namespace

void PaneController::ConnectTypedPath() {
  PaneControls& c = controls_;
  c.dir->SetEditable(side_ == Side::kLocal);
  connect(c.dir, &DirectoryPanel::PathTyped, this,
          [this](const QString& typed) { GoToTypedPath(typed); });
  auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), c.panel);
  shortcut->setContext(Qt::WidgetWithChildrenShortcut);
  connect(shortcut, &QShortcut::activated, c.dir, &DirectoryPanel::BeginEdit);
}

void PaneController::GoToTypedPath(const QString& typed) {
  if (!Active()) return;
  PaneControls& c = controls_;
  Link& link = host_.link();
  // A refused change leaves the side's current directory, the pane and its
  // list as they were.
  if (link.LinkChDir(side_, WirePathOfTyped(typed.toStdString())) != 0) {
    host_.boxes().Error(text::kChangeDirError + typed + text::kOn + text::SideText(side_));
    return;
  }
  pane_.Path = link.LinkGetDir(side_, kCurrentDrive);
  c.dir->SetText(QString::fromStdString(pane_.Path));
  if (ShowsFiles()) {
    pane_.tree_stale = true;
    FillList();
    SetCurrentRow(0);
    c.list->setFocus();
  } else {
    // The tree follows the path down as far as it has nodes; each node it
    // selects changes the directory again, so the side ends where it shows.
    pane_.list_stale = true;
    SyncTreeToPath();
    c.tree->setFocus();
  }
}

}  // namespace duplane
