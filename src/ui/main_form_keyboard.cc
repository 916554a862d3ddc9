// The keyboard's way through the main window. Every command is in a menu with
// an accelerator (Alt+K, Alt+L, Alt+R, Alt+H and the underlined letters), the
// link and help commands also on F1 to F3; Tab walks each pane from top to
// bottom, the Local pane first, so both panes can be worked without a mouse.
#include <QApplication>
#include <QEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <vector>

#include "ui/main_form.h"

namespace duplane {

void TForm1::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Disabling the window cleared the focus; without this a keyboard user
  // would have to reach for the mouse after every Connect or copy. While
  // another window (the busy window, a message box) is active, the focus is
  // only given back once this window is active again, so that no window
  // takes the keyboard from the one in front.
  if (event->type() == QEvent::EnabledChange && isEnabled()) {
    focus_to_restore_ = true;
  } else if (event->type() != QEvent::ActivationChange) {
    return;
  }
  if (!focus_to_restore_ || !isEnabled() || !isActiveWindow()) return;
  focus_to_restore_ = false;
  if (focusWidget() == nullptr && last_focus_ != nullptr && last_focus_->isVisible() &&
      last_focus_->isEnabled()) {
    last_focus_->setFocus(Qt::ActiveWindowFocusReason);
  }
}

// Shift+F10 and the menu key open a list's pop-up menu where the keyboard is:
// at the current row, or at the top of the list when there is none.
void TForm1::ConnectPopupKeys(FileListView* list) {
  for (const QKeySequence& keys :
       {QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)}) {
    auto* shortcut = new QShortcut(keys, list);
    shortcut->setContext(Qt::WidgetShortcut);
    connect(shortcut, &QShortcut::activated, list, [list] {
      const QModelIndex current = list->currentIndex();
      const QPoint at = current.isValid() ? list->visualRect(current).center() : QPoint(8, 8);
      emit list->customContextMenuRequested(at);
    });
  }
}

void TForm1::SetTabOrder() {
  // The last widget of this window that had the focus, for changeEvent.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now != nullptr && now->window() == this) {
      last_focus_ = now;
      NoteFocus(now);
    }
  });
  std::vector<QWidget*> order;
  for (Side side : {Side::kLocal, Side::kRemote}) {
    PaneControls& c = Controls(side);
    // Widgets on the page that is not shown are skipped by Qt itself.
    const std::initializer_list<QToolButton*> buttons = {
        c.sel_dirs_btn, c.sel_files_btn, c.copy_btn, c.move_btn, c.delete_btn, c.refresh_btn};
    // The page control hands the focus to its tab bar, where the arrow keys
    // and Ctrl+Tab switch the page; both go in the chain so that no stray
    // stop of either is left elsewhere.
    order.push_back(c.page_control);
    order.push_back(c.page_control->tabBar());
    order.push_back(c.tree);
    for (QToolButton* b : buttons) {
      // Reached by Tab and pressed with the space bar.
      b->setFocusPolicy(Qt::TabFocus);
      order.push_back(b);
    }
    order.push_back(c.filespec);
    order.push_back(c.list);
    c.list->installEventFilter(this);  // ListKey
    ConnectPopupKeys(c.list);
  }
  for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace duplane
