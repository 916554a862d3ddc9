// The file lists on real folders, on this PC and on a Remote Module over a
// cable: special rows, filespec, sorting with the selection kept, entering
// directories, select-all and the status line; and the row texts themselves.
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeView>
#include <cstdlib>
#include <ctime>

#include "support/sides.h"
#include "ui/list_texts.h"
#include "ui/pane_list_model.h"
#include "window_fixture.h"

namespace duplane {
namespace {

using testing_ui::MakeDirs;
using testing_ui::MakeFile;
using testing_ui::WindowTest;

TEST(ListTextsTest, AttributeLetters) {
  EXPECT_EQ(AttrText(0), ".....");
  EXPECT_EQ(AttrText(kAttrArchive | kAttrReadOnly), "a...r");
  EXPECT_EQ(AttrText(0x3F), "adshr");  // the volume bit is not shown
  EXPECT_EQ(AttrText(kAttrDirectory | kAttrHidden), ".d.h.");
}

TEST(ListTextsTest, ZeroAndKnownTimes) {
  EXPECT_EQ(ModifiedText(0), "0000-00-00  00:00:00");
  EXPECT_EQ(AccessedText(0), "0000-00-00");
  EXPECT_EQ(CreatedText(0), "0000-00-00  00:00:00.00");
  const char* old_tz = std::getenv("TZ");
  const std::string saved = old_tz ? old_tz : "";
  setenv("TZ", "UTC", 1);
  tzset();
  // 1999-07-04 13:05:09.256 UTC.
  const FileTime t = 931093509ull * 10000000ull + 2560000ull + 116444736000000000ull;
  const std::string modified = ModifiedText(t);
  const std::string created = CreatedText(t);
  const std::string accessed = AccessedText(t);
  if (old_tz) {
    setenv("TZ", saved.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
  EXPECT_EQ(modified, "1999-07-04  13:05:09");
  EXPECT_EQ(accessed, "1999-07-04");
  EXPECT_EQ(created, "1999-07-04  13:05:09.25");
}

TEST(ListTextsTest, TimesThatAreNoTimesShowAsZero) {
  for (const FileTime t :
       {FileTime{1} << 63, ~FileTime{0}, (FileTime{1} << 63) + FileTime{116444736000000000}}) {
    EXPECT_EQ(ModifiedText(t), "0000-00-00  00:00:00") << t;
    EXPECT_EQ(AccessedText(t), "0000-00-00") << t;
    EXPECT_EQ(CreatedText(t), "0000-00-00  00:00:00.00") << t;
  }
}

// One folder, served as drive C: to the pane under test.
class FileListTest : public WindowTest<::testing::TestWithParam<Side>> {
 protected:
  void SetUp() override {
    MakeDirs(root_.path(), {"Alpha", "beta/inner", "empty"});
    MakeFile(root_.path(), "b.txt", 10);
    MakeFile(root_.path(), "A.TXT", 9);
    MakeFile(root_.path(), "c.dat", 100);
    MakeFile(root_.path(), ".hidden.txt", 5);
    MakeFile(root_.path(), "beta/in.txt", 1234);
    if (side() == Side::kLocal) {
      Open({root_.path().toStdString(), "", /*cable=*/false});
    } else {
      Open({other_.path().toStdString(), root_.path().toStdString()});
      ASSERT_TRUE(w_->Connect());
    }
    c_ = &controls(side());
    c_->page_control->setCurrentIndex(1);
  }

  Side side() const { return GetParam(); }
  TPane& pane() { return form().Pane(side()).record(); }
  void Go(const char* path) { GoTo(side(), path); }
  QString Cell(int row, int column) const {
    return c_->model->index(row, column).data().toString();
  }
  void Select(std::initializer_list<int> rows) {
    c_->list->clearSelection();
    for (int r : rows) {
      c_->list->selectionModel()->select(c_->model->index(r, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }
  QList<int> SelectedRows() const {
    QList<int> rows;
    for (const QModelIndex& i : c_->list->selectionModel()->selectedRows()) rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
  }
  QString Status() const { return c_->status->text(); }

  QTemporaryDir root_;
  QTemporaryDir other_;
  PaneControls* c_ = nullptr;
};

TEST_P(FileListTest, RootListsDirectoriesThenFilesWithoutSpecialRows) {
  Go("C:\\");
  EXPECT_EQ(pane().SpecialCount, 0);
  EXPECT_EQ(pane().DirCount, 3);
  EXPECT_EQ(pane().FileCount, 4);
  EXPECT_EQ(Names(side()),
            (QStringList{"Alpha", "beta", "empty", ".hidden.txt", "A.TXT", "b.txt", "c.dat"}));
  EXPECT_EQ(Cell(0, kColSize), "<dir>");
  EXPECT_EQ(Cell(0, kColAttr), ".d...");
  EXPECT_EQ(Cell(6, kColSize), "100");
  EXPECT_EQ(Cell(3, kColAttr), "a..h.");
  EXPECT_EQ(Cell(4, kColModified).size(), 20);
  EXPECT_EQ(Cell(4, kColAccessed).size(), 10);
  EXPECT_EQ(Cell(4, kColCreated).size(), 23);
  EXPECT_EQ(c_->model->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
  EXPECT_FALSE(c_->model->index(3, 0).data(Qt::ForegroundRole).isValid());
  EXPECT_EQ(c_->model->index(3, kColSize).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
            Qt::AlignRight);
  EXPECT_EQ(c_->dir->text(), "C:\\");
  EXPECT_EQ(Status(), "Selected: 0 of 3 dirs, 0 of 4 files: 0 bytes");
  EXPECT_FALSE(pane().list_stale);
  for (int slot = 1; slot <= 20; ++slot) EXPECT_FALSE(form().search_slots().InUse(slot));
}

TEST_P(FileListTest, EmptySubdirectoryShowsOnlyTheSpecialRows) {
  Go("C:\\empty");
  EXPECT_EQ(Names(side()), (QStringList{"..", "\\"}));
  EXPECT_EQ(Cell(0, kColSize), "<parent>");
  EXPECT_EQ(Cell(1, kColSize), "<root>");
  EXPECT_EQ(Cell(1, kColAttr), ".d...");
  EXPECT_EQ(Cell(1, kColModified), "");
  for (int r : {0, 1}) {
    EXPECT_EQ(c_->model->index(r, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
  }
  Select({0, 1});
  EXPECT_EQ(Status(), "Selected: 0 of 0 dirs, 0 of 0 files: 0 bytes");
}

TEST_P(FileListTest, FilespecFiltersFilesOnlyThroughTheSecondSearch) {
  c_->filespec->setText("*.txt");
  Go("C:\\");
  EXPECT_EQ(Names(side()),
            (QStringList{"Alpha", "beta", "empty", ".hidden.txt", "A.TXT", "b.txt"}));
  c_->filespec->setText("*");
  form().Pane(side()).FillList();
  EXPECT_EQ(pane().FileCount, 4);
  c_->filespec->setText("nothing.*");
  form().Pane(side()).FillList();
  EXPECT_EQ(pane().DirCount, 3);
  EXPECT_EQ(pane().FileCount, 0);
  // More than one name would list another directory's files as this one's.
  c_->filespec->setText("..\\*.txt");
  form().Pane(side()).FillList();
  EXPECT_EQ(pane().DirCount, 3);
  EXPECT_EQ(pane().FileCount, 0);
}

TEST_P(FileListTest, FilespecEditRefillsOnceWhenLeftAfterAChange) {
  Go("C:\\");
  MakeFile(root_.path(), "late.txt", 1);
  QFocusEvent out(QEvent::FocusOut);
  QApplication::sendEvent(c_->filespec, &out);  // unchanged: no refill
  EXPECT_EQ(pane().FileCount, 4);
  c_->filespec->setFocus();
  QTest::keyClick(c_->filespec, Qt::Key_End);
  QTest::keyClick(c_->filespec, Qt::Key_Backspace);
  QTest::keyClick(c_->filespec, '*');  // "*.*" again, but edited
  QApplication::sendEvent(c_->filespec, &out);
  EXPECT_EQ(pane().FileCount, 5);
  MakeFile(root_.path(), "later.txt", 1);
  QApplication::sendEvent(c_->filespec, &out);
  EXPECT_EQ(pane().FileCount, 5);
  QTest::keyClick(c_->filespec, Qt::Key_Backspace);
  QTest::keyClick(c_->filespec, '*');
  QTest::keyClick(c_->filespec, Qt::Key_Return);
  EXPECT_EQ(pane().FileCount, 6);
}

TEST_P(FileListTest, SizeSortIsNumericDirectoriesByNameAndTheDirectionStays) {
  MakeFile(root_.path(), "empty/n9.bin", 9);
  MakeFile(root_.path(), "empty/n10.bin", 10);
  MakeFile(root_.path(), "empty/n100.bin", 100);
  MakeDirs(root_.path(), {"empty/b", "empty/A", "empty/c"});
  Go("C:\\empty");
  form().Pane(side()).ColumnClicked(kColSize);
  EXPECT_EQ(pane().SortColumn, 2);
  EXPECT_EQ(Names(side()),
            (QStringList{"..", "\\", "A", "b", "c", "n9.bin", "n10.bin", "n100.bin"}));
  form().Pane(side()).ColumnClicked(kColSize);
  EXPECT_EQ(pane().SortColumn, -2);
  EXPECT_EQ(Names(side()),
            (QStringList{"..", "\\", "c", "b", "A", "n100.bin", "n10.bin", "n9.bin"}));
  form().Pane(side()).FillList();
  EXPECT_EQ(Names(side()),
            (QStringList{"..", "\\", "c", "b", "A", "n100.bin", "n10.bin", "n9.bin"}));
  form().Pane(side()).ColumnClicked(kColName);
  EXPECT_EQ(Names(side()),
            (QStringList{"..", "\\", "A", "b", "c", "n10.bin", "n100.bin", "n9.bin"}));
}

TEST_P(FileListTest, SelectionSurvivesSortAndReverseAndTheFocusMarkGoes) {
  Go("C:\\");
  c_->list->setCurrentIndex(c_->model->index(5, 0));
  Select({1, 5});                               // "beta" and "b.txt"
  form().Pane(side()).ColumnClicked(kColSize);  // files: 5, 9, 10, 100
  EXPECT_EQ(Names(side()).mid(3), (QStringList{".hidden.txt", "A.TXT", "b.txt", "c.dat"}));
  form().Pane(side()).ColumnClicked(kColSize);
  EXPECT_EQ(Names(side()).mid(3), (QStringList{"c.dat", "b.txt", "A.TXT", ".hidden.txt"}));
  EXPECT_EQ(SelectedRows(), (QList<int>{1, 4}));
  EXPECT_EQ(Cell(4, kColName), "b.txt");
  EXPECT_FALSE(c_->list->currentIndex().isValid());
  EXPECT_EQ(Status(), "Selected: 1 of 3 dirs, 1 of 4 files: 10 bytes");
}

TEST_P(FileListTest, EnteringParentRootAndDirectoriesByDoubleClickOrEnter) {
  Go("C:\\beta\\inner");
  Select({0});
  form().Pane(side()).EnterSelectedDir();
  EXPECT_EQ(pane().Path, "C:\\beta");
  EXPECT_TRUE(pane().tree_stale);
  EXPECT_EQ(Names(side()), (QStringList{"..", "\\", "inner", "in.txt"}));

  Select({3});  // a file: nothing happens
  form().Pane(side()).EnterSelectedDir();
  EXPECT_EQ(pane().Path, "C:\\beta");

  Select({2});
  c_->list->setFocus();
  QTest::keyClick(c_->list, Qt::Key_Return);
  EXPECT_EQ(pane().Path, "C:\\beta\\inner");

  QTest::keyClick(c_->list, Qt::Key_Backspace);  // no meaning of its own
  EXPECT_EQ(pane().Path, "C:\\beta\\inner");

  Select({1});
  QApplication::processEvents();  // lays the rows out
  const QRect rect = c_->list->visualRect(c_->model->index(1, 0));
  ASSERT_TRUE(rect.isValid());
  // A double click is a press and release followed by the double-click press.
  QTest::mouseClick(c_->list->viewport(), Qt::LeftButton, {}, rect.center());
  QTest::mouseDClick(c_->list->viewport(), Qt::LeftButton, {}, rect.center());
  EXPECT_EQ(pane().Path, "C:\\");
  EXPECT_EQ(pane().SpecialCount, 0);
  EXPECT_TRUE(w_->boxes.shown.empty());
}

TEST_P(FileListTest, EnteringADirectoryThatVanishedNamesThePanesDrive) {
  Go("C:\\");
  ASSERT_TRUE(QDir(root_.path()).rmdir("empty"));
  Select({2});  // "empty", gone meanwhile
  form().Pane(side()).EnterSelectedDir();
  EXPECT_EQ(w_->boxes.Texts(), std::vector<std::string>{"Drive C: not ready"});
  EXPECT_EQ(pane().Path, "C:\\");
  EXPECT_EQ(pane().DirCount, 2);  // read again
}

TEST_P(FileListTest, SelectAllFilesAfterAllDirectoriesKeepsBothButNoSpecialRow) {
  Go("C:\\beta");
  MakeFile(root_.path(), "beta/more.txt", 66);
  form().Pane(side()).FillList();
  c_->sel_dirs_btn->click();
  EXPECT_EQ(SelectedRows(), (QList<int>{2}));
  EXPECT_EQ(Status(), "Selected: 1 of 1 dirs, 0 of 2 files: 0 bytes");
  form().Pane(side()).SelectAllFiles();
  EXPECT_EQ(SelectedRows(), (QList<int>{2, 3, 4}));
  EXPECT_EQ(Status(), "Selected: 1 of 1 dirs, 2 of 2 files: 1,300 bytes");
}

TEST_P(FileListTest, CtrlAIsSelectAllAndLeavesTheSpecialRowsAlone) {
  Go("C:\\beta");
  MakeFile(root_.path(), "beta/more.txt", 66);
  form().Pane(side()).FillList();
  c_->list->setFocus();
  QTest::keyClick(c_->list, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(SelectedRows(), (QList<int>{2, 3, 4}));
  EXPECT_EQ(Status(), "Selected: 1 of 1 dirs, 2 of 2 files: 1,300 bytes");
  // A special row the user picked keeps its mark, as with the menu commands.
  Select({0});
  QTest::keyClick(c_->list, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(SelectedRows(), (QList<int>{0, 2, 3, 4}));
}

TEST_P(FileListTest, TypeAheadFindsNamesWhateverColumnWasClicked) {
  Go("C:\\");
  // A click on the Size cell of "Alpha" makes that column the current one.
  const QRect cell = c_->list->visualRect(c_->model->index(0, kColSize));
  ASSERT_TRUE(cell.isValid());
  QTest::mouseClick(c_->list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
  ASSERT_EQ(SelectedRows(), (QList<int>{0}));
  QTest::keyClicks(c_->list, "c");
  EXPECT_EQ(Cell(c_->list->currentIndex().row(), kColName), "c.dat");
  EXPECT_EQ(SelectedRows(), (QList<int>{6}));
}

TEST_P(FileListTest, DirectoryPanelKeepsTheFoldersOwnNameAndShowsAllOfItAsTip) {
  const QString head = QString(40, 'h');
  const QString tail = QStringLiteral("the-folder-shown");
  MakeDirs(root_.path(), {qPrintable(head + "/" + head + "/" + head + "/" + tail)});
  const QString path = "C:\\" + head + "\\" + head + "\\" + head + "\\" + tail;
  Go(qPrintable(path));
  form().resize(600, 400);
  QApplication::processEvents();
  auto* panel = c_->dir;
  const QString shown = panel->ShownText();
  EXPECT_TRUE(shown.endsWith("\\" + tail)) << shown.toStdString();
  EXPECT_LE(panel->fontMetrics().horizontalAdvance(shown), panel->contentsRect().width());
  QTextDocument tip;
  tip.setHtml(panel->toolTip());
  EXPECT_EQ(tip.toPlainText(), path);
  // The whole path stays the panel's text: the status line reads its drive.
  EXPECT_EQ(panel->text(), path);

  // A folder name wider than the panel by itself loses its middle, not its end.
  const QString wide = QString(120, 'w') + "-end";
  MakeDirs(root_.path(), {qPrintable(wide)});
  Go(qPrintable("C:\\" + wide));
  const QString cut = panel->ShownText();
  EXPECT_TRUE(cut.endsWith("-end")) << cut.toStdString();
  EXPECT_LE(panel->fontMetrics().horizontalAdvance(cut), panel->contentsRect().width());
}

INSTANTIATE_TEST_SUITE_P(BothSides, FileListTest, BothSides(), SideParamName);

class RemoteListTest : public WindowTest<> {
 protected:
  QTemporaryDir dir_;
};

TEST_F(RemoteListTest, InertWhileDisconnected) {
  Open({dir_.path().toStdString(), "", /*cable=*/false});
  PaneControls& c = controls(Side::kRemote);
  c.page_control->setCurrentIndex(1);
  form().Pane(Side::kRemote).record().Path = "C:\\";
  c.refresh_btn->click();
  c.sel_dirs_btn->click();
  form().Pane(Side::kRemote).FileSpecExit();
  EXPECT_EQ(c.model->rowCount(), 0);
  EXPECT_EQ(c.dir->text(), "<Disconnected>");
  EXPECT_EQ(c.status->text(), "");
  EXPECT_TRUE(form().RemotePC1()->isEnabled());
}

}  // namespace
}  // namespace duplane
