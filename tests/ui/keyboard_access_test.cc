// The window without a mouse: every menu caption with an accelerator of its
// own, the function keys, the side menus opened and used from the keyboard,
// page switching, and a tab order that walks both panes.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <optional>

#include "ui/help_window.h"
#include "ui/prompt_dialog.h"
#include "window_fixture.h"

namespace duplane {
namespace {

using testing_ui::WindowTest;

class CountingPrompts : public Prompts {
 public:
  std::optional<QString> Ask(const QString& caption, const QString&, const QString&) override {
    captions.push_back(caption);
    return std::nullopt;
  }
  QStringList captions;
};

class KeyboardAccessTest : public WindowTest<> {
 protected:
  void SetUp() override {
    Open({local_dir_.path().toStdString(), remote_dir_.path().toStdString()});
    form().SetPrompts(&prompts_);
    form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
  }

  // What a user tabbing through the window lands on, by resource name; a
  // page control's tab bar is named after its page control.
  QString FocusName() {
    QWidget* w = QApplication::focusWidget();
    if (w == nullptr) return "<none>";
    if (qobject_cast<QTabBar*>(w) != nullptr) return w->parentWidget()->objectName();
    return w->objectName();
  }
  // Joined, so a failing comparison prints readable names.
  std::string TabWalk(QWidget* start, int steps) {
    start->setFocus(Qt::TabFocusReason);
    QStringList names{FocusName()};
    for (int i = 0; i < steps; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      names << FocusName();
    }
    return names.join(' ').toStdString();
  }

  QTemporaryDir local_dir_;
  QTemporaryDir remote_dir_;
  CountingPrompts prompts_;
};

TEST_F(KeyboardAccessTest, EveryMenuItemHasAnAcceleratorOfItsOwnWithinItsMenu) {
  std::vector<QMenu*> menus;
  QSet<QChar> bar_keys;
  for (QAction* top : form().menuBar()->actions()) {
    const QString caption = top->text();
    ASSERT_EQ(caption.count('&'), 1) << caption.toStdString();
    EXPECT_FALSE(bar_keys.contains(caption[caption.indexOf('&') + 1].toLower()));
    bar_keys.insert(caption[caption.indexOf('&') + 1].toLower());
    menus.push_back(top->menu());
  }
  EXPECT_EQ(bar_keys, (QSet<QChar>{'k', 'l', 'r', 'h'}));
  menus.push_back(form().findChild<QMenu*>("PopupMenu1"));
  menus.push_back(form().findChild<QMenu*>("PopupMenu2"));
  for (QMenu* menu : menus) {
    ASSERT_NE(menu, nullptr);
    QSet<QChar> keys;
    for (QAction* a : menu->actions()) {
      if (a->isSeparator()) continue;
      const QString caption = a->text();
      const int amp = static_cast<int>(caption.indexOf('&'));
      ASSERT_GE(amp, 0) << menu->objectName().toStdString() << ": " << caption.toStdString();
      const QChar key = caption[amp + 1].toLower();
      EXPECT_FALSE(keys.contains(key))
          << menu->objectName().toStdString() << ": " << caption.toStdString();
      keys.insert(key);
    }
  }
}

TEST_F(KeyboardAccessTest, FunctionKeysConnectDisconnectAndOpenHelp) {
  form().Controls(Side::kLocal).tree->setFocus();
  QTest::keyClick(&form(), Qt::Key_F2);
  EXPECT_TRUE(form().connected());
  // The busy window had the activation while the link was being made.
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
  // Connect hands the focus to the Remote page control, and it is still
  // there once the window is enabled again.
  EXPECT_EQ(FocusName(), "RemotePageControl");
  QTest::keyClick(&form(), Qt::Key_F2);  // Connect is disabled while connected
  EXPECT_TRUE(form().connected());
  form().Controls(Side::kLocal).tree->setFocus();
  QTest::keyClick(&form(), Qt::Key_F3);
  EXPECT_FALSE(form().connected());
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
  EXPECT_EQ(FocusName(), "LocalTree");
  EXPECT_EQ(form().Controls(Side::kRemote).dir->text(), "<Disconnected>");
  QTest::keyClick(&form(), Qt::Key_F1);
  EXPECT_TRUE(form().help_window()->isVisible());
  form().help_window()->close();
}

TEST_F(KeyboardAccessTest, PagesAndMenusFromTheKeyboard) {
  QTest::keyClick(&form(), Qt::Key_F2);
  ASSERT_TRUE(form().connected());
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
  // Ctrl+Tab in the tree shows the pane's files and enables its menu.
  PaneControls& local = form().Controls(Side::kLocal);
  local.tree->setFocus(Qt::TabFocusReason);  // also chooses the home drive
  QTest::keyClick(local.tree, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(local.page_control->currentIndex(), 1);
  EXPECT_TRUE(form().LocalPC1()->isEnabled());
  form().Pane(Side::kRemote).SelectHomeDrive();
  form().Controls(Side::kRemote).page_control->setCurrentIndex(1);

  // Alt+L, R: rename on this PC with nothing selected.
  QTest::keyClick(&form(), Qt::Key_L, Qt::AltModifier);
  ASSERT_TRUE(form().LocalPC1()->isVisible());
  QTest::keyClick(form().LocalPC1(), Qt::Key_R);
  EXPECT_FALSE(form().LocalPC1()->isVisible());
  ASSERT_FALSE(w_->boxes.shown.empty());
  EXPECT_EQ(w_->boxes.shown.back().text, "No file selected on Local PC");
  // Alt+R, T: create a directory on the Remote PC.
  QTest::keyClick(&form(), Qt::Key_R, Qt::AltModifier);
  ASSERT_TRUE(form().RemotePC1()->isVisible());
  QTest::keyClick(form().RemotePC1(), Qt::Key_T);
  // Shift+F10 in the list: its pop-up menu, and T there too.
  auto* popup = form().findChild<QMenu*>("PopupMenu1");
  local.list->setFocus();
  QTest::keyClick(local.list, Qt::Key_F10, Qt::ShiftModifier);
  ASSERT_TRUE(popup->isVisible());
  QTest::keyClick(popup, Qt::Key_T);
  EXPECT_EQ(prompts_.captions, (QStringList{"Create Directory", "Create Directory"}));
}

TEST_F(KeyboardAccessTest, TabWalksEachPaneTopToBottomLocalFirst) {
  PaneControls& local = form().Controls(Side::kLocal);
  EXPECT_EQ(TabWalk(local.page_control->tabBar(), 4),
            "LocalPageControl LocalTree RemotePageControl RemoteTree LocalPageControl");
  for (Side side : {Side::kLocal, Side::kRemote})
    form().Controls(side).page_control->setCurrentIndex(1);
  const QStringList expected = {
      "LocalPageControl", "LSelDirsBtn",  "LSelFilesBtn", "LCopyBtn",        "LMoveBtn",
      "LDeleteBtn",       "LRefreshBtn",  "LFileSpec",    "LocalList",       "RemotePageControl",
      "RSelDirsBtn",      "RSelFilesBtn", "RCopyBtn",     "RMoveBtn",        "RDeleteBtn",
      "RRefreshBtn",      "RFileSpec",    "RemoteList",   "LocalPageControl"};
  EXPECT_EQ(TabWalk(local.page_control->tabBar(), static_cast<int>(expected.size()) - 1),
            expected.join(' ').toStdString());
}

}  // namespace
}  // namespace duplane
