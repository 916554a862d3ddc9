// The directory panes on real folders: drive tree, lazy expansion, changing
// directory, a drive that is not ready, following a path back into the tree,
// page switching and the status line on both pages; the Remote pane over a
// cable with a Remote Module thread.
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTreeView>
#include <QTreeWidget>

#include "pane_fixture.h"
#include "ui/pane_list_model.h"
#include "window_fixture.h"

namespace duplane {
namespace {

using testing_ui::EnsureApplication;
using testing_ui::LonePane;
using testing_ui::MakeDirs;
using testing_ui::MakeFile;
using testing_ui::ScriptedBoxes;
using testing_ui::SettingsFolder;
using testing_ui::Windows;
using testing_ui::WindowTest;

QStringList ChildTexts(const QTreeWidgetItem* node) {
  QStringList texts;
  for (int i = 0; i < node->childCount(); ++i) texts << node->child(i)->text(0);
  return texts;
}

bool ShowsExpander(const QTreeWidgetItem* node) {
  return node->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
}

// Drives C: and D: of real folders, and X: naming a folder that does not
// exist, like a drive without a medium.
std::vector<DriveMapping> ThreeDrives(const QTemporaryDir& c, const QTemporaryDir& d) {
  return {{'C', c.path().toStdString()},
          {'D', d.path().toStdString()},
          {'X', (c.path() + "/no-medium").toStdString()}};
}

class PaneTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApplication();
    MakeDirs(c_.path(), {"beta", "Alpha", "gamma/sub/deeper", "gamma/Other"});
    MakeFile(c_.path(), "file.txt", 10);
    MakeFile(d_.path(), "only-a-file.txt", 10);
    p_ = std::make_unique<LonePane>(ThreeDrives(c_, d_));
    tree_ = controller().controls().tree;
    dir_ = controller().controls().dir;
    status_ = controller().controls().status;
  }

  QTreeWidgetItem* Drive(int i) { return tree_->topLevelItem(i); }
  PaneController& controller() { return p_->pane(); }
  const std::vector<ScriptedBoxes::Shown>& Shown() const { return p_->scripted_boxes.shown; }
  std::vector<std::string> Boxes() const { return p_->scripted_boxes.Texts(); }

  QTemporaryDir c_;
  QTemporaryDir d_;
  std::unique_ptr<LonePane> p_;
  QTreeWidget* tree_ = nullptr;
  QLabel* dir_ = nullptr;
  QLabel* status_ = nullptr;
};

TEST_F(PaneTreeTest, DrivesWithExpandersIconsAndHomeIndex) {
  ASSERT_EQ(tree_->topLevelItemCount(), 3);
  EXPECT_EQ(Drive(0)->text(0), "C:\\");
  EXPECT_EQ(Drive(1)->text(0), "D:\\");
  EXPECT_EQ(Drive(2)->text(0), "X:\\");
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(ShowsExpander(Drive(i)));
    EXPECT_FALSE(Drive(i)->icon(0).isNull());
  }
  EXPECT_EQ(controller().record().HomeNodeIndex, 0);
  EXPECT_EQ(tree_->currentItem(), nullptr);  // nothing is chosen before the focus
  EXPECT_EQ(dir_->text(), "");
}

TEST_F(PaneTreeTest, ExpansionReadsSortedSubdirectoriesAfreshEachTime) {
  controller().ExpandItem(Drive(0));
  ASSERT_TRUE(Drive(0)->isExpanded());
  EXPECT_EQ(ChildTexts(Drive(0)), (QStringList{"Alpha", "beta", "gamma"}));
  EXPECT_FALSE(ShowsExpander(Drive(0)->child(0)));  // Alpha is empty
  EXPECT_TRUE(ShowsExpander(Drive(0)->child(2)));   // gamma has subdirectories
  EXPECT_EQ(PaneController::NodePath(Drive(0)->child(2)), "C:\\gamma");

  controller().ExpandItem(Drive(0)->child(2));
  EXPECT_EQ(ChildTexts(Drive(0)->child(2)), (QStringList{"Other", "sub"}));
  EXPECT_EQ(PaneController::NodePath(Drive(0)->child(2)->child(1)), "C:\\gamma\\sub");

  MakeDirs(c_.path(), {"Beta2"});
  Drive(0)->setExpanded(false);
  Drive(0)->setExpanded(true);  // as the user's click: the handler re-reads
  EXPECT_EQ(ChildTexts(Drive(0)), (QStringList{"Alpha", "beta", "Beta2", "gamma"}));
}

TEST_F(PaneTreeTest, DriveWithoutSubdirectoriesLosesItsExpander) {
  QTreeWidgetItem* d = Drive(1);
  d->setExpanded(true);  // the user's click on the expander
  EXPECT_FALSE(d->isExpanded());
  EXPECT_FALSE(ShowsExpander(d));
  EXPECT_EQ(d->childCount(), 0);
  EXPECT_TRUE(Shown().empty());
}

TEST_F(PaneTreeTest, SelectingADriveClearsItsExpanderWhenEmpty) {
  tree_->setCurrentItem(Drive(1));
  EXPECT_FALSE(ShowsExpander(Drive(1)));
  EXPECT_EQ(dir_->text(), "D:\\");
}

TEST_F(PaneTreeTest, DriveNotReadyKeepsThePreviousDirectoryAndMarksTheListStale) {
  tree_->setCurrentItem(Drive(0));
  ASSERT_EQ(dir_->text(), "C:\\");
  controller().record().list_stale = false;
  tree_->setCurrentItem(Drive(2));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Drive X: not ready"});
  EXPECT_EQ(dir_->text(), "C:\\");
  EXPECT_EQ(controller().record().Path, "C:\\");
  EXPECT_TRUE(controller().record().list_stale);
  EXPECT_EQ(tree_->currentItem(), Drive(2));  // the node stays selected
}

TEST_F(PaneTreeTest, FirstFocusSelectsTheHomeDriveAndLaterFocusKeepsTheSelection) {
  tree_->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  ASSERT_EQ(tree_->currentItem(), Drive(0));
  EXPECT_EQ(dir_->text(), "C:\\");
  EXPECT_TRUE(
      QRegularExpression("^Bytes free: [0-9,]+  \\(\\d+%\\)$").match(status_->text()).hasMatch())
      << status_->text().toStdString();

  tree_->setCurrentItem(Drive(1));
  controller().controls().page_control->setFocus();
  tree_->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  EXPECT_EQ(tree_->currentItem(), Drive(1));
}

TEST_F(PaneTreeTest, SyncTreeToPathWalksDownCaseInsensitivelyAndStopsQuietly) {
  TPane& pane = controller().record();
  pane.Path = "c:\\GAMMA\\sub";
  pane.tree_stale = true;
  controller().SyncTreeToPath();
  ASSERT_NE(tree_->currentItem(), nullptr);
  EXPECT_EQ(PaneController::NodePath(tree_->currentItem()), "C:\\gamma\\sub");
  EXPECT_EQ(dir_->text(), "C:\\gamma\\sub");
  EXPECT_FALSE(pane.tree_stale);
  EXPECT_TRUE(pane.list_stale);
  EXPECT_TRUE(status_->text().startsWith("Bytes free: "));

  pane.Path = "C:\\gamma\\missing\\sub";
  controller().SyncTreeToPath();
  EXPECT_EQ(PaneController::NodePath(tree_->currentItem()), "C:\\gamma");

  pane.Path = "D:\\";
  controller().SyncTreeToPath();
  EXPECT_EQ(tree_->currentItem(), Drive(1));

  status_->setText("old");
  pane.Path = "";
  controller().SyncTreeToPath();
  EXPECT_EQ(status_->text(), "");
  EXPECT_EQ(tree_->currentItem(), Drive(1));
  EXPECT_TRUE(Shown().empty());
}

// A directory renamed or created through the list at a drive's root is in the
// tree when its page is shown next, and the old name is gone.
TEST_F(PaneTreeTest, TheTreeShowsWhatTheListChangedAtARoot) {
  TPane& pane = controller().record();
  controller().ExpandItem(Drive(0));
  tree_->setCurrentItem(Drive(0));
  ASSERT_TRUE(QDir(c_.path()).rename("beta", "BETA2"));
  ASSERT_TRUE(QDir(c_.path()).mkpath("new"));
  pane.Path = "C:\\";
  pane.tree_stale = true;
  controller().SyncTreeToPath();
  EXPECT_EQ(tree_->currentItem(), Drive(0));
  QStringList names;
  for (int i = 0; i < Drive(0)->childCount(); ++i) names << Drive(0)->child(i)->text(0);
  names.sort();
  EXPECT_EQ(names, (QStringList{"Alpha", "BETA2", "gamma", "new"}));
  // The renamed directory's node leads there.
  for (int i = 0; i < Drive(0)->childCount(); ++i) {
    if (Drive(0)->child(i)->text(0) == "BETA2") tree_->setCurrentItem(Drive(0)->child(i));
  }
  EXPECT_EQ(dir_->text(), "C:\\BETA2");
  EXPECT_TRUE(Shown().empty());
}

TEST_F(PaneTreeTest, ExpandingAboveTheSelectionMovesItToTheExpandedNode) {
  TPane& pane = controller().record();
  pane.Path = "C:\\gamma\\sub";
  controller().SyncTreeToPath();
  Drive(0)->setExpanded(false);
  Drive(0)->setExpanded(true);  // re-reads C:\, deleting the selected node
  EXPECT_EQ(tree_->currentItem(), Drive(0));
  EXPECT_EQ(dir_->text(), "C:\\");
}

// Selects exactly these rows of a list.
void SelectRows(QTreeView* list, std::initializer_list<int> rows) {
  list->clearSelection();
  for (int r : rows) {
    list->selectionModel()->select(list->model()->index(r, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
}

TEST_F(PaneTreeTest, TheFilesPageCountsTheSelectedEntriesAndTheirBytes) {
  TPane& pane = controller().record();
  // Two special rows, two directories, two files.
  pane.Rows = {{"..", RowKind::kParent},         {"\\", RowKind::kRoot},
               {"Alpha", RowKind::kDirectory},   {"beta", RowKind::kDirectory},
               {"a.txt", RowKind::kFile, 12000}, {"b.txt", RowKind::kFile, 345}};
  pane.SpecialCount = 2;
  pane.DirCount = 2;
  pane.FileCount = 2;

  QTreeView* list = controller().controls().list;
  controller().controls().page_control->setCurrentIndex(kFilesPage);
  EXPECT_EQ(status_->text(), "Selected: 0 of 2 dirs, 0 of 2 files: 0 bytes");
  SelectRows(list, {0, 1});  // the special rows count nowhere
  EXPECT_EQ(status_->text(), "Selected: 0 of 2 dirs, 0 of 2 files: 0 bytes");
  SelectRows(list, {0, 2, 4, 5});
  EXPECT_EQ(status_->text(), "Selected: 1 of 2 dirs, 2 of 2 files: 12,345 bytes");
}

// The side menus and the drag mode follow the pages of both panes.
TEST(PaneWindowTest, PageSwitchingDrivesTheMenusAndTheDragMode) {
  EnsureApplication();
  SettingsFolder settings;
  QTemporaryDir c;
  QTemporaryDir d;
  Windows w(ThreeDrives(c, d));
  TForm1& form = *w.form1;
  form.show();
  auto* pages = form.findChild<QTabWidget*>("LocalPageControl");
  auto* remote_pages = form.findChild<QTabWidget*>("RemotePageControl");
  auto* list = form.findChild<QTreeView*>("LocalList");

  pages->setCurrentIndex(kFilesPage);
  EXPECT_TRUE(form.LocalPC1()->isEnabled());
  EXPECT_FALSE(form.RemotePC1()->isEnabled());
  EXPECT_FALSE(list->dragEnabled());

  // The Remote pane does nothing while disconnected, but its menu follows.
  remote_pages->setCurrentIndex(kFilesPage);
  EXPECT_TRUE(form.RemotePC1()->isEnabled());
  EXPECT_TRUE(list->dragEnabled());  // both panes show their files
  EXPECT_EQ(form.findChild<QLabel*>("RemoteStatus")->text(), "");
  EXPECT_EQ(form.findChild<QLabel*>("RemoteDir")->text(), "<Disconnected>");

  pages->setCurrentIndex(kTreePage);
  EXPECT_FALSE(form.LocalPC1()->isEnabled());
  EXPECT_FALSE(list->dragEnabled());
  form.close();
}

TEST_F(PaneTreeTest, BulkSelectLeavesTheStatusAlone) {
  status_->setText("unchanged");
  controller().set_bulk_select(true);
  controller().UpdateStatus();
  EXPECT_EQ(status_->text(), "unchanged");
}

TEST_F(PaneTreeTest, WithEverySearchSlotTakenTheListStaysEmptyAndSaysSo) {
  for (int i = 1; i <= 20; ++i) ASSERT_EQ(p_->search_slots().Alloc(), i);
  controller().record().Path = "C:\\";
  controller().FillList();
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Error allocating FBlock"});
  EXPECT_EQ(controller().controls().model->rowCount(), 0);

  p_->search_slots().Free(7);
  controller().FillList();
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(controller().controls().model->rowCount(), 4);  // Alpha, beta, gamma, file.txt
  EXPECT_FALSE(p_->search_slots().InUse(7));
  EXPECT_EQ(p_->long_operations(), 0);
}

class RemotePaneTest : public WindowTest<> {
 protected:
  QTemporaryDir local_dir_;
  QTemporaryDir remote_dir_;
};

TEST_F(RemotePaneTest, BrowsesTheRemoteModulesFolderOverTheCable) {
  MakeDirs(remote_dir_.path(), {"Zeta", "docs/old", "Empty"});
  Open({local_dir_.path().toStdString(), remote_dir_.path().toStdString()});
  ASSERT_TRUE(w_->Connect());
  TForm1& f = form();
  auto* tree = f.findChild<QTreeWidget*>("RemoteTree");
  auto* dir = f.findChild<QLabel*>("RemoteDir");
  auto* status = f.findChild<QLabel*>("RemoteStatus");

  tree->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  ASSERT_EQ(tree->currentItem(), tree->topLevelItem(0));
  EXPECT_EQ(dir->text(), "C:\\");
  EXPECT_TRUE(status->text().startsWith("Bytes free: "));

  f.Pane(Side::kRemote).ExpandItem(tree->topLevelItem(0));
  EXPECT_EQ(ChildTexts(tree->topLevelItem(0)), (QStringList{"docs", "Empty", "Zeta"}));
  EXPECT_TRUE(ShowsExpander(tree->topLevelItem(0)->child(0)));
  EXPECT_FALSE(ShowsExpander(tree->topLevelItem(0)->child(1)));

  f.Pane(Side::kRemote).record().Path = "C:\\DOCS\\OLD";
  f.Pane(Side::kRemote).SyncTreeToPath();
  EXPECT_EQ(dir->text(), "C:\\docs\\old");

  // The Remote pane's Files page shows the status of its (still empty) list.
  f.findChild<QTabWidget*>("RemotePageControl")->setCurrentIndex(1);
  EXPECT_EQ(status->text(), "Selected: 0 of 0 dirs, 0 of 0 files: 0 bytes");
  EXPECT_TRUE(w_->boxes.shown.empty());
  f.close();
  EXPECT_FALSE(f.connected());
}

}  // namespace
}  // namespace duplane
