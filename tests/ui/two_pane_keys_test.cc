// Both PCs from the keyboard, through the real window offscreen over a cable
// to a Remote Module thread: the function keys and the pane they act on, Tab
// between the lists, going up and down with the cursor where the user looks,
// marking rows, typing a path, selecting by pattern, the filespec's several
// patterns, the list following its directory, and a second window starting
// where the first one stopped.
#include <QAbstractButton>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <deque>
#include <optional>

#include "dialog_answers.h"
#include "support/file_tree.h"
#include "ui/function_key_bar.h"
#include "ui/prompt_dialog.h"
#include "window_fixture.h"

namespace duplane {
namespace {

using testing_ui::MakeDirs;
using testing_ui::MakeFile;
using testing_ui::OpenReview;
using testing_ui::PressReview;
using testing_ui::WhileRunning;
using namespace testing_ui::review_titles;
using testing_ui::WindowTest;

class AnsweringPrompts : public Prompts {
 public:
  std::optional<QString> Ask(const QString& caption, const QString& prompt,
                             const QString&) override {
    asked << caption + ": " + prompt;
    if (answers.empty()) return std::nullopt;
    const QString answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::deque<QString> answers;
  QStringList asked;
};

class TwoPaneKeysTest : public WindowTest<> {
 protected:
  void SetUp() override {
    MakeDirs(local_.path(), {"docs/deep"});
    MakeFile(local_.path(), "a.txt", 3);
    MakeFile(local_.path(), "b.log", 5);
    MakeFile(local_.path(), "c.jpg", 7);
    MakeFile(local_.path(), "docs/d.txt", 1);
    MakeDirs(remote_.path(), {"rdir"});
    MakeFile(remote_.path(), "r.txt", 2);
    OpenWindow();
  }

  void OpenWindow() {
    Open({local_.path().toStdString(), remote_.path().toStdString()});
    form().SetPrompts(&prompts_);
    form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
  }
  // Connected, both panes on their files at the drive's root.
  void ShowBoth() {
    ASSERT_TRUE(w_->Connect());
    for (Side side : {Side::kLocal, Side::kRemote}) {
      form().Pane(side).SelectHomeDrive();
      controls(side).page_control->setCurrentIndex(1);
    }
  }

  // Presses `key` in `widget`; every review dialog that comes up is recorded
  // by its title and cancelled.
  QStringList Dialogs(QWidget* widget, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QStringList titles;
    WhileRunning([&] { QTest::keyClick(widget, static_cast<Qt::Key>(key), mods); },
                 [&] {
                   if (QDialog* review = OpenReview(*w_)) {
                     titles << review->windowTitle();
                     PressReview(*w_, review, false);
                   }
                 });
    // The dialog had the activation; a desktop's window manager hands it
    // back to the main window, the offscreen platform needs asking.
    form().activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&form()));
    return titles;
  }

  QWidget* Focus() const { return QApplication::focusWidget(); }
  QString CurrentName(Side side) {
    const QModelIndex current = controls(side).list->currentIndex();
    return current.isValid() ? Names(side).value(current.row()) : QString("<none>");
  }
  QStringList Marked(Side side) {
    QStringList names;
    const QStringList all = Names(side);
    for (const QModelIndex& i : controls(side).list->selectionModel()->selectedRows()) {
      names << all.value(i.row());
    }
    names.sort();
    return names;
  }
  void TypePath(Side side, const QString& path) {
    QLineEdit* edit = controls(side).dir->editor();
    ASSERT_TRUE(edit->isVisible());
    edit->selectAll();
    QTest::keyClicks(edit, path);
    QTest::keyClick(edit, Qt::Key_Return);
  }

  QTemporaryDir local_;
  QTemporaryDir remote_;
  AnsweringPrompts prompts_;
};

TEST_F(TwoPaneKeysTest, FunctionKeysRunTheFocusedPanesOwnMenuEntries) {
  ShowBoth();
  Select(Side::kLocal, {"a.txt"});
  Select(Side::kRemote, {"r.txt"});
  QWidget* local = controls(Side::kLocal).list;
  QWidget* remote = controls(Side::kRemote).list;
  local->setFocus();
  EXPECT_EQ(Dialogs(local, Qt::Key_F5), QStringList{kCopyLR});
  EXPECT_EQ(Dialogs(local, Qt::Key_F6), QStringList{kMoveLR});
  EXPECT_EQ(Dialogs(local, Qt::Key_F8), QStringList{kDeleteL});
  EXPECT_EQ(Dialogs(local, Qt::Key_Delete), QStringList{kDeleteL});
  remote->setFocus();
  EXPECT_EQ(Dialogs(remote, Qt::Key_F5), QStringList{kCopyRL});
  EXPECT_EQ(Dialogs(remote, Qt::Key_F6), QStringList{kMoveRL});
  EXPECT_EQ(Dialogs(remote, Qt::Key_Delete), QStringList{kDeleteR});
  // The bar's buttons take no focus, so a click acts on the pane in use.
  WhileRunning([&] { form().function_keys()->Button(FunctionKey::kDelete)->click(); },
               [&] {
                 if (QDialog* review = OpenReview(*w_)) {
                   prompts_.asked << review->windowTitle();
                   PressReview(*w_, review, false);
                 }
               });
  form().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
  EXPECT_EQ(Focus(), remote);
  QTest::keyClick(remote, Qt::Key_F6, Qt::ShiftModifier);
  QTest::keyClick(remote, Qt::Key_F7);
  EXPECT_EQ(prompts_.asked, (QStringList{kDeleteR, "Rename Function: Rename r.txt to:",
                                         "Create Directory: Enter name for new directory:"}));
  // Ctrl+R reads the Remote list again; nothing else tells it of a new file.
  MakeFile(remote_.path(), "later.txt", 1);
  QTest::keyClick(remote, Qt::Key_R, Qt::ControlModifier);
  EXPECT_TRUE(Names(Side::kRemote).contains("later.txt"));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(QFileInfo::exists(local_.filePath("a.txt")));
  EXPECT_TRUE(QFileInfo::exists(remote_.filePath("r.txt")));
}

TEST_F(TwoPaneKeysTest, KeysNeverDeleteWhatTheUserIsNotLookingAt) {
  ShowBoth();
  Select(Side::kLocal, {"a.txt", "b.log"});
  // Delete in the filespec edit edits the text.
  QLineEdit* edit = controls(Side::kLocal).filespec;
  edit->setFocus();
  edit->setCursorPosition(0);
  EXPECT_EQ(Dialogs(edit, Qt::Key_Delete), QStringList());
  EXPECT_EQ(edit->text(), ".*");
  // A pane on its tree page: the selection of its hidden list is left alone,
  // as its menu is.
  controls(Side::kLocal).page_control->setCurrentIndex(0);
  controls(Side::kLocal).tree->setFocus();
  EXPECT_EQ(Dialogs(controls(Side::kLocal).tree, Qt::Key_F8), QStringList());
  EXPECT_EQ(Dialogs(controls(Side::kLocal).tree, Qt::Key_F6), QStringList());
  EXPECT_FALSE(form().function_keys()->Button(FunctionKey::kDelete)->isEnabled());
  EXPECT_TRUE(QFileInfo::exists(local_.filePath("a.txt")));
  EXPECT_TRUE(QFileInfo::exists(local_.filePath("b.log")));
}

TEST_F(TwoPaneKeysTest, TabGoesStraightToTheOtherListWhileBothShowFiles) {
  ShowBoth();
  QWidget* local = controls(Side::kLocal).list;
  QWidget* remote = controls(Side::kRemote).list;
  local->setFocus();
  QTest::keyClick(local, Qt::Key_Tab);
  EXPECT_EQ(Focus(), remote);
  QTest::keyClick(remote, Qt::Key_Tab);
  EXPECT_EQ(Focus(), local);
  // Shift+Tab walks back through the pane: filespec, toolbar, page control.
  QTest::keyClick(local, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Focus(), controls(Side::kLocal).filespec);
  // Ctrl+Tab turns the page and the focus lands on the page's own view.
  controls(Side::kLocal).tree->setFocus();
  controls(Side::kLocal).page_control->setCurrentIndex(0);
  controls(Side::kLocal).tree->setFocus();
  QTest::keyClick(controls(Side::kLocal).tree, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(controls(Side::kLocal).page_control->currentIndex(), 1);
  EXPECT_EQ(Focus(), local);
  // One pane on its tree: Tab is the window's tab walk again.
  controls(Side::kLocal).page_control->setCurrentIndex(0);
  remote->setFocus();
  QTest::keyClick(remote, Qt::Key_Tab);
  EXPECT_EQ(Focus(), controls(Side::kLocal).page_control->tabBar());
}

TEST_F(TwoPaneKeysTest, GoingUpAndDownPutsTheCursorWhereTheUserLooks) {
  ShowBoth();
  QTreeView* list = controls(Side::kLocal).list;
  list->setFocus();
  Select(Side::kLocal, {"docs"});
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(form().Pane(Side::kLocal).record().Path, "C:\\docs");
  EXPECT_EQ(CurrentName(Side::kLocal), "..");  // entering: the first row
  QTest::keyClick(list, Qt::Key_Down);
  QTest::keyClick(list, Qt::Key_Down);
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(form().Pane(Side::kLocal).record().Path, "C:\\docs\\deep");
  QTest::keyClick(list, Qt::Key_Backspace);  // not a way up
  EXPECT_EQ(form().Pane(Side::kLocal).record().Path, "C:\\docs\\deep");
  QTest::keyClick(list, Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(form().Pane(Side::kLocal).record().Path, "C:\\docs");
  EXPECT_EQ(CurrentName(Side::kLocal), "deep");  // up: the directory just left
  EXPECT_EQ(Marked(Side::kLocal), QStringList{"deep"});
  QTest::keyClick(list, Qt::Key_Up, Qt::AltModifier);
  EXPECT_EQ(CurrentName(Side::kLocal), "docs");
  QTest::keyClick(list, Qt::Key_Up, Qt::AltModifier);  // the root has nothing above it
  EXPECT_EQ(form().Pane(Side::kLocal).record().Path, "C:\\");
  EXPECT_TRUE(form().Pane(Side::kLocal).record().tree_stale);

  // A renamed or a new entry is where the cursor goes.
  Select(Side::kLocal, {"a.txt"});
  prompts_.answers = {"renamed.txt", "newdir"};
  QTest::keyClick(list, Qt::Key_F6, Qt::ShiftModifier);
  EXPECT_EQ(CurrentName(Side::kLocal), "renamed.txt");
  QTest::keyClick(list, Qt::Key_F7);
  EXPECT_EQ(CurrentName(Side::kLocal), "newdir");
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(form().Pane(Side::kLocal).record().Path, "C:\\newdir");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TwoPaneKeysTest, InsertAndSpaceMarkRowsThatTheArrowsThenKeep) {
  ShowBoth();
  QTreeView* list = controls(Side::kLocal).list;
  list->setFocus();
  ASSERT_EQ(Names(Side::kLocal), (QStringList{"docs", "a.txt", "b.log", "c.jpg"}));
  list->selectionModel()->setCurrentIndex(list->model()->index(0, 0),
                                          QItemSelectionModel::NoUpdate);
  QTest::keyClick(list, Qt::Key_Insert);
  QTest::keyClick(list, Qt::Key_Space);
  EXPECT_EQ(CurrentName(Side::kLocal), "b.log");
  QTest::keyClick(list, Qt::Key_Down);
  QTest::keyClick(list, Qt::Key_Insert);
  EXPECT_EQ(Marked(Side::kLocal), (QStringList{"a.txt", "c.jpg", "docs"}));
  QTest::keyClick(list, Qt::Key_Space);  // the last row: unmarked, stays
  EXPECT_EQ(Marked(Side::kLocal), (QStringList{"a.txt", "docs"}));
  EXPECT_EQ(controls(Side::kLocal).status->text(), "Selected: 1 of 1 dirs, 1 of 3 files: 3 bytes");
}

TEST_F(TwoPaneKeysTest, PlusAndMinusMarkFilesByPatternOnEitherSide) {
  MakeFile(remote_.path(), "s.jpg", 4);
  ShowBoth();
  for (Side side : {Side::kLocal, Side::kRemote}) {
    QTreeView* list = controls(side).list;
    list->setFocus();
    prompts_.answers = {"*.TXT;*.jpg", "*.txt"};
    QTest::keyClick(list, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClick(list, Qt::Key_Minus);
    const QStringList jpg = side == Side::kLocal ? QStringList{"c.jpg"} : QStringList{"s.jpg"};
    EXPECT_EQ(Marked(side), jpg);
  }
  EXPECT_EQ(prompts_.asked.first(), "Select Files: Select the files matching (*.txt;*.log):");
  EXPECT_EQ(prompts_.asked.at(1), "Deselect Files: Deselect the files matching (*.txt;*.log):");
}

TEST_F(TwoPaneKeysTest, FilespecTakesSeveralPatternsAndTheStatusSaysWhatItHides) {
  MakeFile(remote_.path(), "r.log", 4);
  MakeFile(remote_.path(), "r.bin", 4);
  ShowBoth();
  for (Side side : {Side::kLocal, Side::kRemote}) {
    controls(side).filespec->setText("*.txt; *.LOG");
    form().Pane(side).FillList();
    const QStringList expected = side == Side::kLocal ? QStringList{"docs", "a.txt", "b.log"}
                                                      : QStringList{"rdir", "r.log", "r.txt"};
    EXPECT_EQ(Names(side), expected);
    EXPECT_EQ(controls(side).status->text(),
              "Selected: 0 of 1 dirs, 0 of 2 files: 0 bytes (1 files hidden by *.txt; *.LOG)");
    controls(side).filespec->setText("*.txt");
    form().Pane(side).FillList();
    EXPECT_TRUE(controls(side).status->text().endsWith("(2 files hidden by *.txt)"));
    controls(side).filespec->setText("*.*");
    form().Pane(side).FillList();
    EXPECT_TRUE(controls(side).status->text().endsWith("files: 0 bytes"));
  }
}

TEST_F(TwoPaneKeysTest, TypedPathGoesThereOrSaysSoAndStays) {
  ShowBoth();
  QTreeView* list = controls(Side::kLocal).list;
  list->setFocus();
  QTest::keyClick(list, Qt::Key_L, Qt::ControlModifier);
  TypePath(Side::kLocal, "c:\\docs\\deep");
  EXPECT_EQ(form().Pane(Side::kLocal).record().Path, "C:\\docs\\deep");
  EXPECT_EQ(Names(Side::kLocal), (QStringList{"..", "\\"}));
  EXPECT_EQ(Focus(), list);
  for (const char* unknown : {"C:\\nothing", "D:"}) {
    QTest::keyClick(list, Qt::Key_L, Qt::ControlModifier);
    TypePath(Side::kLocal, unknown);
    EXPECT_EQ(form().Pane(Side::kLocal).record().Path, "C:\\docs\\deep");
  }
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"Error changing to C:\\nothing on Local PC",
                                               "Error changing to D: on Local PC"}));
  // A click on the Remote panel; the Remote pane on its tree follows there.
  controls(Side::kRemote).page_control->setCurrentIndex(0);
  QTest::mouseClick(controls(Side::kRemote).dir, Qt::LeftButton);
  TypePath(Side::kRemote, "C:\\rdir");
  EXPECT_EQ(form().Pane(Side::kRemote).record().Path, "C:\\rdir");
  EXPECT_EQ(controls(Side::kRemote).tree->currentItem()->text(0), "rdir");
}

TEST_F(TwoPaneKeysTest, TheLocalListFollowsItsDirectoryKeepingTheMarks) {
  ShowBoth();
  Select(Side::kLocal, {"b.log"});
  MakeFile(local_.path(), "arrived.txt", 9);
  QTRY_VERIFY(Names(Side::kLocal).contains("arrived.txt"));
  EXPECT_EQ(Marked(Side::kLocal), QStringList{"b.log"});
  ASSERT_TRUE(QFile::remove(local_.filePath("c.jpg")));
  QTRY_VERIFY(!Names(Side::kLocal).contains("c.jpg"));
}

TEST_F(TwoPaneKeysTest, NamesSortAsTheLocaleDoesAndTiesGoByName) {
  for (const char* name : {"Zeta.txt",
                           "\xC3\xBC"
                           "ber.txt",
                           "Uber.txt", "apple.txt"}) {
    MakeFile(local_.path(), name, 1);
  }
  ShowBoth();
  controls(Side::kLocal).filespec->setText("*.txt");
  form().Pane(Side::kLocal).FillList();
  const QStringList by_name = {"docs", "a.txt", "apple.txt", "Uber.txt", "über.txt", "Zeta.txt"};
  EXPECT_EQ(Names(Side::kLocal), by_name);
  QHeaderView* header = controls(Side::kLocal).list->header();
  EXPECT_TRUE(header->isSortIndicatorShown());
  EXPECT_EQ(header->sortIndicatorSection(), kColName);
  form().Pane(Side::kLocal).ColumnClicked(kColSize);  // all but a.txt are one byte
  EXPECT_EQ(Names(Side::kLocal).mid(1),
            (QStringList{"apple.txt", "Uber.txt", "über.txt", "Zeta.txt", "a.txt"}));
  form().Pane(Side::kLocal).ColumnClicked(kColSize);
  EXPECT_EQ(header->sortIndicatorSection(), kColSize);
  EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
}

TEST_F(TwoPaneKeysTest, ASecondWindowStartsWhereTheFirstStopped) {
  ShowBoth();
  form().Pane(Side::kLocal).GoToTypedPath("C:\\docs");
  form().Pane(Side::kLocal).ColumnClicked(kColSize);
  form().Pane(Side::kLocal).ColumnClicked(kColSize);
  controls(Side::kLocal).filespec->setText("*.txt;*.log");
  controls(Side::kLocal).list->header()->resizeSection(kColName, 333);
  form().Pane(Side::kRemote).GoToTypedPath("C:\\rdir");
  form().close();
  w_.reset();

  OpenWindow();
  TPane& local = form().Pane(Side::kLocal).record();
  EXPECT_EQ(local.Path, "C:\\docs");
  EXPECT_EQ(controls(Side::kLocal).page_control->currentIndex(), 1);
  EXPECT_EQ(Names(Side::kLocal), (QStringList{"..", "\\", "deep", "d.txt"}));
  EXPECT_EQ(local.SortColumn, -2);
  EXPECT_EQ(controls(Side::kLocal).filespec->text(), "*.txt;*.log");
  EXPECT_EQ(controls(Side::kLocal).list->header()->sectionSize(kColName), 333);
  ASSERT_TRUE(w_->Connect());  // the same module: its directory again
  EXPECT_EQ(form().Pane(Side::kRemote).record().Path, "C:\\rdir");
  EXPECT_EQ(controls(Side::kRemote).page_control->currentIndex(), 1);
  EXPECT_EQ(Names(Side::kRemote), (QStringList{"..", "\\"}));
  form().close();
  w_.reset();

  // A remembered directory that is gone: the pane starts as it always has.
  ASSERT_TRUE(QDir(remote_.path()).rmdir("rdir"));
  OpenWindow();
  ASSERT_TRUE(w_->Connect());
  EXPECT_EQ(form().Pane(Side::kRemote).record().Path, "");
  EXPECT_EQ(controls(Side::kRemote).page_control->currentIndex(), 0);
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
}  // namespace duplane
