// The two review dialogs with real widgets offscreen: the virtual queue list,
// its counts, "Unqueue selected", the options and where Enter goes.
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
#include <functional>

#include "dialog_answers.h"
#include "qt_test_app.h"
#include "transfer/transfer_queue.h"
#include "ui/copy_move_form.h"
#include "ui/delete_form.h"
#include "ui/path_panel.h"
#include "ui/queue_list_model.h"
#include "ui/radio_group.h"

namespace duplane {
namespace {

using testing_ui::WhenShown;

const char kDeleteCaption[] = "Delete these files on Remote PC?";

CopyMoveSetup DialogSetup(bool is_move) {
  CopyMoveSetup setup;
  setup.caption = is_move ? "Move these files from Remote PC to Local PC?"
                          : "Copy these files from Local PC to Remote PC?";
  setup.source_dir = "C:\\DATA\\";
  setup.target_dir = "D:\\B\\";
  setup.move_options_enabled = is_move;
  return setup;
}

class DialogsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { TestApp(); }

  // A.TXT (100), SUB\ with B.TXT (2000) and DEEP\ with C.TXT (30000), Z.TXT (4).
  void SetUp() override {
    queue_.AddFile("A.TXT", 100);
    queue_.AddDir("SUB");
    queue_.AddFile("SUB\\B.TXT", 2000);
    queue_.AddDir("SUB\\DEEP");
    queue_.AddFile("SUB\\DEEP\\C.TXT", 30000);
    queue_.AddFile("Z.TXT", 4);
  }

  static QString Text(QWidget& dialog, const char* name) {
    auto* label = dialog.findChild<QLabel*>(name);
    return label ? label->text() : QStringLiteral("<missing %1>").arg(name);
  }

  static void Enter(QWidget* widget) {
    widget->setFocus(Qt::TabFocusReason);
    QTest::keyClick(widget, Qt::Key_Return);
  }

  TransferQueue queue_;
};

TEST_F(DialogsTest, CountsUseTheLocaleThousandsSeparator) {
  EXPECT_EQ(QueueReview::CountText(999), "999");
  EXPECT_EQ(QueueReview::CountText(5000000000LL), "5,000,000,000");  // beyond 32 bits
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(QueueReview::CountText(1234567), "1.234.567");
  QLocale::setDefault(saved);

  queue_.byte_count = 12345678901LL;
  TDeleteForm dialog;
  WhenShown(dialog, [&] {
    EXPECT_EQ(Text(dialog, "nfiles"), "4");
    EXPECT_EQ(Text(dialog, "nbytes"), "12,345,678,901");
    EXPECT_EQ(Text(dialog, "ndirs"), "2");
    dialog.reject();
  });
  dialog.Run(kDeleteCaption, queue_, nullptr);
}

TEST_F(DialogsTest, ListIsVirtualWithDirectoriesInRed) {
  queue_.Clear();
  for (int i = 0; i < 20000; ++i) {
    if (i % 100 == 0) queue_.AddDir("D" + std::to_string(i));
    if (i % 100 != 0) queue_.AddFile("F" + std::to_string(i), i);
  }
  TCopyMoveForm dialog;
  WhenShown(dialog, [&] {
    auto* list = dialog.findChild<QTreeView*>("ListView1");
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(dialog.findChildren<QListWidget*>().isEmpty());  // no item per entry
    QAbstractItemModel* model = list->model();
    EXPECT_EQ(model->rowCount(), 20000);
    EXPECT_EQ(model->data(model->index(100, 0)).toString(), "D100\\");
    EXPECT_EQ(model->data(model->index(101, 0)).toString(), "F101");
    EXPECT_EQ(model->data(model->index(100, 0), Qt::ForegroundRole).value<QColor>(),
              QColor(255, 0, 0));
    EXPECT_FALSE(model->data(model->index(101, 0), Qt::ForegroundRole).isValid());
    EXPECT_EQ(list->columnWidth(0), 480);
    dialog.reject();
  });
  EXPECT_FALSE(dialog.Run(DialogSetup(false), queue_, nullptr));

  // A view repainting after the queue shrank must not read past its end.
  QueueListModel model;
  model.SetQueue(&queue_);
  model.SetItemCount(20000);
  queue_.RemoveAt(19999);
  EXPECT_EQ(model.rowCount(), 19999);
  EXPECT_FALSE(model.data(model.index(19999, 0), Qt::DisplayRole).isValid());
}

// Unqueueing behaves the same in both dialogs: they share the one review part.
class UnqueueTest : public DialogsTest, public ::testing::WithParamInterface<bool> {
 protected:
  // Opens the delete dialog (param true) or the copy/move dialog, selects
  // `rows`, presses "Unqueue selected" and hands the dialog to `check`.
  void Unqueue(std::initializer_list<int> rows, const std::function<void(QDialog&)>& check) {
    TDeleteForm delete_form;
    TCopyMoveForm copy_move_form;
    QDialog& dialog = GetParam() ? static_cast<QDialog&>(delete_form) : copy_move_form;
    QueueReview* review = GetParam() ? delete_form.review() : copy_move_form.review();
    review->SetInformationBox([this](const QString& text) { messages_.push_back(text); });
    WhenShown(dialog, [&] {
      for (int row : rows) {
        review->list()->selectionModel()->select(review->model()->index(row),
                                                 QItemSelectionModel::Select);
      }
      QTest::mouseClick(dialog.findChild<QPushButton*>("Button3"), Qt::LeftButton);
      EXPECT_EQ(review->model()->rowCount(), static_cast<int>(queue_.size()));
      EXPECT_FALSE(review->list()->selectionModel()->hasSelection());
      check(dialog);
      dialog.reject();
    });
    if (GetParam()) delete_form.Run(kDeleteCaption, queue_, nullptr);
    if (!GetParam()) copy_move_form.Run(DialogSetup(true), queue_, nullptr);
  }

  std::vector<QString> messages_;
};

TEST_P(UnqueueTest, DirectoryWithItsContentsGoesWhole) {
  Unqueue({1, 2, 3, 4}, [&](QDialog& dialog) {
    EXPECT_EQ(Text(dialog, "nfiles"), "2");
    EXPECT_EQ(Text(dialog, "nbytes"), "104");
    EXPECT_EQ(Text(dialog, "ndirs"), "0");
  });
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(queue_.paths(), (std::vector<std::string>{"A.TXT", "Z.TXT"}));
}

TEST_P(UnqueueTest, DirectoryStillHoldingContentsIsRefusedOnce) {
  // Selected: A.TXT, SUB\, DEEP\ (but not its C.TXT) and Z.TXT. Z.TXT goes;
  // DEEP\ is refused, and it and everything above it stay, selected or not.
  Unqueue({0, 1, 3, 5}, [&](QDialog& dialog) {
    EXPECT_EQ(Text(dialog, "nfiles"), "3");
    EXPECT_EQ(Text(dialog, "nbytes"), "32,100");
    EXPECT_EQ(Text(dialog, "ndirs"), "2");
  });
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0],
            "Cannot unqueue directory \"SUB\\DEEP\\\" unless its contents are unqueued also.");
  EXPECT_EQ(queue_.size(), 5u);
  EXPECT_EQ(queue_.path(4), "SUB\\DEEP\\C.TXT");
}

INSTANTIATE_TEST_SUITE_P(BothDialogs, UnqueueTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Delete" : "CopyMove"; });

TEST_F(DialogsTest, DefaultsThenTheUsersLastChoices) {
  TCopyMoveForm dialog;
  CopyMoveOptions options;
  WhenShown(dialog, [&] {
    EXPECT_EQ(dialog.windowTitle(), "Move these files from Remote PC to Local PC?");
    EXPECT_EQ(dialog.overwrite()->ItemText(), "Prompt");
    EXPECT_EQ(dialog.move_delete()->ItemText(), "Recycle Bin");
    EXPECT_TRUE(dialog.remove_empty()->isChecked());
    EXPECT_TRUE(dialog.safe_copy()->isChecked());
    EXPECT_TRUE(dialog.safe_copy()->isEnabled());
    dialog.overwrite()->Item(4)->click();    // Update
    dialog.move_delete()->Item(2)->click();  // Wipe
    dialog.remove_empty()->click();
    dialog.safe_copy()->click();
    QTest::mouseClick(dialog.ok_button(), Qt::LeftButton);
  });
  ASSERT_TRUE(dialog.Run(DialogSetup(true), queue_, &options));
  EXPECT_EQ(options.overwrite, 4);
  EXPECT_EQ(options.overwrite_text, "Update");
  EXPECT_EQ(options.delete_mode, 2);
  EXPECT_FALSE(options.remove_empty);
  EXPECT_FALSE(options.safe_copy);

  // The next run starts from those choices; Cancel leaves the options alone.
  CopyMoveOptions untouched;
  WhenShown(dialog, [&] {
    EXPECT_EQ(dialog.overwrite()->ItemIndex(), 4);
    EXPECT_EQ(dialog.move_delete()->ItemIndex(), 2);
    EXPECT_FALSE(dialog.remove_empty()->isChecked());
    EXPECT_FALSE(dialog.safe_copy()->isChecked());
    dialog.overwrite()->Item(2)->click();
    QTest::mouseClick(dialog.cancel_button(), Qt::LeftButton);
  });
  EXPECT_FALSE(dialog.Run(DialogSetup(true), queue_, &untouched));
  EXPECT_EQ(untouched.overwrite_text, "Prompt");

  TDeleteForm delete_form;
  DeleteOptions delete_options;
  EXPECT_EQ(delete_form.Options().delete_mode, 0);
  EXPECT_TRUE(delete_form.Options().remove_empty);
  WhenShown(delete_form, [&] {
    delete_form.delete_mode()->Item(1)->click();
    delete_form.remove_empty()->click();
    QTest::mouseClick(delete_form.ok_button(), Qt::LeftButton);
  });
  ASSERT_TRUE(delete_form.Run(kDeleteCaption, queue_, &delete_options));
  EXPECT_EQ(delete_options.delete_mode, 1);
  EXPECT_FALSE(delete_options.remove_empty);
  EXPECT_EQ(delete_form.Options().delete_mode, 1);
}

TEST_F(DialogsTest, CopyDisablesMoveOptionsButKeepsTheirValues) {
  TCopyMoveForm dialog;
  dialog.move_delete()->SetItemIndex(1);
  CopyMoveOptions options;
  WhenShown(dialog, [&] {
    EXPECT_FALSE(dialog.move_delete()->isEnabled());
    EXPECT_FALSE(dialog.remove_empty()->isEnabled());
    EXPECT_TRUE(dialog.overwrite()->isEnabled());
    dialog.accept();
  });
  ASSERT_TRUE(dialog.Run(DialogSetup(false), queue_, &options));
  EXPECT_EQ(options.delete_mode, 1);  // an abandoned partial target goes this way
  dialog.Setup(DialogSetup(true), queue_);
  EXPECT_TRUE(dialog.move_delete()->isEnabled());
  EXPECT_TRUE(dialog.remove_empty()->isEnabled());
}

TEST_F(DialogsTest, EnterAcceptsCopyMoveUnlessOnCancel) {
  TCopyMoveForm dialog;
  WhenShown(dialog, [&] {
    EXPECT_EQ(dialog.focusWidget(), dialog.ok_button());
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
  });
  EXPECT_TRUE(dialog.Run(DialogSetup(false), queue_, nullptr));
  WhenShown(dialog, [&] { Enter(dialog.review()->list()); });
  EXPECT_TRUE(dialog.Run(DialogSetup(false), queue_, nullptr));
  WhenShown(dialog, [&] { Enter(dialog.cancel_button()); });
  EXPECT_FALSE(dialog.Run(DialogSetup(false), queue_, nullptr));
  WhenShown(dialog, [&] { QTest::keyClick(dialog.focusWidget(), Qt::Key_Escape); });
  EXPECT_FALSE(dialog.Run(DialogSetup(false), queue_, nullptr));
}

TEST_F(DialogsTest, EnterInAFreshDeleteDialogCancels) {
  TDeleteForm dialog;
  DeleteOptions options;
  options.delete_mode = -1;
  WhenShown(dialog, [&] {
    EXPECT_EQ(dialog.windowTitle(), kDeleteCaption);
    EXPECT_EQ(dialog.focusWidget(), dialog.cancel_button());
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
  });
  EXPECT_FALSE(dialog.Run(kDeleteCaption, queue_, &options));
  EXPECT_EQ(options.delete_mode, -1);

  // Enter where no button has the focus does nothing: there is no default
  // button to fall back on, above all not Ok.
  WhenShown(dialog, [&] {
    Enter(dialog.review()->list());
    QTest::keyClick(dialog.delete_mode()->Item(0), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(dialog.isVisible());
    dialog.reject();
  });
  EXPECT_FALSE(dialog.Run(kDeleteCaption, queue_, &options));

  // Enter on Ok, once the user has gone there, deletes.
  WhenShown(dialog, [&] { Enter(dialog.ok_button()); });
  EXPECT_TRUE(dialog.Run(kDeleteCaption, queue_, &options));
}

TEST_F(DialogsTest, DirectoryPanelsAreShortenedToTheirWidth) {
  TCopyMoveForm dialog;
  CopyMoveSetup setup = DialogSetup(false);
  setup.source_dir =
      "C:\\PROJECTS\\ARCHIVE\\2019\\CUSTOMERS\\NORTHERN REGION\\INVOICES\\"
      "SCANNED\\ORIGINALS\\HIGH RESOLUTION\\";
  dialog.Setup(setup, queue_);
  PathPanel* source = dialog.source_dir();
  const QString text = source->text();
  EXPECT_TRUE(text.startsWith(" C:\\...\\") || text.startsWith(" ...\\")) << text.toStdString();
  EXPECT_TRUE(text.endsWith("\\HIGH RESOLUTION\\")) << text.toStdString();
  EXPECT_LE(QFontMetrics(source->font()).horizontalAdvance(text.mid(1)), source->width() - 10);
  EXPECT_EQ(dialog.target_dir()->text(), " D:\\B\\");

  // A larger font refits the same path, shorter.
  QFont bigger = source->font();
  bigger.setPointSizeF(bigger.pointSizeF() * 1.6);
  source->setFont(bigger);
  EXPECT_LE(QFontMetrics(bigger).horizontalAdvance(source->text().mid(1)), source->width() - 10);
  EXPECT_LT(source->text().size(), text.size());
}

}  // namespace
}  // namespace duplane
