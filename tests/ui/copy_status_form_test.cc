// The progress window with real widgets offscreen: its cancel flag, its
// initial texts and what the engine's setters show.
#include "ui/copy_status_form.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "qt_test_app.h"
#include "transfer/transfer_rate.h"
#include "ui/path_panel.h"

namespace duplane {
namespace {

class CopyStatusFormTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { TestApp(); }

  QString Text(const char* name) {
    auto* label = form_.findChild<QLabel*>(name);
    return label ? label->text() : QStringLiteral("<missing %1>").arg(name);
  }
  int Bar(const char* name) {
    auto* bar = form_.findChild<QProgressBar*>(name);
    return bar ? bar->value() : -1000;
  }

  TCopyStatusForm form_;
};

TEST_F(CopyStatusFormTest, IsModelessWithoutTitleBarButtonsAndStartsBlank) {
  EXPECT_FALSE(form_.isModal());
  EXPECT_FALSE(form_.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(form_.windowFlags() & Qt::WindowMinMaxButtonsHint);
  EXPECT_FALSE(form_.windowFlags() & Qt::WindowContextHelpButtonHint);
  EXPECT_EQ(Text("LSeq"), "0 of 0");
  EXPECT_EQ(Text("omlabel"), "Prompt");
  ASSERT_NE(form_.findChild<QProgressBar*>("ProgressBar1"), nullptr);
  EXPECT_EQ(form_.findChild<QProgressBar*>("ProgressBar1")->maximum(), 100);
  EXPECT_EQ(form_.findChild<QProgressBar*>("ProgressBar2")->maximum(), 100);

  // A second run starts from blank panels, the new overwrite mode and 0 %.
  form_.ShowStatus("Copy from Local PC to Remote PC", "Never");
  form_.SetFile("F.TXT", "4 of 17", "C:\\A\\", "D:\\B\\");
  form_.SetBars(40, 70);
  form_.SetRate(2048, 61);
  form_.CloseStatus();
  form_.ShowStatus("Move from Remote PC to Local PC", "Update");
  EXPECT_TRUE(form_.isVisible());
  EXPECT_EQ(form_.windowTitle(), "Move from Remote PC to Local PC");
  EXPECT_EQ(Text("omlabel"), "Update");
  EXPECT_EQ(Text("LFile"), "");
  EXPECT_EQ(Text("LSource"), "");
  EXPECT_EQ(Text("LTarget"), "");
  EXPECT_EQ(Text("LSeq"), "0 of 0");
  EXPECT_EQ(Bar("ProgressBar1"), 0);
  EXPECT_EQ(Bar("ProgressBar2"), 0);
  EXPECT_EQ(Text("LRate"), "");
  EXPECT_EQ(Text("LTimeLeft"), "");
  form_.CloseStatus();
}

TEST_F(CopyStatusFormTest, CancelOnlyRaisesTheFlagAndShowingClearsIt) {
  form_.ShowStatus("Copy from Local PC to Remote PC", "Prompt");
  EXPECT_FALSE(form_.cancelled());
  QTest::mouseClick(form_.cancel_button(), Qt::LeftButton);
  EXPECT_TRUE(form_.cancelled());
  EXPECT_TRUE(form_.isVisible());  // the engine closes it, not the button

  // "Finish it before stopping?" answered Yes clears it.
  form_.ClearCancel();
  EXPECT_FALSE(form_.cancelled());

  // Esc and a close request from the window manager are Cancel as well.
  QTest::keyClick(&form_, Qt::Key_Escape);
  EXPECT_TRUE(form_.cancelled());
  EXPECT_TRUE(form_.isVisible());
  form_.ClearCancel();
  form_.close();
  EXPECT_TRUE(form_.cancelled());
  EXPECT_TRUE(form_.isVisible());

  // A cancel left over from the last run does not stop the next one.
  form_.CloseStatus();
  EXPECT_FALSE(form_.isVisible());
  form_.ShowStatus("Copy from Local PC to Remote PC", "Prompt");
  EXPECT_FALSE(form_.cancelled());
  form_.CloseStatus();
}

TEST_F(CopyStatusFormTest, ShowsTheFileFittedToItsPanels) {
  form_.ShowStatus("Copy from Local PC to Remote PC", "Prompt");
  const std::string deep =
      "C:\\PROJECTS\\ARCHIVE\\2019\\CUSTOMERS\\NORTHERN REGION\\INVOICES\\SCANNED\\ORIGINALS\\"
      "HIGH RESOLUTION\\PAGES\\";
  form_.SetFile("INVOICE 0042.PDF", "4 of 17", deep, "D:\\BACKUP\\");
  EXPECT_EQ(Text("LFile"), " INVOICE 0042.PDF");
  EXPECT_EQ(Text("LSeq"), "4 of 17");
  EXPECT_EQ(Text("LTarget"), " D:\\BACKUP\\");
  auto* source = form_.findChild<PathPanel*>("LSource");
  ASSERT_NE(source, nullptr);
  const QString text = source->text();
  EXPECT_TRUE(text.startsWith(" ")) << text.toStdString();
  EXPECT_TRUE(text.contains("...\\")) << text.toStdString();
  EXPECT_TRUE(text.endsWith("\\PAGES\\")) << text.toStdString();
  EXPECT_LE(QFontMetrics(source->font()).horizontalAdvance(text.mid(1)), source->width() - 10);
  form_.CloseStatus();
}

TEST_F(CopyStatusFormTest, BarsStayWithinRangeAndRateIsShown) {
  form_.SetBars(37, 5);
  EXPECT_EQ(Bar("ProgressBar1"), 37);
  EXPECT_EQ(Bar("ProgressBar2"), 5);
  // Files that grew since gathering can push the engine's figures out of range.
  form_.SetBars(130, -20);
  EXPECT_EQ(Bar("ProgressBar1"), 100);
  EXPECT_EQ(Bar("ProgressBar2"), 0);

  form_.SetRate(3 * 1024 * 1024 / 2, 125);
  EXPECT_EQ(Text("LRate"), QString::fromStdString(FormatRate(3 * 1024 * 1024 / 2)));
  EXPECT_EQ(Text("LTimeLeft"), "2:05");
  form_.SetRate(-1, -1);
  EXPECT_EQ(Text("LRate"), "");
  EXPECT_EQ(Text("LTimeLeft"), "");
}

}  // namespace
}  // namespace duplane
