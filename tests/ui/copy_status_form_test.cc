// The progress window with real widgets offscreen: its cancel flag, a run
// starting blank, and what the engine's setters show.
#include "ui/copy_status_form.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "qt_test_app.h"
#include "ui/path_panel.h"

namespace duplane {
namespace {

class CopyStatusFormTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { TestApp(); }

  QString Text(const char* name) { return form_.findChild<QLabel*>(name)->text(); }
  int Bar(const char* name) { return form_.findChild<QProgressBar*>(name)->value(); }

  TCopyStatusForm form_;
};

TEST_F(CopyStatusFormTest, CancelOnlyRaisesTheFlagAndShowingClearsIt) {
  EXPECT_FALSE(form_.isModal());
  EXPECT_FALSE(form_.windowFlags() & Qt::WindowCloseButtonHint);
  form_.ShowStatus("Copy from Local PC to Remote PC", "Prompt");
  QTest::mouseClick(form_.cancel_button(), Qt::LeftButton);
  EXPECT_TRUE(form_.cancelled());
  EXPECT_TRUE(form_.isVisible());  // the engine closes it when it stops
  form_.ClearCancel();             // "Finish it before stopping?" answered Yes

  // Esc and a close request from the window manager are Cancel as well.
  QTest::keyClick(&form_, Qt::Key_Escape);
  EXPECT_TRUE(form_.cancelled());
  form_.ClearCancel();
  form_.close();
  EXPECT_TRUE(form_.cancelled());
  EXPECT_TRUE(form_.isVisible());

  // A cancel left over from the last run does not stop the next one.
  form_.CloseStatus();
  EXPECT_FALSE(form_.isVisible());
  form_.ShowStatus("Copy from Local PC to Remote PC", "Prompt");
  EXPECT_FALSE(form_.cancelled());
}

TEST_F(CopyStatusFormTest, ShowsTheFileFittedAndEachRunStartsBlank) {
  EXPECT_EQ(Text("LSeq"), "0 of 0");
  EXPECT_EQ(Text("omlabel"), "Prompt");
  form_.ShowStatus("Copy from Local PC to Remote PC", "Never");
  const std::string deep =
      "C:\\PROJECTS\\ARCHIVE\\2019\\CUSTOMERS\\NORTHERN REGION\\INVOICES\\SCANNED\\ORIGINALS\\"
      "HIGH RESOLUTION\\PAGES\\";
  form_.SetFile("INVOICE 0042.PDF", "4 of 17", deep, "D:\\BACKUP\\");
  form_.SetBars(40, 70);
  form_.SetRate(2048, 125);
  EXPECT_EQ(Text("LFile"), " INVOICE 0042.PDF");
  EXPECT_EQ(Text("LSeq"), "4 of 17");
  EXPECT_EQ(Text("LTarget"), " D:\\BACKUP\\");
  const QString source = Text("LSource");
  EXPECT_TRUE(source.contains("...\\") && source.endsWith("\\PAGES\\")) << source.toStdString();
  auto* panel = form_.findChild<PathPanel*>("LSource");
  EXPECT_LE(QFontMetrics(panel->font()).horizontalAdvance(source.mid(1)), panel->width() - 10);
  EXPECT_EQ(Text("LRate"), "2 KB/s");
  EXPECT_EQ(Text("LTimeLeft"), "2:05");

  form_.CloseStatus();
  form_.ShowStatus("Move from Remote PC to Local PC", "Update");
  EXPECT_EQ(form_.windowTitle(), "Move from Remote PC to Local PC");
  EXPECT_EQ(Text("omlabel"), "Update");
  for (const char* name : {"LFile", "LSource", "LTarget", "LRate", "LTimeLeft"}) {
    EXPECT_EQ(Text(name), "") << name;
  }
  EXPECT_EQ(Text("LSeq"), "0 of 0");
  EXPECT_EQ(Bar("ProgressBar1"), 0);
  EXPECT_EQ(Bar("ProgressBar2"), 0);
}

TEST_F(CopyStatusFormTest, BarsStayWithinRange) {
  // Files that grew since gathering can push the engine's figures out of range.
  form_.SetBars(130, -20);
  EXPECT_EQ(Bar("ProgressBar1"), 100);
  EXPECT_EQ(Bar("ProgressBar2"), 0);
}

}  // namespace
}  // namespace duplane
