// Dragging entries between the two file lists of the real window: when a drag
// may start at all, which list accepts which drag, and what a drop starts.
// Real drags need a window system, so the drag events are sent to the lists
// as the platform would send them; a drag's start is seen on the offscreen
// platform, whose drag loop ends at once.
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "dialog_answers.h"
#include "ui/file_list_view.h"
#include "ui/pane_list_model.h"
#include "window_fixture.h"

namespace duplane {
namespace {

using testing_ui::EveryPass;
using testing_ui::MakeFile;
using testing_ui::WindowTest;

class DragDropTest : public WindowTest<> {
 protected:
  void SetUp() override {
    MakeFile(local_dir_.path(), "here.txt", 10);
    MakeFile(remote_dir_.path(), "there.txt", 20);
    Open({local_dir_.path().toStdString(), remote_dir_.path().toStdString()});
    ASSERT_TRUE(w_->Connect());
    // Every dialog a drop opens is seen, and answered Ok when `confirm_` is
    // set, else cancelled.
    answer_dialogs_ = std::make_unique<EveryPass>([this] {
      auto* dialog = testing_ui::ModalShown<QDialog>();
      if (dialog == nullptr) return;
      dialog_titles_.push_back(dialog->windowTitle().toStdString());
      auto* ok = dialog->findChild<QPushButton*>("Button1");
      if (confirm_ && ok != nullptr) {
        ok->click();
      } else {
        dialog->reject();
      }
    });
  }
  void TearDown() override {
    answer_dialogs_.reset();
    WindowTest::TearDown();
  }

  PaneControls& c(Side side) { return controls(side); }
  FileListView* List(Side side) { return c(side).list; }

  void ShowPage(Side side, int page) {
    if (page == 1 && form().Pane(side).record().Path.empty()) form().Pane(side).SelectHomeDrive();
    c(side).page_control->setCurrentIndex(page);
  }
  void ShowBothFiles() {
    ShowPage(Side::kLocal, 1);
    ShowPage(Side::kRemote, 1);
  }
  void Select(Side side, const QString& name) { WindowTest::Select(side, {name}); }

  // What the platform sends while a drag passes over `target`: the drag
  // enters (the answer decides whether the target takes part at all), moves,
  // and then either leaves or is dropped. Drops and moves go to whichever
  // widget accepted the entry, so a refused list never sees the drop.
  bool Enter(FileListView* target, const QMimeData* data, Qt::KeyboardModifiers modifiers) {
    QDragEnterEvent enter(target->viewport()->rect().center(), Qt::CopyAction | Qt::MoveAction,
                          data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(target->viewport(), &enter);
    return enter.isAccepted();
  }
  bool DragOver(FileListView* target, QMimeData* data) {
    std::unique_ptr<QMimeData> owned(data);
    const bool accepted = Enter(target, data, {});
    QDragLeaveEvent leave;
    QApplication::sendEvent(target->viewport(), &leave);
    return accepted;
  }
  bool Drop(FileListView* target, QMimeData* data, Qt::KeyboardModifiers modifiers = {}) {
    std::unique_ptr<QMimeData> owned(data);
    const QPoint at = target->viewport()->rect().center();
    Enter(target, data, modifiers);
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(target->viewport(), &move);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(target->viewport(), &drop);
    // The window starts the copy once the platform's drag has ended.
    QCoreApplication::processEvents();
    return drop.isAccepted();
  }
  // Presses the left button on the first selected row and moves the pointer
  // well past the drag distance, as a user starting a drag does.
  void PressAndMove(FileListView* list, Qt::MouseButton button = Qt::LeftButton) {
    const QModelIndex row = list->selectionModel()->selectedRows().value(0);
    const QPoint at = list->visualRect(row).center();
    QTest::mousePress(list->viewport(), button, {}, at);
    QTest::mouseMove(list->viewport(), at + QPoint(3, 1));
    QTest::mouseMove(list->viewport(), at + QPoint(40, 20));
    QTest::mouseRelease(list->viewport(), button, {}, at + QPoint(40, 20));
  }

  QTemporaryDir local_dir_;
  QTemporaryDir remote_dir_;
  std::unique_ptr<EveryPass> answer_dialogs_;
  bool confirm_ = false;
  std::vector<std::string> dialog_titles_;
};

TEST_F(DragDropTest, DragsExistOnlyWhileBothPanesShowTheirFiles) {
  for (Side side : {Side::kLocal, Side::kRemote}) {
    EXPECT_FALSE(List(side)->dragEnabled());  // both panes open on "Tree"
    EXPECT_FALSE(List(side)->acceptDrops());
  }
  ShowPage(Side::kLocal, 1);
  EXPECT_FALSE(List(Side::kLocal)->dragEnabled());
  ShowPage(Side::kRemote, 1);
  for (Side side : {Side::kLocal, Side::kRemote}) {
    EXPECT_TRUE(List(side)->dragEnabled());
    EXPECT_TRUE(List(side)->acceptDrops());
  }
  ShowPage(Side::kRemote, 0);
  for (Side side : {Side::kLocal, Side::kRemote}) {
    EXPECT_FALSE(List(side)->dragEnabled());
    EXPECT_FALSE(List(side)->acceptDrops());
  }
  // Nothing is taken, even from the other list.
  EXPECT_FALSE(DragOver(List(Side::kRemote), FileListView::DragData(*List(Side::kLocal))));
  EXPECT_FALSE(
      Drop(List(Side::kRemote), FileListView::DragData(*List(Side::kLocal)), Qt::ShiftModifier));
  EXPECT_TRUE(dialog_titles_.empty());
}

TEST_F(DragDropTest, AfterReconnectingTheRemoteTreePageAllowsNoDrag) {
  ShowPage(Side::kLocal, 1);
  ShowPage(Side::kRemote, 1);
  ASSERT_TRUE(List(Side::kLocal)->dragEnabled());
  form().Disconnect1Click();
  form().Connect1Click();  // switches the Remote pane back to its tree
  ASSERT_TRUE(form().connected());
  ASSERT_EQ(form().Controls(Side::kRemote).page_control->currentIndex(), 0);
  for (Side side : {Side::kLocal, Side::kRemote}) {
    EXPECT_FALSE(List(side)->dragEnabled());
    EXPECT_FALSE(List(side)->acceptDrops());
  }
}

TEST_F(DragDropTest, PressingAndMovingStartsADragOnlyWithBothFilePagesAndTheLeftButton) {
  ShowBothFiles();
  Select(Side::kLocal, "here.txt");
  QSignalSpy started(List(Side::kLocal), &FileListView::DragStarting);
  PressAndMove(List(Side::kLocal), Qt::RightButton);
  EXPECT_EQ(started.count(), 0);
  Select(Side::kLocal, "here.txt");
  PressAndMove(List(Side::kLocal));
  EXPECT_EQ(started.count(), 1);

  ShowPage(Side::kRemote, 0);  // the other pane back on its tree
  Select(Side::kLocal, "here.txt");
  PressAndMove(List(Side::kLocal));
  EXPECT_EQ(started.count(), 1);
  EXPECT_FALSE(List(Side::kLocal)->selectionModel()->selectedRows().isEmpty());
}

TEST_F(DragDropTest, EachListAcceptsOnlyTheOtherListsEntries) {
  ShowBothFiles();
  EXPECT_FALSE(DragOver(List(Side::kLocal), FileListView::DragData(*List(Side::kLocal))));
  EXPECT_FALSE(DragOver(List(Side::kRemote), FileListView::DragData(*List(Side::kRemote))));
  EXPECT_TRUE(DragOver(List(Side::kLocal), FileListView::DragData(*List(Side::kRemote))));
  EXPECT_TRUE(DragOver(List(Side::kRemote), FileListView::DragData(*List(Side::kLocal))));
  // Nothing else: files from another program, or text.
  auto* uris = new QMimeData;
  uris->setText("file:///etc/passwd");
  EXPECT_FALSE(DragOver(List(Side::kRemote), uris));

  EXPECT_FALSE(Drop(List(Side::kLocal), FileListView::DragData(*List(Side::kLocal))));
  auto* text = new QMimeData;
  text->setText("here.txt");
  EXPECT_FALSE(Drop(List(Side::kRemote), text));
  EXPECT_TRUE(dialog_titles_.empty());
}

TEST_F(DragDropTest, DropAsksToCopyOrWithShiftToMoveFromTheOtherSide) {
  ShowBothFiles();
  Select(Side::kLocal, "here.txt");
  Select(Side::kRemote, "there.txt");
  EXPECT_TRUE(Drop(List(Side::kRemote), FileListView::DragData(*List(Side::kLocal))));
  EXPECT_TRUE(
      Drop(List(Side::kRemote), FileListView::DragData(*List(Side::kLocal)), Qt::ShiftModifier));
  EXPECT_TRUE(Drop(List(Side::kLocal), FileListView::DragData(*List(Side::kRemote))));
  EXPECT_TRUE(
      Drop(List(Side::kLocal), FileListView::DragData(*List(Side::kRemote)), Qt::ShiftModifier));
  EXPECT_TRUE(
      Drop(List(Side::kLocal), FileListView::DragData(*List(Side::kRemote)), Qt::ControlModifier));
  EXPECT_EQ(dialog_titles_,
            (std::vector<std::string>{"Copy these files from Local PC to Remote PC?",
                                      "Move these files from Local PC to Remote PC?",
                                      "Copy these files from Remote PC to Local PC?",
                                      "Move these files from Remote PC to Local PC?",
                                      "Copy these files from Remote PC to Local PC?"}));
  // Cancelled each time: nothing moved.
  EXPECT_TRUE(QFileInfo::exists(local_dir_.filePath("here.txt")));
  EXPECT_FALSE(QFileInfo::exists(remote_dir_.filePath("here.txt")));
}

TEST_F(DragDropTest, ShiftDropMovesAndPlainDropCopiesOnceConfirmed) {
  ShowBothFiles();
  confirm_ = true;
  Select(Side::kLocal, "here.txt");
  ASSERT_TRUE(
      Drop(List(Side::kRemote), FileListView::DragData(*List(Side::kLocal)), Qt::ShiftModifier));
  EXPECT_FALSE(QFileInfo::exists(local_dir_.filePath("here.txt")));
  EXPECT_EQ(QFileInfo(remote_dir_.filePath("here.txt")).size(), 10);

  Select(Side::kRemote, "there.txt");
  ASSERT_TRUE(Drop(List(Side::kLocal), FileListView::DragData(*List(Side::kRemote))));
  EXPECT_EQ(QFileInfo(local_dir_.filePath("there.txt")).size(), 20);
  EXPECT_EQ(QFileInfo(remote_dir_.filePath("there.txt")).size(), 20);
  EXPECT_EQ(dialog_titles_.size(), 2u);
}

}  // namespace
}  // namespace duplane
