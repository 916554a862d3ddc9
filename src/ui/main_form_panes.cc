// The window's side of its two panes: the list menus (in the side's menu and
// in the list's pop-up menu), the drag rule that spans both panes, the menus
// that follow a pane's page, and the busy window of a long directory read.
#include <QAction>
#include <QMenu>
#include <QTabWidget>
#include <QTreeView>
#include <utility>

#include "ui/listing_progress.h"
#include "ui/main_form.h"
#include "ui/main_form_texts.h"
#include "ui/message_form.h"

namespace duplane {
namespace {

namespace text = form1_text;

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
  PaneController& pane = Pane(side);
  FileListView* list = pane.controls().list;
  auto* popup = new QMenu(list);
  popup->setObjectName(side == Side::kLocal ? "PopupMenu1" : "PopupMenu2");
  for (auto [menu, names] :
       {std::pair{SideMenu(side), main_names}, std::pair{popup, popup_names}}) {
    auto add = [this, menu = menu](const char* name, const char* caption, auto handler) {
      QAction* a = menu->addAction(QString::fromLatin1(caption));
      a->setObjectName(name);
      connect(a, &QAction::triggered, this, handler);
    };
    add(names.dirs, text::kSelectAllDirs, [&pane] { pane.SelectAllDirs(); });
    add(names.files, text::kSelectAllFiles, [&pane] { pane.SelectAllFiles(); });
    add(names.refresh, text::kRefresh, [&pane] {
      if (pane.Active()) pane.FillList();
    });
  }
  list->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list, &QWidget::customContextMenuRequested, this,
          [popup, list](const QPoint& at) { popup->popup(list->viewport()->mapToGlobal(at)); });
}

void TForm1::SetListDragMode() {
  const bool both_files = Pane(Side::kLocal).ShowsFiles() && Pane(Side::kRemote).ShowsFiles();
  for (Side side : {Side::kLocal, Side::kRemote}) {
    QTreeView* list = Controls(side).list;
    list->setDragEnabled(both_files);
    list->setDragDropMode(both_files ? QAbstractItemView::DragDrop : QAbstractItemView::NoDragDrop);
  }
}

void TForm1::PageSwitched(Side side) {
  SideMenu(side)->setEnabled(Pane(side).ShowsFiles());
  SetListDragMode();
  UpdateFunctionKeys();
}

std::unique_ptr<ListingProgress> TForm1::ListingStarted() {
  return std::make_unique<ListingProgress>(this, message_form_, [this] { return ending_; });
}

}  // namespace duplane
