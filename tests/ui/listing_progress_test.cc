// Long directory reads: a remote directory of 20,000 entries fills behind the
// busy window with a running count, the window stays alive, Cancel keeps the
// part read so far, a close request meanwhile is refused and input meant for
// the old list is dropped; a listing with no end stops at the row limit.
#include "ui/listing_progress.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>

#include "dialog_answers.h"
#include "support/file_tree.h"
#include "ui/file_list_view.h"
#include "ui/pane_list_model.h"
#include "window_fixture.h"

namespace duplane {
namespace {

using testing_ui::WhileRunning;
using testing_ui::WindowTest;

constexpr int kEntries = 20000;

class ListingProgressTest : public WindowTest<> {
 protected:
  void SetUp() override { ListingProgress::SetDelayMs(0); }
  void TearDown() override {
    WindowTest::TearDown();
    ListingProgress::SetDelayMs(500);
  }
  void Open(bool with_remote) {
    WindowTest::Open({local_dir_.path(), with_remote ? remote_dir_.path() : std::string()});
  }
  int Rows(Side side) { return controls(side).model->rowCount(); }
  // Reads the side's list at its drive's root while `look` runs on every
  // pass of the event loop.
  void FillRoot(Side side, const std::function<void()>& look) {
    controls(side).page_control->setCurrentIndex(kFilesPage);
    WhileRunning([&] { GoTo(side, "C:\\"); }, look);
  }
  int CountShown() {
    const QString text = w_->message_form->Text();
    if (!text.startsWith("Entries read: ")) return -1;
    return QLocale().toInt(text.mid(14));
  }

  TempFolder local_dir_{"listing-local"};
  TempFolder remote_dir_{"listing-remote"};
};

// Every remote entry is one exchange over the cable, so the test reads only
// the beginning of the remote directory; the local one is read whole.
TEST_F(ListingProgressTest, TwentyThousandEntriesFillBehindTheBusyWindowAndCancelKeepsThePartRead) {
  for (int i = 0; i < kEntries; ++i) {
    const std::string name = "F" + std::to_string(i);
    WriteFile(local_dir_ / name, "");
    WriteFile(remote_dir_ / name, "");
  }
  Open(/*with_remote=*/true);
  ASSERT_TRUE(w_->Connect());

  // The whole local directory: the count grows while the window is disabled.
  std::vector<int> counts;
  bool enabled_meanwhile = false;
  FillRoot(Side::kLocal, [&] {
    if (!w_->message_form->isVisible()) return;
    EXPECT_EQ(w_->message_form->windowTitle(), "Reading directory");
    const int count = CountShown();
    if (count > 0) counts.push_back(count);
    if (form().isEnabled()) enabled_meanwhile = true;
  });
  ASSERT_FALSE(counts.empty());
  EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end()));
  EXPECT_FALSE(enabled_meanwhile);
  EXPECT_EQ(Rows(Side::kLocal), kEntries);
  EXPECT_EQ(form().Pane(Side::kLocal).record().FileCount, kEntries);
  EXPECT_FALSE(w_->message_form->isVisible());
  EXPECT_TRUE(form().isEnabled());

  // The remote one, with a close request, a click on the old list, and
  // Cancel: first the button, then the busy window's own close box.
  FileListView* list = form().Controls(Side::kRemote).list;
  for (bool close_box : {false, true}) {
    list->clearSelection();
    bool close_tried = false;
    bool visible_after_close = false;
    counts.clear();
    FillRoot(Side::kRemote, [&] {
      if (!w_->message_form->isVisible()) return;
      const int count = CountShown();
      if (count > 0) counts.push_back(count);
      if (count < 500) return;
      if (!close_tried) {
        close_tried = true;
        form().close();
        visible_after_close = form().isVisible();
        const QPoint at =
            list->visualRect(form().Controls(Side::kRemote).model->index(0, 0)).center();
        QCoreApplication::postEvent(
            list->viewport(), new QMouseEvent(QEvent::MouseButtonPress, at, list->mapToGlobal(at),
                                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
      } else if (close_box) {
        w_->message_form->close();
      } else {
        w_->message_form->Button1()->click();
      }
    });
    EXPECT_TRUE(close_tried);
    EXPECT_TRUE(visible_after_close);
    EXPECT_TRUE(form().isVisible());
    EXPECT_GE(counts.size(), 2u);
    EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end()));
    // The part read so far stays, consistently counted.
    EXPECT_GE(Rows(Side::kRemote), 500);
    EXPECT_LT(Rows(Side::kRemote), kEntries);
    EXPECT_EQ(form().Pane(Side::kRemote).record().FileCount, Rows(Side::kRemote));
    EXPECT_FALSE(list->selectionModel()->hasSelection());
    EXPECT_FALSE(w_->message_form->isVisible());
    EXPECT_TRUE(form().isEnabled());
  }
  EXPECT_TRUE(w_->boxes.shown.empty());
}

TEST_F(ListingProgressTest, AListingStopsAtTheRowLimitAndSaysSo) {
  MakeDir(local_dir_ / "SUB");
  for (int i = 0; i < 60; ++i) WriteFile(local_dir_ / ("SUB/F" + std::to_string(i)), "x");
  Open(/*with_remote=*/false);
  form().Pane(Side::kLocal).set_row_limit(50);
  controls(Side::kLocal).page_control->setCurrentIndex(kFilesPage);
  GoTo(Side::kLocal, "C:\\SUB");
  EXPECT_EQ(Rows(Side::kLocal), 50);
  const TPane& pane = form().Pane(Side::kLocal).record();
  EXPECT_EQ(pane.SpecialCount + pane.DirCount + pane.FileCount, 50);
  ASSERT_EQ(w_->boxes.shown.size(), 1u);
  EXPECT_EQ(w_->boxes.shown[0].kind, "Error");
  EXPECT_EQ(w_->boxes.shown[0].text, "Only the first 50 entries are listed of C:\\SUB on Local PC");
  EXPECT_TRUE(form().isEnabled());
}

}  // namespace
}  // namespace duplane
