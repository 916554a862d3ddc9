// The two review dialogs with real widgets offscreen: the virtual queue list,
// its counts, "Unqueue selected", the options and where the focus starts.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <functional>

#include "qt_test_app.h"
#include "transfer/transfer_queue.h"
#include "ui/copy_move_form.h"
#include "ui/delete_form.h"
#include "ui/path_panel.h"
#include "ui/queue_list_model.h"
#include "ui/radio_group.h"

namespace duplane {
namespace {

class DialogsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { TestApp(); }

  // A.TXT (100), SUB\ with B.TXT (2000) and DEEP\ with C.TXT (30000), Z.TXT (4).
  void FillQueue() {
    queue_.Clear();
    queue_.AddFile("A.TXT", 100);
    queue_.AddDir("SUB");
    queue_.AddFile("SUB\\B.TXT", 2000);
    queue_.AddDir("SUB\\DEEP");
    queue_.AddFile("SUB\\DEEP\\C.TXT", 30000);
    queue_.AddFile("Z.TXT", 4);
  }

  // Runs `while_open` once the modal loop of `dialog` is running and the
  // dialog is the active window, so focus moves as it does for a user.
  static void WhenShown(QDialog& dialog, std::function<void()> while_open) {
    QTimer::singleShot(0, &dialog, [&dialog, while_open] {
      ASSERT_TRUE(dialog.isVisible());
      dialog.activateWindow();
      if (!QTest::qWaitForWindowActive(&dialog)) {
        ADD_FAILURE() << "dialog never became active";
        dialog.reject();
        return;
      }
      while_open();
    });
  }

  static QString Text(QWidget& dialog, const char* name) {
    auto* label = dialog.findChild<QLabel*>(name);
    return label ? label->text() : QStringLiteral("<missing %1>").arg(name);
  }

  static void Select(QueueReview& review, std::initializer_list<int> rows) {
    for (int row : rows) {
      review.list()->selectionModel()->select(review.model()->index(row),
                                              QItemSelectionModel::Select);
    }
  }

  TransferQueue queue_;
};

CopyMoveSetup MoveSetup(bool is_move) {
  CopyMoveSetup setup;
  setup.caption = is_move ? "Move these files from Remote PC to Local PC?"
                          : "Copy these files from Local PC to Remote PC?";
  setup.source_dir = "C:\\DATA\\";
  setup.target_dir = "D:\\BACKUP\\";
  setup.move_options_enabled = is_move;
  return setup;
}

TEST_F(DialogsTest, CountsUseTheLocaleThousandsSeparator) {
  EXPECT_EQ(QueueReview::CountText(0), "0");
  EXPECT_EQ(QueueReview::CountText(999), "999");
  EXPECT_EQ(QueueReview::CountText(1234567), "1,234,567");
  EXPECT_EQ(QueueReview::CountText(5000000000LL), "5,000,000,000");  // beyond 32 bits
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(QueueReview::CountText(1234567), "1.234.567");
  QLocale::setDefault(saved);

  FillQueue();
  queue_.byte_count = 12345678901LL;
  TDeleteForm dialog;
  WhenShown(dialog, [&] {
    EXPECT_EQ(Text(dialog, "nfiles"), "4");
    EXPECT_EQ(Text(dialog, "nbytes"), "12,345,678,901");
    EXPECT_EQ(Text(dialog, "ndirs"), "2");
    dialog.reject();
  });
  dialog.Run("Delete these files on Local PC?", queue_, nullptr);
}

TEST_F(DialogsTest, ListIsVirtualWithDirectoriesInRed) {
  queue_.Clear();
  for (int i = 0; i < 20000; ++i) {
    if (i % 100 == 0) {
      queue_.AddDir("D" + std::to_string(i));
    } else {
      queue_.AddFile("F" + std::to_string(i), i);
    }
  }
  TCopyMoveForm dialog;
  WhenShown(dialog, [&] {
    auto* list = dialog.findChild<QTreeView*>("ListView1");
    ASSERT_NE(list, nullptr);
    // No widget that keeps an item per entry anywhere in the dialog.
    EXPECT_TRUE(dialog.findChildren<QListWidget*>().isEmpty());
    EXPECT_TRUE(dialog.findChildren<QTreeWidget*>().isEmpty());
    QAbstractItemModel* model = list->model();
    EXPECT_EQ(model->rowCount(), 20000);
    EXPECT_EQ(model->data(model->index(100, 0)).toString(), "D100\\");
    EXPECT_EQ(model->data(model->index(101, 0)).toString(), "F101");
    EXPECT_EQ(model->data(model->index(100, 0), Qt::ForegroundRole).value<QColor>(),
              QColor(255, 0, 0));
    EXPECT_FALSE(model->data(model->index(101, 0), Qt::ForegroundRole).isValid());
    EXPECT_EQ(list->columnWidth(0), 480);
    EXPECT_TRUE(list->isHeaderHidden());
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    dialog.reject();
  });
  EXPECT_FALSE(dialog.Run(MoveSetup(false), queue_, nullptr));
}

TEST_F(DialogsTest, ModelNeverReadsPastAShrunkenQueue) {
  FillQueue();
  QueueListModel model;
  model.SetQueue(&queue_);
  model.SetItemCount(static_cast<int>(queue_.size()));
  queue_.RemoveAt(5);
  queue_.RemoveAt(4);
  EXPECT_EQ(model.rowCount(), 4);
  EXPECT_FALSE(model.data(model.index(5, 0), Qt::DisplayRole).isValid());
  model.SetQueue(nullptr);
  EXPECT_EQ(model.rowCount(), 0);
}

// Unqueueing behaves the same in both dialogs: they share the one review part.
class UnqueueTest : public DialogsTest, public ::testing::WithParamInterface<bool> {
 protected:
  // Opens the copy/move dialog (param false) or the delete dialog (true), runs
  // `body` on its review part while it is shown, then cancels it.
  void WithReview(const std::function<void(QDialog&, QueueReview&)>& body) {
    if (GetParam()) {
      TDeleteForm dialog;
      dialog.SetInformationBox([this](const QString& text) { messages_.push_back(text); });
      WhenShown(dialog, [&] {
        body(dialog, *dialog.review());
        dialog.reject();
      });
      dialog.Run("Delete these files on Remote PC?", queue_, nullptr);
    } else {
      TCopyMoveForm dialog;
      dialog.SetInformationBox([this](const QString& text) { messages_.push_back(text); });
      WhenShown(dialog, [&] {
        body(dialog, *dialog.review());
        dialog.reject();
      });
      dialog.Run(MoveSetup(true), queue_, nullptr);
    }
  }

  void ClickUnqueue(QDialog& dialog) {
    auto* button = dialog.findChild<QPushButton*>("Button3");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "Unqueue selected");
    QTest::mouseClick(button, Qt::LeftButton);
  }

  std::vector<QString> messages_;
};

TEST_P(UnqueueTest, DirectoryWithItsContentsGoesWhole) {
  FillQueue();
  WithReview([&](QDialog& dialog, QueueReview& review) {
    Select(review, {1, 2, 3, 4});
    ClickUnqueue(dialog);
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(review.model()->rowCount(), 2);
    EXPECT_FALSE(review.list()->selectionModel()->hasSelection());
    EXPECT_EQ(Text(dialog, "nfiles"), "2");
    EXPECT_EQ(Text(dialog, "nbytes"), "104");
    EXPECT_EQ(Text(dialog, "ndirs"), "0");
  });
  EXPECT_EQ(queue_.paths(), (std::vector<std::string>{"A.TXT", "Z.TXT"}));
}

TEST_P(UnqueueTest, DirectoryStillHoldingContentsIsRefusedOnce) {
  FillQueue();
  WithReview([&](QDialog& dialog, QueueReview& review) {
    // Selected: A.TXT, SUB\, DEEP\ (but not its C.TXT) and Z.TXT. Z.TXT goes;
    // DEEP\ is refused, and it and everything above it stay, selected or not.
    Select(review, {0, 1, 3, 5});
    ClickUnqueue(dialog);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0],
              "Cannot unqueue directory \"SUB\\DEEP\\\" unless its contents are unqueued also.");
    EXPECT_EQ(review.model()->rowCount(), 5);
    EXPECT_FALSE(review.list()->selectionModel()->hasSelection());
    EXPECT_EQ(Text(dialog, "nfiles"), "3");
    EXPECT_EQ(Text(dialog, "nbytes"), "32,100");
    EXPECT_EQ(Text(dialog, "ndirs"), "2");
  });
  EXPECT_EQ(queue_.paths(), (std::vector<std::string>{"A.TXT", "SUB\\", "SUB\\B.TXT", "SUB\\DEEP\\",
                                                      "SUB\\DEEP\\C.TXT"}));
}

TEST_P(UnqueueTest, NothingSelectedChangesNothing) {
  FillQueue();
  WithReview([&](QDialog& dialog, QueueReview& review) {
    ClickUnqueue(dialog);
    EXPECT_EQ(review.model()->rowCount(), 6);
    EXPECT_EQ(Text(dialog, "nbytes"), "32,104");
  });
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(queue_.size(), 6u);
}

INSTANTIATE_TEST_SUITE_P(BothDialogs, UnqueueTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Delete" : "CopyMove"; });

TEST_F(DialogsTest, CopyMoveDefaultsAndRememberedChoices) {
  FillQueue();
  TCopyMoveForm dialog;
  CopyMoveOptions options;
  options.overwrite = -7;  // must be overwritten on Ok
  WhenShown(dialog, [&] {
    EXPECT_EQ(dialog.windowTitle(), "Move these files from Remote PC to Local PC?");
    EXPECT_EQ(dialog.overwrite()->ItemText(), "Prompt");
    EXPECT_EQ(dialog.move_delete()->ItemText(), "Recycle Bin");
    EXPECT_TRUE(dialog.remove_empty()->isChecked());
    dialog.overwrite()->Item(4)->click();    // Update
    dialog.move_delete()->Item(2)->click();  // Wipe
    dialog.remove_empty()->click();
    QTest::mouseClick(dialog.ok_button(), Qt::LeftButton);
  });
  ASSERT_TRUE(dialog.Run(MoveSetup(true), queue_, &options));
  EXPECT_EQ(options.overwrite, 4);
  EXPECT_EQ(options.overwrite_text, "Update");
  EXPECT_EQ(options.delete_mode, 2);
  EXPECT_FALSE(options.remove_empty);

  // The next run starts from those choices; Cancel leaves the options alone.
  CopyMoveOptions untouched;
  WhenShown(dialog, [&] {
    EXPECT_EQ(dialog.overwrite()->ItemIndex(), 4);
    EXPECT_EQ(dialog.move_delete()->ItemIndex(), 2);
    EXPECT_FALSE(dialog.remove_empty()->isChecked());
    dialog.overwrite()->Item(2)->click();
    QTest::mouseClick(dialog.cancel_button(), Qt::LeftButton);
  });
  EXPECT_FALSE(dialog.Run(MoveSetup(true), queue_, &untouched));
  EXPECT_EQ(untouched.overwrite, 0);
  EXPECT_EQ(untouched.overwrite_text, "Prompt");
}

TEST_F(DialogsTest, CopyDisablesMoveOptionsButKeepsTheirValues) {
  FillQueue();
  TCopyMoveForm dialog;
  dialog.move_delete()->SetItemIndex(1);
  CopyMoveOptions options;
  WhenShown(dialog, [&] {
    EXPECT_FALSE(dialog.move_delete()->isEnabled());
    EXPECT_FALSE(dialog.remove_empty()->isEnabled());
    EXPECT_TRUE(dialog.overwrite()->isEnabled());
    dialog.accept();
  });
  ASSERT_TRUE(dialog.Run(MoveSetup(false), queue_, &options));
  // An abandoned partial target of a copy goes in this mode.
  EXPECT_EQ(options.delete_mode, 1);
  EXPECT_TRUE(options.remove_empty);

  WhenShown(dialog, [&] {
    EXPECT_TRUE(dialog.move_delete()->isEnabled());
    EXPECT_TRUE(dialog.remove_empty()->isEnabled());
    dialog.reject();
  });
  dialog.Run(MoveSetup(true), queue_, &options);
}

TEST_F(DialogsTest, EnterAcceptsCopyMoveAndEscapeCancels) {
  FillQueue();
  TCopyMoveForm dialog;
  WhenShown(dialog, [&] {
    EXPECT_EQ(dialog.focusWidget(), dialog.ok_button());
    EXPECT_TRUE(dialog.ok_button()->isDefault());
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
  });
  EXPECT_TRUE(dialog.Run(MoveSetup(false), queue_, nullptr));

  WhenShown(dialog, [&] { QTest::keyClick(dialog.focusWidget(), Qt::Key_Escape); });
  EXPECT_FALSE(dialog.Run(MoveSetup(false), queue_, nullptr));

  // Ok is the default button wherever the focus is but on Cancel.
  WhenShown(dialog, [&] {
    dialog.review()->list()->setFocus();
    QTest::keyClick(dialog.review()->list(), Qt::Key_Return);
  });
  EXPECT_TRUE(dialog.Run(MoveSetup(false), queue_, nullptr));
  WhenShown(dialog, [&] {
    dialog.cancel_button()->setFocus();
    QTest::keyClick(dialog.cancel_button(), Qt::Key_Return);
  });
  EXPECT_FALSE(dialog.Run(MoveSetup(false), queue_, nullptr));
}

TEST_F(DialogsTest, EnterInAFreshDeleteDialogCancels) {
  FillQueue();
  TDeleteForm dialog;
  DeleteOptions options;
  options.delete_mode = -1;
  WhenShown(dialog, [&] {
    EXPECT_EQ(dialog.windowTitle(), "Delete these files on Remote PC?");
    EXPECT_EQ(dialog.focusWidget(), dialog.cancel_button());
    EXPECT_FALSE(dialog.ok_button()->isDefault());
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
  });
  EXPECT_FALSE(dialog.Run("Delete these files on Remote PC?", queue_, &options));
  EXPECT_EQ(options.delete_mode, -1);

  // Enter where no button has the focus does nothing: there is no default
  // button to fall back on, above all not Ok.
  WhenShown(dialog, [&] {
    dialog.review()->list()->setFocus();
    QTest::keyClick(dialog.review()->list(), Qt::Key_Return);
    QTest::keyClick(dialog.delete_mode()->Item(0), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.ok_button()->isDefault());
    dialog.reject();
  });
  EXPECT_FALSE(dialog.Run("Delete these files on Remote PC?", queue_, &options));

  // Enter on Ok, once the user has gone there, deletes.
  WhenShown(dialog, [&] {
    dialog.ok_button()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(dialog.ok_button(), Qt::Key_Return);
  });
  EXPECT_TRUE(dialog.Run("Delete these files on Remote PC?", queue_, &options));
}

TEST_F(DialogsTest, DeleteDefaultsAndRememberedChoices) {
  FillQueue();
  TDeleteForm dialog;
  DeleteOptions options;
  WhenShown(dialog, [&] {
    EXPECT_EQ(dialog.delete_mode()->ItemText(), "Recycle Bin");
    EXPECT_TRUE(dialog.remove_empty()->isChecked());
    dialog.delete_mode()->Item(1)->click();
    dialog.remove_empty()->click();
    QTest::mouseClick(dialog.ok_button(), Qt::LeftButton);
  });
  ASSERT_TRUE(dialog.Run("Delete these files on Local PC?", queue_, &options));
  EXPECT_EQ(options.delete_mode, 1);
  EXPECT_FALSE(options.remove_empty);
  WhenShown(dialog, [&] {
    EXPECT_EQ(dialog.delete_mode()->ItemIndex(), 1);
    EXPECT_FALSE(dialog.remove_empty()->isChecked());
    dialog.reject();
  });
  dialog.Run("Delete these files on Local PC?", queue_, &options);
}

TEST_F(DialogsTest, DirectoryPanelsAreShortenedToTheirWidth) {
  FillQueue();
  TCopyMoveForm dialog;
  CopyMoveSetup setup = MoveSetup(false);
  setup.source_dir =
      "C:\\PROJECTS\\ARCHIVE\\2019\\CUSTOMERS\\NORTHERN REGION\\INVOICES\\"
      "SCANNED\\ORIGINALS\\HIGH RESOLUTION\\";
  setup.target_dir = "D:\\B\\";
  WhenShown(dialog, [&] {
    PathPanel* source = dialog.source_dir();
    const QString text = source->text();
    const QFontMetrics metrics(source->font());
    ASSERT_TRUE(text.startsWith(' '));
    EXPECT_LE(metrics.horizontalAdvance(text.mid(1)), source->width() - 10);
    EXPECT_TRUE(text.startsWith(" C:\\...\\") || text.startsWith(" ...\\")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("\\HIGH RESOLUTION\\")) << text.toStdString();
    EXPECT_EQ(dialog.target_dir()->text(), " D:\\B\\");

    // A wider font refits the same path, shorter.
    QFont bigger = source->font();
    bigger.setPointSizeF(bigger.pointSizeF() * 1.6);
    source->setFont(bigger);
    const QString refit = source->text();
    EXPECT_LE(QFontMetrics(bigger).horizontalAdvance(refit.mid(1)), source->width() - 10);
    EXPECT_LT(refit.size(), text.size());
    dialog.reject();
  });
  dialog.Run(setup, queue_, nullptr);
}

}  // namespace
}  // namespace duplane
