// Closing windows at awkward moments: the main window's close request while a
// long operation runs is refused, closing the busy window is its Cancel, and
// Cancel in a cable time-out box in the middle of a copy, move or delete ends
// the program cleanly: the operation winds down, the settings are saved, the
// windows go, and no source file is touched.
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>

#include "support/file_tree.h"
#include "support/temp_tree.h"
#include "ui/pane_list_model.h"
#include "ui/radio_group.h"
#include "ui_test_support.h"

namespace duplane {
namespace {

using testing_ui::CuttablePort;
using testing_ui::EnsureApplication;
using testing_ui::RemoteThread;
using testing_ui::SettingsFolder;
using testing_ui::SteppingClock;
using testing_ui::Windows;

class WindowExitTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureApplication(); }

  // The windows over a cable whose program end the test can cut, with a
  // Remote Module serving remote_dir_ when `with_remote`.
  void Open(bool with_remote) {
    auto [program_end, remote_end] = VirtualCable::CreatePair();
    if (with_remote) {
      remote_ = std::make_unique<RemoteThread>(std::move(remote_end), remote_dir_.path());
    } else {
      silent_end_ = std::move(remote_end);
    }
    w_ = std::make_unique<Windows>(std::vector<DriveMapping>{{'C', local_dir_.path()}});
    w_->session.SetClock(clock_);
    auto port = std::make_unique<CuttablePort>(std::move(program_end));
    port_ = port.get();
    w_->session.AttachPort(std::move(port), kDefaultPortBase, /*fixed=*/true);
    w_->form1->show();
  }
  void TearDown() override {
    w_.reset();
    remote_.reset();
  }
  TForm1& form() { return *w_->form1; }

  void ShowRootsAndSelect(Side side, const QString& name) {
    for (Side side : {Side::kLocal, Side::kRemote}) {
      form().Controls(side).page_control->setCurrentIndex(kFilesPage);
      ASSERT_EQ(form().link().LinkChDir(side, "C:\\"), 0);
      form().Pane(side).Path = form().link().LinkGetDir(side, 0);
      form().FillList(side);
    }
    PaneListModel* model = form().Controls(side).model;
    for (int r = 0; r < model->rowCount(); ++r) {
      if (model->index(r, 0).data().toString() == name) {
        form().Controls(side).list->selectionModel()->select(
            model->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        return;
      }
    }
    FAIL() << "no row " << name.toStdString();
  }

  // Runs `start` while `look` is called on every pass of the event loop (the
  // dialogs' loops and the operations' own event pumping).
  void WhileRunning(const std::function<void()>& start, const std::function<void()>& look) {
    QTimer pass;
    QObject::connect(&pass, &QTimer::timeout, look);
    pass.start(0);
    start();
    pass.stop();
  }

  // Presses Ok on whichever review dialog is open; deletes are plain ones,
  // so no trash is involved.
  void AnswerOk() {
    if (w_->copy_move_form->isVisible()) w_->copy_move_form->ok_button()->click();
    if (w_->delete_form->isVisible()) {
      w_->delete_form->delete_mode()->SetItemIndex(1);
      w_->delete_form->ok_button()->click();
    }
  }

  void CutCable() {
    port_->cut = true;
    clock_.stepping = true;
  }

  SettingsFolder settings_;
  TempFolder local_dir_{"exit-local"};
  TempFolder remote_dir_{"exit-remote"};
  SteppingClock clock_;
  CuttablePort* port_ = nullptr;
  std::unique_ptr<VirtualCable> silent_end_;
  std::unique_ptr<RemoteThread> remote_;
  std::unique_ptr<Windows> w_;
};

TEST_F(WindowExitTest, CloseDuringConnectIsRefusedAndClosingTheBusyWindowCancels) {
  Open(/*with_remote=*/false);  // nobody answers: only Cancel ends the wait
  bool tried_close = false;
  bool visible_after_close = false;
  WhileRunning([&] { form().Connect1Click(); },
               [&] {
                 if (!tried_close) {
                   if (!w_->message_form->isVisible()) return;
                   tried_close = true;
                   form().close();  // the window manager's close box, Alt+F4
                   visible_after_close = form().isVisible();
                 } else if (w_->message_form->isVisible()) {
                   w_->message_form->close();  // the busy window's own close box
                 } else {
                   // Whatever took the busy window away, the wait must end
                   // for the test to report it.
                   w_->message_form->Button1()->click();
                 }
               });
  EXPECT_TRUE(tried_close);
  EXPECT_TRUE(visible_after_close);
  EXPECT_TRUE(form().isVisible());
  EXPECT_FALSE(form().connected());
  EXPECT_FALSE(w_->message_form->isVisible());
  EXPECT_TRUE(form().isEnabled());
  EXPECT_TRUE(w_->boxes.shown.empty());
  EXPECT_EQ(w_->terminations, 0);
  // Idle again, the window closes as usual and saves the settings.
  EXPECT_TRUE(form().close());
  EXPECT_TRUE(settings_.Exists());
}

TEST_F(WindowExitTest, CloseDuringGatheringIsRefusedAndClosingTheBusyWindowCancels) {
  for (int d = 0; d < 20; ++d) {
    for (int f = 0; f < 20; ++f) {
      WriteFile(local_dir_ / ("TREE/D" + std::to_string(d) + "/F" + std::to_string(f)), "x");
    }
  }
  Open(/*with_remote=*/true);
  form().Connect1Click();
  ASSERT_TRUE(form().connected());
  ShowRootsAndSelect(Side::kLocal, "TREE");
  int passes = 0;
  bool visible_after_close = false;
  bool dialog_shown = false;
  WhileRunning([&] { form().findChild<QAbstractButton*>("LCopyBtn")->click(); },
               [&] {
                 if (w_->copy_move_form->isVisible()) {
                   dialog_shown = true;
                   w_->copy_move_form->cancel_button()->click();
                 }
                 if (!w_->message_form->isVisible()) return;
                 ++passes;
                 if (passes == 2) {
                   form().close();
                   visible_after_close = form().isVisible();
                 } else if (passes == 3) {
                   w_->message_form->close();
                 }
               });
  EXPECT_GE(passes, 3);
  EXPECT_TRUE(visible_after_close);
  EXPECT_FALSE(dialog_shown);  // the gathering stopped: nothing to review
  EXPECT_FALSE(w_->message_form->isVisible());
  EXPECT_TRUE(form().isEnabled());
  EXPECT_FALSE(Exists(remote_dir_ / "TREE"));
  EXPECT_TRUE(form().connected());
  form().close();
}

// What runs when the cable goes silent, and what must still be there after.
struct TimeOutCase {
  const char* name;
  Side source_side;
  const char* button;
  bool deletes;
};

class TimeOutExitTest : public WindowExitTest, public ::testing::WithParamInterface<TimeOutCase> {};

TEST_P(TimeOutExitTest, CancelInTheTimeOutBoxEndsTheProgramCleanlyAndKeepsEverySource) {
  const TimeOutCase& c = GetParam();
  const std::string bytes = PatternBytes(80000, 7);  // ten blocks
  const TempFolder& source_dir = c.source_side == Side::kLocal ? local_dir_ : remote_dir_;
  for (const char* name : {"DIR/A.BIN", "DIR/B.BIN", "DIR/C.BIN"}) {
    WriteFile(source_dir / name, bytes);
  }
  const std::string before = Fingerprint(source_dir.path());
  Open(/*with_remote=*/true);
  form().Connect1Click();
  ASSERT_TRUE(form().connected());
  ShowRootsAndSelect(c.source_side, "DIR");

  int delete_passes = 0;
  WhileRunning([&] { form().findChild<QAbstractButton*>(c.button)->click(); },
               [&] {
                 AnswerOk();
                 if (port_->cut) return;
                 // In the middle of a file, or between two deletions.
                 auto* bar = w_->copy_status_form->findChild<QProgressBar*>("ProgressBar1");
                 if (w_->copy_status_form->isVisible() && bar->value() > 0 && bar->value() < 100) {
                   CutCable();
                 }
                 if (w_->message_form->isVisible() && w_->message_form->windowTitle() == "Delete" &&
                     ++delete_passes == 2) {
                   CutCable();
                 }
               });
  ASSERT_TRUE(port_->cut);
  // The run has returned; the window closes once control is back in the loop.
  EXPECT_TRUE(QTest::qWaitFor([&] { return w_->terminations > 0; }, 10000));
  EXPECT_EQ(w_->terminations, 1);
  EXPECT_FALSE(form().isVisible());
  EXPECT_FALSE(w_->copy_status_form->isVisible());
  EXPECT_FALSE(w_->message_form->isVisible());
  EXPECT_TRUE(settings_.Exists());
  // The time-out box was the last thing the user had to answer.
  ASSERT_FALSE(w_->boxes.shown.empty());
  EXPECT_EQ(w_->boxes.shown.back().kind, "RetryCancel");
  EXPECT_EQ(w_->boxes.shown.size(), 1u);
  if (c.deletes) {
    // What the delete had not reached when the cable went silent is intact.
    const auto files = ReadTree(source_dir.path());
    EXPECT_TRUE(files.count("DIR")) << "the directory went although files remain";
    EXPECT_GE(files.size(), 2u);
    for (const auto& [path, entry] : files) {
      if (!entry.is_dir) {
        EXPECT_EQ(entry.bytes, bytes) << path;
      }
    }
  } else {
    EXPECT_EQ(Fingerprint(source_dir.path()), before);
  }
  // The windows are destroyed the way the program destroys them.
  w_.reset();
}

INSTANTIATE_TEST_SUITE_P(
    Runs, TimeOutExitTest,
    ::testing::Values(TimeOutCase{"MoveToRemote", Side::kLocal, "LMoveBtn", false},
                      TimeOutCase{"MoveToLocal", Side::kRemote, "RMoveBtn", false},
                      TimeOutCase{"CopyToRemote", Side::kLocal, "LCopyBtn", false},
                      TimeOutCase{"DeleteOnRemote", Side::kRemote, "RDeleteBtn", true}),
    [](const ::testing::TestParamInfo<TimeOutCase>& info) { return info.param.name; });

}  // namespace
}  // namespace duplane
