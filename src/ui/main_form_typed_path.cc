// A path typed into a pane's directory panel (a click on it, or Ctrl+L):
// "C:\DATA\2001" or "D:" on Enter goes there as if the user had walked there;
// a path the side does not have is named in an error box and the pane stays
// where it was.
#include <QKeySequence>
#include <QLineEdit>
#include <QShortcut>
#include <QTabWidget>
#include <QTreeWidget>

#include "link/link.h"
#include "localfs/name_mapping.h"
#include "ui/main_form.h"
#include "ui/main_form_texts.h"
#include "ui/message_boxes.h"

namespace duplane {
namespace {

namespace text = form1_text;

}  // namespace

void TForm1::ConnectTypedPath(Side side) {
  PaneControls& c = Controls(side);
  c.dir->SetEditable(side == Side::kLocal);
  connect(c.dir, &DirectoryPanel::PathTyped, this,
          [this, side](const QString& typed) { GoToTypedPath(side, typed); });
  auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), c.panel);
  shortcut->setContext(Qt::WidgetWithChildrenShortcut);
  connect(shortcut, &QShortcut::activated, c.dir, &DirectoryPanel::BeginEdit);
}

void TForm1::GoToTypedPath(Side side, const QString& typed) {
  if (!Handles(side) || busy()) return;
  SelectPane(side);
  TPane& pane = Pane(side);
  PaneControls& c = Controls(side);
  const std::string wire = WirePathOfTyped(typed.toStdString());
  // A refused change leaves the side's current directory, the pane and its
  // list as they were.
  if (link().LinkChDir(side, wire) != 0) {
    boxes_.Error(text::kChangeDirError + typed + text::kOn + SideText(side));
    return;
  }
  pane.Path = link().LinkGetDir(side, kCurrentDrive);
  c.dir->SetText(QString::fromStdString(pane.Path));
  if (c.page_control->currentIndex() == kFilesPage) {
    pane.tree_stale = true;
    FillList(side);
    SetCurrentRow(side, 0);
    c.list->setFocus();
  } else {
    // The tree follows the path down as far as it has nodes; each node it
    // selects changes the directory again, so the side ends where it shows.
    pane.list_stale = true;
    SyncTreeToPath(side);
    c.tree->setFocus();
  }
}

}  // namespace duplane
