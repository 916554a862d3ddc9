// The transfer commands started from the real window: rows selected in the
// lists, buttons pressed and menu items triggered, the review dialogs answered
// as a user would, over a cable to a Remote Module serving a temporary folder.
// What arrives is compared byte for byte; the summaries and questions come from
// the window's scripted boxes.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cstring>
#include <functional>

#include "dialog_answers.h"
#include "support/file_tree.h"
#include "support/sides.h"
#include "ui/pane_list_model.h"
#include "ui/queue_review.h"
#include "ui/radio_group.h"
#include "window_fixture.h"

namespace duplane {
namespace {

using testing_ui::AnswerFirst;
using testing_ui::EnsureApplication;
using testing_ui::OpenReview;
using testing_ui::PressReview;
using testing_ui::WhileRunning;
using testing_ui::WindowTest;

// How the test answers what the run shows, and what it saw. Every pass of the
// event loop (the dialogs' own loops and the engines' event pumping) looks at
// the windows once.
struct Script {
  bool ok = true;                         // the review dialog's answer
  std::function<void()> set_options;      // run on the dialog before answering
  int cancel_gathering_at_pass = 0;       // Cancel on the busy window at that pass
  bool cancel_after_first_block = false;  // Cancel on the progress window

  std::vector<std::string> dialog_titles;
  std::vector<std::string> queue_at_dialog;
  bool gathering_seen = false;
  bool main_enabled_while_gathering = false;
  bool status_seen = false;
  bool main_enabled_while_copying = false;
};

class TransferEntriesTest : public WindowTest<> {
 protected:
  void SetUp() override {
    WindowTest::Open({local_dir_.path(), remote_dir_.path(), /*cable=*/true, parent_listed_late_});
    for (Side side : {Side::kLocal, Side::kRemote}) controls(side).page_control->setCurrentIndex(1);
  }

  // A path on the Local or the Remote PC's folder.
  std::string At(Side side, const std::string& relative) const {
    return (side == Side::kLocal ? local_dir_ : remote_dir_) / relative;
  }

  void Connect() { ASSERT_TRUE(w_->Connect()); }
  // Both panes at their drive's root, lists read.
  void ShowRoots(bool remote_too) {
    for (Side side : {Side::kLocal, Side::kRemote}) {
      if (side == Side::kLocal || remote_too) GoTo(side, "C:\\");
    }
  }

  // Presses the button or triggers the menu item of that name while `script`
  // answers and watches.
  void Run(const char* entry, Script& script) {
    int message_passes = 0;
    WhileRunning(
        [&] {
          if (auto* button = form().findChild<QAbstractButton*>(entry)) {
            button->click();
          } else {
            QAction* action = form().findChild<QAction*>(entry);
            ASSERT_NE(action, nullptr) << entry;
            action->trigger();
          }
        },
        [&] { Look(script, message_passes); });
  }

  void Look(Script& script, int& message_passes) {
    if (QDialog* review = OpenReview(*w_)) {
      script.dialog_titles.push_back(review->windowTitle().toStdString());
      script.queue_at_dialog = w_->entries->queue().paths();
      if (script.set_options) script.set_options();
      PressReview(*w_, review, script.ok);
    }
    TMessageForm& busy = *w_->message_form;
    if (busy.isVisible() && busy.windowTitle() == "Message") {
      script.gathering_seen = true;
      // The first pass is the busy window's own repaint, which takes no user
      // input; the main window is disabled right after it.
      if (++message_passes > 1 && form().isEnabled()) script.main_enabled_while_gathering = true;
      if (message_passes == script.cancel_gathering_at_pass) busy.Button1()->click();
    }
    TCopyStatusForm& status = *w_->copy_status_form;
    if (status.isVisible()) {
      script.status_seen = true;
      if (form().isEnabled()) script.main_enabled_while_copying = true;
      auto* bar = status.findChild<QProgressBar*>("ProgressBar1");
      if (script.cancel_after_first_block && bar != nullptr && bar->value() > 0 &&
          !status.cancelled()) {
        script.cancel_after_first_block = false;
        status.cancel_button()->click();
      }
    }
  }

  std::string LastBox() const {
    return w_->boxes.shown.empty() ? std::string() : w_->boxes.shown.back().text;
  }

  bool parent_listed_late_ = false;  // set by a fixture before SetUp
  TempFolder local_dir_{"glue-local"};
  TempFolder remote_dir_{"glue-remote"};
};

// The Remote Module lists ".." after two directories, as some file systems
// would: the special rows still come first, and Select all with Copy brings the
// selected entries and nothing from the source's parent or its drive's root.
class LateParentTransferTest : public TransferEntriesTest {
 protected:
  LateParentTransferTest() { parent_listed_late_ = true; }
};

TEST_F(LateParentTransferTest, SelectAllAndCopyCreatesNothingOutsideTheTarget) {
  WriteFile(At(Side::kRemote, "outside.txt"), "beside the source");
  WriteFile(At(Side::kRemote, "src/a/x.txt"), "x");
  WriteFile(At(Side::kRemote, "src/b/y.txt"), "y");
  WriteFile(At(Side::kRemote, "src/c/z.txt"), "z");
  WriteFile(At(Side::kRemote, "src/f.txt"), "f");
  MakeDir(At(Side::kLocal, "tgt"));
  Connect();
  for (Side side : {Side::kLocal, Side::kRemote}) {
    ASSERT_EQ(form().link().LinkChDir(side, side == Side::kLocal ? "C:\\tgt" : "C:\\src"), 0);
    form().Pane(side).record().Path = form().link().LinkGetDir(side, 0);
    form().Pane(side).FillList();
  }
  EXPECT_EQ(Names(Side::kRemote), (QStringList{"..", "\\", "a", "b", "c", "f.txt"}));
  EXPECT_EQ(form().Pane(Side::kRemote).record().SpecialCount, 2);
  form().Pane(Side::kRemote).SelectAllDirs();
  form().Pane(Side::kRemote).SelectAllFiles();

  Script script;
  Run("RCopyBtn", script);

  EXPECT_EQ(script.queue_at_dialog, (std::vector<std::string>{"f.txt", "a\\", "a\\x.txt", "b\\",
                                                              "b\\y.txt", "c\\", "c\\z.txt"}));
  std::vector<std::string> arrived;
  for (const auto& [name, entry] : ReadTree(local_dir_.path())) arrived.push_back(name);
  EXPECT_EQ(arrived,
            (std::vector<std::string>{"tgt", "tgt/a", "tgt/a/x.txt", "tgt/b", "tgt/b/y.txt",
                                      "tgt/c", "tgt/c/z.txt", "tgt/f.txt"}));
  EXPECT_EQ(LastBox(), "Files copied: 4\rDirs created: 3");
}

TEST_F(TransferEntriesTest, EveryEntryStartsItsOperationOnItsSide) {
  WriteFile(At(Side::kLocal, "l.txt"), "local");
  WriteFile(At(Side::kRemote, "r.txt"), "remote");
  Connect();
  ShowRoots(true);
  Select(Side::kLocal, {"l.txt"});
  Select(Side::kRemote, {"r.txt"});
  // Each entry, the dialog it must open, and for a menu item its caption.
  struct Case {
    const char* entry;
    const char* dialog;
    const char* caption;
  };
  const char kCopyLR[] = "Copy these files from Local PC to Remote PC?";
  const char kCopyRL[] = "Copy these files from Remote PC to Local PC?";
  const char kMoveLR[] = "Move these files from Local PC to Remote PC?";
  const char kMoveRL[] = "Move these files from Remote PC to Local PC?";
  const char kDeleteL[] = "Delete these files on Local PC?";
  const char kDeleteR[] = "Delete these files on Remote PC?";
  const Case cases[] = {{"LCopyBtn", kCopyLR, nullptr},      {"RCopyBtn", kCopyRL, nullptr},
                        {"LMoveBtn", kMoveLR, nullptr},      {"RMoveBtn", kMoveRL, nullptr},
                        {"LDeleteBtn", kDeleteL, nullptr},   {"RDeleteBtn", kDeleteR, nullptr},
                        {"Copy1", kCopyLR, "&Copy..."},      {"Move1", kMoveLR, "&Move..."},
                        {"Delete1", kDeleteL, "D&elete..."}, {"Copy2", kCopyRL, "&Copy..."},
                        {"Move2", kMoveRL, "&Move..."},      {"Delete2", kDeleteR, "D&elete..."},
                        {"Copy3", kCopyLR, "&Copy..."},      {"Move3", kMoveLR, "&Move..."},
                        {"Delete3", kDeleteL, "D&elete..."}, {"Copy4", kCopyRL, "&Copy..."},
                        {"Move4", kMoveRL, "&Move..."},      {"Delete4", kDeleteR, "D&elete..."}};
  for (const Case& c : cases) {
    Script script;
    script.ok = false;
    Run(c.entry, script);
    ASSERT_EQ(script.dialog_titles, std::vector<std::string>{c.dialog}) << c.entry;
    // The queue comes from the source side, or the side deleted on.
    const bool local_side =
        std::strstr(c.dialog, "from Local") || std::strstr(c.dialog, "on Local");
    EXPECT_EQ(script.queue_at_dialog, std::vector<std::string>{local_side ? "l.txt" : "r.txt"})
        << c.entry;
    if (c.caption != nullptr) {
      EXPECT_EQ(form().findChild<QAction*>(c.entry)->text(), c.caption) << c.entry;
    }
  }
  // Cancelled in the dialog: nothing was shown or changed.
  EXPECT_TRUE(Boxes().empty());
  EXPECT_FALSE(Exists(At(Side::kLocal, "r.txt")));
  EXPECT_FALSE(Exists(At(Side::kRemote, "l.txt")));
}

TEST_F(TransferEntriesTest, DisconnectedOnlyLocalDeleteGoesOn) {
  ShowRoots(false);
  for (const char* entry : {"LCopyBtn", "RCopyBtn", "LMoveBtn", "RMoveBtn", "RDeleteBtn", "Copy3",
                            "Move3", "Copy4", "Move4", "Delete4"}) {
    Script script;
    Run(entry, script);
    EXPECT_EQ(LastBox(), "Not connected to Remote PC") << entry;
    EXPECT_FALSE(script.gathering_seen) << entry;
  }
  for (const char* entry : {"LDeleteBtn", "Delete3"}) {
    Script script;
    Run(entry, script);
    EXPECT_TRUE(script.gathering_seen) << entry;
    EXPECT_EQ(LastBox(), "No files selected on Local PC") << entry;
  }
}

TEST_F(TransferEntriesTest, CopyFromLocalListArrivesByteForByte) {
  MakeDir(At(Side::kLocal, "sub/empty"));
  WriteFile(At(Side::kLocal, "a.txt"), PatternBytes(3000, 1));
  WriteFile(At(Side::kLocal, "sub/b.bin"), PatternBytes(20000, 2));  // three blocks
  WriteFile(At(Side::kLocal, "sub/deep/c.dat"), PatternBytes(8192, 3));
  WriteFile(At(Side::kLocal, "sub/zero"), "");
  WriteFile(At(Side::kLocal, "left.txt"), PatternBytes(10, 4));  // not selected
  Connect();
  ShowRoots(true);
  Select(Side::kLocal, {"a.txt", "sub"});

  Script script;
  Run("LCopyBtn", script);

  EXPECT_EQ(script.dialog_titles,
            std::vector<std::string>{"Copy these files from Local PC to Remote PC?"});
  ASSERT_FALSE(script.queue_at_dialog.empty());
  EXPECT_EQ(script.queue_at_dialog.front(), "a.txt");
  EXPECT_EQ(ReadFile(At(Side::kRemote, "a.txt")), ReadFile(At(Side::kLocal, "a.txt")));
  EXPECT_EQ(
      CompareTrees(At(Side::kLocal, "sub"), At(Side::kRemote, "sub"), /*times_and_modes=*/false),
      "");
  EXPECT_FALSE(Exists(At(Side::kRemote, "left.txt")));
  EXPECT_EQ(LastBox(), "Files copied: 4\rDirs created: 3");

  // The busy window, then the progress window, each with the main window
  // disabled behind it; afterwards both are gone and the window is usable.
  EXPECT_TRUE(script.gathering_seen);
  EXPECT_FALSE(script.main_enabled_while_gathering);
  EXPECT_TRUE(script.status_seen);
  EXPECT_FALSE(script.main_enabled_while_copying);
  EXPECT_FALSE(w_->copy_status_form->isVisible());
  EXPECT_FALSE(w_->message_form->isVisible());
  EXPECT_TRUE(form().isEnabled());
  // The target list was read again.
  EXPECT_TRUE(Names(Side::kRemote).contains("a.txt"));
  EXPECT_TRUE(Names(Side::kRemote).contains("sub"));
}

TEST_F(TransferEntriesTest, MoveBackFromRemoteListLeavesNothingBehind) {
  const std::string m = PatternBytes(9000, 5);
  const std::string n = PatternBytes(100, 6);
  WriteFile(At(Side::kRemote, "m.txt"), m);
  WriteFile(At(Side::kRemote, "md/inner/n.txt"), n);
  Connect();
  ShowRoots(true);
  Select(Side::kRemote, {"m.txt", "md"});

  Script script;
  script.set_options = [&] {
    w_->copy_move_form->move_delete()->SetItemIndex(1);  // Normal
    w_->copy_move_form->remove_empty()->setChecked(true);
  };
  Run("RMoveBtn", script);

  EXPECT_EQ(script.dialog_titles,
            std::vector<std::string>{"Move these files from Remote PC to Local PC?"});
  EXPECT_EQ(ReadFile(At(Side::kLocal, "m.txt")), m);
  EXPECT_EQ(ReadFile(At(Side::kLocal, "md/inner/n.txt")), n);
  EXPECT_FALSE(Exists(At(Side::kRemote, "m.txt")));
  EXPECT_FALSE(Exists(At(Side::kRemote, "md")));
  EXPECT_EQ(LastBox(), "Files moved: 2\rDirs created: 2");
  // Both lists were read again: the source lost the entries, the target has them.
  EXPECT_FALSE(Names(Side::kRemote).contains("m.txt"));
  EXPECT_TRUE(Names(Side::kLocal).contains("m.txt"));
}

TEST_F(TransferEntriesTest, ExistingTargetIsAskedAboutWithDates) {
  WriteFile(At(Side::kLocal, "same.txt"), "new content");
  WriteFile(At(Side::kRemote, "same.txt"), "old");
  Connect();
  ShowRoots(true);
  Select(Side::kLocal, {"same.txt"});
  w_->boxes.prompt_answers = {PromptAnswer::kNo};

  Script script;
  script.set_options = [&] { w_->copy_move_form->overwrite()->SetItemIndex(0); };  // Prompt
  Run("Copy3", script);

  ASSERT_GE(w_->boxes.shown.size(), 2u);
  const auto& question = w_->boxes.shown[w_->boxes.shown.size() - 2];
  EXPECT_EQ(question.kind, "YesNoCancelAll");
  EXPECT_EQ(question.text.rfind("same.txt already exists on Remote PC\r\rSource date: ", 0), 0u)
      << question.text;
  EXPECT_NE(question.text.find("\r\rOverwrite it?"), std::string::npos);
  EXPECT_EQ(LastBox(), "Files copied: 0\rFiles skipped: 1");
  EXPECT_EQ(ReadFile(At(Side::kRemote, "same.txt")), "old");
}

TEST_F(TransferEntriesTest, CancelMidFileAnsweredNoRemovesThePartialTarget) {
  const std::string big = PatternBytes(64 * 1024, 7);  // eight blocks
  WriteFile(At(Side::kRemote, "big.bin"), big);
  Connect();
  ShowRoots(true);
  Select(Side::kRemote, {"big.bin"});
  w_->boxes.yes_no_answers = {false};

  Script script;
  script.cancel_after_first_block = true;
  Run("RCopyBtn", script);

  ASSERT_GE(w_->boxes.shown.size(), 2u);
  const auto& question = w_->boxes.shown[w_->boxes.shown.size() - 2];
  EXPECT_EQ(question.kind, "YesNo");
  EXPECT_EQ(question.text, "big.bin in progress.\rFinish it before stopping?");
  EXPECT_EQ(LastBox(), "Files copied: 0");
  EXPECT_FALSE(Exists(At(Side::kLocal, "big.bin")));
  EXPECT_EQ(ReadFile(At(Side::kRemote, "big.bin")), big);
  EXPECT_TRUE(form().isEnabled());
}

TEST_F(TransferEntriesTest, WindowStaysOpenUntilTheTransferEnds) {
  WriteFile(At(Side::kLocal, "f.txt"), PatternBytes(100, 10));
  Connect();
  ShowRoots(true);
  Select(Side::kLocal, {"f.txt"});

  bool open_after_close_request = false;
  Script script;
  script.set_options = [&] {
    form().close();
    open_after_close_request = form().isVisible();
  };
  Run("LCopyBtn", script);

  EXPECT_TRUE(open_after_close_request);
  EXPECT_EQ(ReadFile(At(Side::kRemote, "f.txt")), ReadFile(At(Side::kLocal, "f.txt")));
  EXPECT_EQ(LastBox(), "Files copied: 1");
  EXPECT_TRUE(form().close());  // afterwards it closes as usual
}

// Deleting a tree with "Delete empty directories" on either side; the Local
// side runs without a connection.
class DeleteEntriesTest : public TransferEntriesTest, public ::testing::WithParamInterface<Side> {};

TEST_P(DeleteEntriesTest, TreeGoesWithItsDirectories) {
  const Side side = GetParam();
  MakeDir(At(side, "d/sub/sub2"));
  WriteFile(At(side, "d/f1"), PatternBytes(50, 8));
  WriteFile(At(side, "d/sub/f2"), PatternBytes(70000, 9));
  WriteFile(At(side, "top.txt"), "x");
  WriteFile(At(side, "keep/k"), "k");
  if (side == Side::kRemote) Connect();
  ShowRoots(/*remote_too=*/side == Side::kRemote);
  Select(side, {"top.txt", "d"});

  Script script;
  script.set_options = [&] {
    w_->delete_form->delete_mode()->SetItemIndex(1);  // Normal
    w_->delete_form->remove_empty()->setChecked(true);
  };
  Run(side == Side::kLocal ? "LDeleteBtn" : "RDeleteBtn", script);

  EXPECT_EQ(script.dialog_titles,
            std::vector<std::string>{side == Side::kLocal ? "Delete these files on Local PC?"
                                                          : "Delete these files on Remote PC?"});
  EXPECT_EQ(script.queue_at_dialog, (std::vector<std::string>{"top.txt", "d\\", "d\\f1", "d\\sub\\",
                                                              "d\\sub\\f2", "d\\sub\\sub2\\"}));
  EXPECT_EQ(LastBox(), "Files deleted: 3\rDirs deleted:  3");
  EXPECT_FALSE(Exists(At(side, "d")));
  EXPECT_FALSE(Exists(At(side, "top.txt")));
  EXPECT_EQ(ReadFile(At(side, "keep/k")), "k");
  EXPECT_FALSE(Names(side).contains("d"));
  EXPECT_TRUE(Names(side).contains("keep"));
  EXPECT_TRUE(form().isEnabled());
  EXPECT_FALSE(w_->message_form->isVisible());
}

INSTANTIATE_TEST_SUITE_P(BothSides, DeleteEntriesTest, BothSides(), SideParamName);

TEST_F(TransferEntriesTest, CancelWhileGatheringEndsSilently) {
  MakeDir(At(Side::kLocal, "many/b"));
  for (int i = 0; i < 40; ++i) WriteFile(At(Side::kLocal, "many/a/f" + std::to_string(i)), "data");
  ShowRoots(false);
  Select(Side::kLocal, {"many"});

  Script script;
  script.cancel_gathering_at_pass = 6;  // inside the walk, after a few files
  Run("Delete1", script);

  EXPECT_TRUE(script.gathering_seen);
  EXPECT_TRUE(script.dialog_titles.empty());
  EXPECT_TRUE(Boxes().empty());
  EXPECT_LT(w_->entries->queue().size(), 43u);  // the walk stopped part way
  EXPECT_TRUE(Exists(At(Side::kLocal, "many/a/f39")));
  EXPECT_FALSE(w_->message_form->isVisible());
  EXPECT_TRUE(form().isEnabled());
  // The walk gave back every search slot it took.
  for (int slot = 1; slot <= SearchSlots::kCount; ++slot) {
    EXPECT_FALSE(form().search_slots().InUse(slot)) << slot;
  }
}

// The real confirmation boxes: their buttons in order, the default and the
// escape answers a user gets from Enter and Esc.
class ConfirmationBoxTest : public ::testing::Test {
 protected:
  using Act = std::function<void(QMessageBox&)>;
  void SetUp() override { EnsureApplication(); }

  // The questions, with `act` done on the box once it is up.
  PromptAnswer YesNoCancelAll(const char* text, const Act& act) {
    return AnswerFirst<QMessageBox>(act, [&] { return boxes_.YesNoCancelAll(text); });
  }
  bool YesNo(const char* text, const Act& act) {
    return AnswerFirst<QMessageBox>(act, [&] { return boxes_.YesNo(text); });
  }
  static void Key(QMessageBox& box, Qt::Key key) { QTest::keyClick(&box, key); }
  static void Press(QMessageBox& box, const char* caption) {
    for (QAbstractButton* b : box.buttons()) {
      if (b->text() == caption) return b->click();
    }
    ADD_FAILURE() << "no button " << caption;
    box.reject();
  }

  QtMessageBoxes boxes_;
};

TEST_F(ConfirmationBoxTest, OverwriteQuestion) {
  QStringList captions;
  QString title;
  QString text;
  EXPECT_EQ(YesNoCancelAll("A.TXT already exists\rOverwrite it?",
                           [&](QMessageBox& box) {
                             title = box.windowTitle();
                             text = box.text();
                             QList<QAbstractButton*> buttons = box.buttons();
                             std::sort(buttons.begin(), buttons.end(),
                                       [](QAbstractButton* a, QAbstractButton* b) {
                                         return a->mapToGlobal(QPoint()).x() <
                                                b->mapToGlobal(QPoint()).x();
                                       });
                             for (QAbstractButton* b : buttons) captions << b->text();
                             Key(box, Qt::Key_Return);
                           }),
            PromptAnswer::kYes);
  EXPECT_EQ(title, "Confirm");
  EXPECT_EQ(text, "A.TXT already exists\nOverwrite it?");
  EXPECT_EQ(captions, (QStringList{"&Yes", "&No", "Cancel", "&All"}));

  EXPECT_EQ(YesNoCancelAll("q", [](QMessageBox& box) { Key(box, Qt::Key_Escape); }),
            PromptAnswer::kCancel);
  EXPECT_EQ(YesNoCancelAll("q", [](QMessageBox& box) { Press(box, "&All"); }), PromptAnswer::kAll);
  EXPECT_EQ(YesNoCancelAll("q", [](QMessageBox& box) { Press(box, "&No"); }), PromptAnswer::kNo);
}

TEST_F(ConfirmationBoxTest, FinishQuestion) {
  EXPECT_TRUE(YesNo("A in progress.\rFinish it before stopping?",
                    [](QMessageBox& box) { Key(box, Qt::Key_Return); }));
  EXPECT_FALSE(YesNo("q", [](QMessageBox& box) { Key(box, Qt::Key_Escape); }));
}

}  // namespace
}  // namespace duplane
