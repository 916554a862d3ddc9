// Rename and create directory from the real window on both sides: this PC's
// folder, and a Remote Module's folder over a cable. Names are asked through a
// scripted prompt; the messages come from the window's scripted boxes, and
// every outcome is checked on disk as well as in the list.
#include <unistd.h>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <deque>
#include <optional>

#include "dialog_answers.h"
#include "support/sides.h"
#include "ui/pane_list_model.h"
#include "ui/prompt_dialog.h"
#include "window_fixture.h"

namespace duplane {
namespace {

using testing_ui::AnswerFirst;
using testing_ui::EnsureApplication;
using testing_ui::MakeDirs;
using testing_ui::MakeFile;
using testing_ui::SettingsFolder;
using testing_ui::Windows;
using testing_ui::WindowTest;

// Answers prompts from a script (Cancel once it runs out) and records them.
class ScriptedPrompts : public Prompts {
 public:
  struct Asked {
    QString caption;
    QString prompt;
    QString text;
  };
  std::optional<QString> Ask(const QString& caption, const QString& prompt,
                             const QString& text) override {
    asked.push_back({caption, prompt, text});
    if (answers.empty()) return std::nullopt;
    std::optional<QString> answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::deque<std::optional<QString>> answers;
  std::vector<Asked> asked;
};

QString SideCaption(Side side) { return side == Side::kLocal ? "Local PC" : "Remote PC"; }

// One folder served as drive C: to the side under test; the parameter says
// which side (true: this PC).
class RenameCreateTest : public WindowTest<::testing::TestWithParam<Side>> {
 protected:
  void SetUp() override {
    MakeDirs(root(), {"olddir/inner", "sub"});
    MakeFile(root(), "readme.txt", 11);
    MakeFile(root(), "a.txt", 3);
    MakeFile(root(), "b.txt", 5);
    if (side() == Side::kLocal) {
      Open({root().toStdString(), "", /*cable=*/false});
    } else {
      Open({other_.path().toStdString(), root().toStdString()});
    }
    form().SetPrompts(&prompts_);
    if (side() == Side::kRemote) {
      ASSERT_TRUE(w_->Connect());
    }
  }

  Side side() const { return GetParam(); }
  QString root() const { return root_.path(); }
  TPane& pane() { return form().Pane(side()).record(); }

  // The side's tree chooses its home drive and the page "Files" reads it, as
  // a user's first visit does.
  void ShowFiles() {
    form().Pane(side()).SelectHomeDrive();
    controls(side()).page_control->setCurrentIndex(1);
    ASSERT_EQ(pane().Path, "C:\\");
    // Connect marks the Remote tree stale; start both sides from a tree that
    // is up to date so each command's own mark shows.
    pane().tree_stale = false;
  }
  void Enter(const char* dir) { GoTo(side(), dir); }
  QStringList Names() { return WindowTest::Names(side()); }
  void Select(const QStringList& names) { WindowTest::Select(side(), names); }
  bool OnDisk(const char* name) const { return QFileInfo::exists(QDir(root()).filePath(name)); }
  QStringList DiskNames() const {
    return QDir(root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
  }

  QTemporaryDir root_;
  QTemporaryDir other_;
  ScriptedPrompts prompts_;
};

TEST_P(RenameCreateTest, SelectionMustBeOneEntryOtherThanTheSpecialRows) {
  ShowFiles();
  Enter("sub");
  ASSERT_EQ(Names().mid(0, 2), (QStringList{"..", "\\"}));
  Select({".."});
  form().RenameOnPane(side());
  Select({"\\"});
  form().RenameOnPane(side());
  Enter("..");
  Select({});
  form().RenameOnPane(side());
  Select({"a.txt", "b.txt"});
  form().RenameOnPane(side());
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         "Cannot rename <parent> or <root> entries",
                         "Cannot rename <parent> or <root> entries",
                         ("No file selected on " + SideCaption(side())).toStdString(),
                         ("Multiple files selected on " + SideCaption(side())).toStdString()}));
  for (const auto& shown : w_->boxes.shown) EXPECT_EQ(shown.kind, "Error");
  EXPECT_TRUE(prompts_.asked.empty());
}

TEST_P(RenameCreateTest, ChangeOfLetterCaseAloneIsCarriedOut) {
  ShowFiles();
  Select({"readme.txt"});
  prompts_.answers = {QString("README.TXT")};
  form().RenameOnPane(side());
  ASSERT_EQ(prompts_.asked.size(), 1u);
  EXPECT_EQ(prompts_.asked[0].caption, "Rename Function");
  EXPECT_EQ(prompts_.asked[0].prompt, "Rename readme.txt to:");
  EXPECT_EQ(prompts_.asked[0].text, "readme.txt");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(DiskNames().contains("README.TXT"));
  EXPECT_FALSE(DiskNames().contains("readme.txt"));
  EXPECT_TRUE(Names().contains("README.TXT"));
  EXPECT_FALSE(pane().tree_stale);  // a file is not in the tree
}

TEST_P(RenameCreateTest, DirectoryRenameRefillsAndMarksTheTreeFileRenameDoesNot) {
  ShowFiles();
  ASSERT_FALSE(pane().tree_stale);
  Select({"a.txt"});
  prompts_.answers = {QString("c.txt")};
  form().RenameOnPane(side());
  EXPECT_FALSE(pane().tree_stale);
  EXPECT_TRUE(Names().contains("c.txt"));
  EXPECT_FALSE(Names().contains("a.txt"));

  Select({"olddir"});
  prompts_.answers = {QString("newdir")};
  form().RenameOnPane(side());
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(pane().tree_stale);
  EXPECT_TRUE(Names().contains("newdir"));
  EXPECT_TRUE(OnDisk("newdir/inner"));
  EXPECT_FALSE(OnDisk("olddir"));

  // The tree catches up when its page shows: the new name is a node there.
  controls(side()).page_control->setCurrentIndex(0);
  EXPECT_FALSE(pane().tree_stale);
  QTreeWidgetItem* drive = controls(side()).tree->topLevelItem(0);
  form().Pane(side()).ExpandItem(drive);
  QStringList nodes;
  for (int i = 0; i < drive->childCount(); ++i) nodes << drive->child(i)->text(0);
  EXPECT_TRUE(nodes.contains("newdir"));
  EXPECT_FALSE(nodes.contains("olddir"));
}

TEST_P(RenameCreateTest, RenameOntoAnExistingNameChangesNothing) {
  ShowFiles();
  // Appears on disk after the fill: the list must not be read again.
  MakeFile(root(), "late.txt", 1);
  Select({"a.txt"});
  prompts_.answers = {QString("b.txt")};
  form().RenameOnPane(side());
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Error renaming a.txt to b.txt"});
  EXPECT_EQ(QFile(QDir(root()).filePath("b.txt")).size(), 5);
  EXPECT_EQ(QFile(QDir(root()).filePath("a.txt")).size(), 3);
  EXPECT_FALSE(Names().contains("late.txt"));
  EXPECT_FALSE(pane().tree_stale);
}

TEST_P(RenameCreateTest, CancelledOrUnchangedDoesNothing) {
  ShowFiles();
  prompts_.answers = {std::nullopt, QString("a.txt")};
  for (int i = 0; i < 2; ++i) {
    Select({"a.txt"});
    form().RenameOnPane(side());
  }
  EXPECT_EQ(prompts_.asked.size(), 2u);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(OnDisk("a.txt"));

  prompts_.answers = {std::nullopt};
  const QStringList before = DiskNames();
  form().CreateDirOnPane(side());
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(DiskNames(), before);
  EXPECT_FALSE(pane().tree_stale);
}

// A name of nothing or of spaces is no name; one whose wire form is longer
// than a list entry can carry would be made and then never listed.
TEST_P(RenameCreateTest, EmptySpacesOrTooLongNamesAreRefusedWithAMessage) {
  ShowFiles();
  const QString too_long(90, QLatin1Char(':'));  // 90 bytes here, 270 on the wire
  prompts_.answers = {QString(""), QString("   "), too_long};
  for (int i = 0; i < 3; ++i) {
    Select({"a.txt"});
    form().RenameOnPane(side());
  }
  prompts_.answers = {QString(""), QString(" "), "sub\\" + too_long};
  const QStringList before = DiskNames();
  for (int i = 0; i < 3; ++i) form().CreateDirOnPane(side());
  const std::string empty = "A name cannot be empty or only spaces";
  const std::string long_text = ("Name too long for " + SideCaption(side()) + ": ").toStdString();
  EXPECT_EQ(Boxes(),
            (std::vector<std::string>{empty, empty, long_text + too_long.toStdString(), empty,
                                      empty, long_text + "sub\\" + too_long.toStdString()}));
  EXPECT_EQ(DiskNames(), before);
  EXPECT_FALSE(pane().tree_stale);
}

// Names with characters a Windows name cannot hold: listed under their
// private-use twins, renamed away and back, and typed with the real character
// (which is mapped, not refused: "a:b" becomes a file named a:b).
TEST_P(RenameCreateTest, NamesWithAColonAreListedRenamedAndTyped) {
  MakeFile(root(), "12:00.log", 4);
  ShowFiles();
  const QString twin = QString::fromUtf8(
      "12\xEF\x80\xBA"
      "00.log");
  ASSERT_TRUE(Names().contains(twin));
  Select({twin});
  prompts_.answers = {QString("noon.log")};
  form().RenameOnPane(side());
  EXPECT_EQ(prompts_.asked.back().text, twin);
  EXPECT_TRUE(OnDisk("noon.log"));
  EXPECT_FALSE(OnDisk("12:00.log"));

  Select({"noon.log"});
  prompts_.answers = {QString("12:00.log")};
  form().RenameOnPane(side());
  EXPECT_TRUE(OnDisk("12:00.log"));
  EXPECT_TRUE(Names().contains(twin));
  EXPECT_FALSE(Names().contains("noon.log"));

  Select({"a.txt"});
  prompts_.answers = {QString("a:b")};
  form().RenameOnPane(side());
  prompts_.answers = {QString("x:y")};
  form().CreateDirOnPane(side());
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(OnDisk("a:b"));
  EXPECT_FALSE(OnDisk("a.txt"));
  EXPECT_TRUE(QFileInfo(QDir(root()).filePath("x:y")).isDir());
  EXPECT_TRUE(
      Names().contains(QString::fromUtf8("a\xEF\x80\xBA"
                                         "b")));
  EXPECT_TRUE(
      Names().contains(QString::fromUtf8("x\xEF\x80\xBA"
                                         "y")));
}

TEST_P(RenameCreateTest, CreateMakesOneLevelInTheCurrentDirectory) {
  ShowFiles();
  Enter("sub");
  MakeFile(root(), "sub/late.txt", 1);  // on disk after the fill
  prompts_.answers = {QString("a\\b"), QString("made")};
  form().CreateDirOnPane(side());
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Error creating a\\b"});
  EXPECT_FALSE(Names().contains("late.txt"));  // not refilled after a failure
  EXPECT_FALSE(pane().tree_stale);
  form().CreateDirOnPane(side());
  ASSERT_EQ(prompts_.asked.size(), 2u);
  EXPECT_EQ(prompts_.asked[0].caption, "Create Directory");
  EXPECT_EQ(prompts_.asked[0].prompt, "Enter name for new directory:");
  EXPECT_EQ(prompts_.asked[0].text, "");
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_FALSE(OnDisk("sub/a"));
  EXPECT_TRUE(QFileInfo(QDir(root()).filePath("sub/made")).isDir());
  EXPECT_TRUE(Names().contains("made"));
  EXPECT_TRUE(pane().tree_stale);
}

// A typed path that passes through a link would create or move an entry
// wherever the link leads; the link itself may still be renamed.
TEST_P(RenameCreateTest, TypedPathsThroughALinkAreRefused) {
  MakeDirs(root(), {"elsewhere"});
  ASSERT_EQ(symlink("../elsewhere", QDir(root()).filePath("sub/lnk").toLocal8Bit().constData()), 0);
  ShowFiles();
  prompts_.answers = {QString("sub\\lnk\\made"), QString("sub\\lnk\\moved.txt"),
                      QString("renamed")};
  form().CreateDirOnPane(side());
  Select({"a.txt"});
  form().RenameOnPane(side());
  const std::string side_name = SideCaption(side()).toStdString();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         "Error creating sub\\lnk\\made\rsub\\lnk on " + side_name + " is a link",
                         "Error renaming a.txt to sub\\lnk\\moved.txt\rsub\\lnk on " + side_name +
                             " is a link"}));
  EXPECT_TRUE(QDir(QDir(root()).filePath("elsewhere")).isEmpty());
  EXPECT_TRUE(OnDisk("a.txt"));
  Enter("sub");
  Select({"lnk"});
  form().RenameOnPane(side());
  EXPECT_EQ(Boxes().size(), 2u);
  EXPECT_TRUE(QFileInfo(QDir(root()).filePath("sub/renamed")).isSymLink());
}

TEST_P(RenameCreateTest, CreateBeforeADirectoryWasChosen) {
  // Local: the tree has not had the focus yet. Remote: right after Connect.
  ASSERT_TRUE(pane().Path.empty());
  form().CreateDirOnPane(side());
  EXPECT_EQ(Boxes(), std::vector<std::string>{
                         ("No current directory set on " + SideCaption(side())).toStdString()});
  EXPECT_TRUE(prompts_.asked.empty());
}

TEST_P(RenameCreateTest, MenuEntriesOfTheSideRunTheCommandsOnThatSide) {
  ShowFiles();
  // 3 and 4 in the side menus, 1 and 2 in the pop-up menus.
  const QString menus[2] = {side() == Side::kLocal ? "LocalPC1" : "RemotePC1",
                            side() == Side::kLocal ? "PopupMenu1" : "PopupMenu2"};
  const QString numbers[2] = {side() == Side::kLocal ? "3" : "4",
                              side() == Side::kLocal ? "1" : "2"};
  for (int m = 0; m < 2; ++m) {
    auto* menu = form().findChild<QMenu*>(menus[m]);
    ASSERT_NE(menu, nullptr) << menus[m].toStdString();
    auto* rename = form().findChild<QAction*>("Rename" + numbers[m]);
    auto* create = form().findChild<QAction*>("CreateDir" + numbers[m]);
    ASSERT_NE(rename, nullptr);
    ASSERT_NE(create, nullptr);
    EXPECT_TRUE(menu->actions().contains(rename));
    EXPECT_TRUE(menu->actions().contains(create));
    EXPECT_EQ(rename->text(), "&Rename");
    EXPECT_EQ(create->text(), "Crea&te Dir");
    Select({});
    rename->trigger();
    EXPECT_EQ(Boxes().back(), ("No file selected on " + SideCaption(side())).toStdString());
    prompts_.answers = {QString("from") + numbers[m]};
    create->trigger();
    EXPECT_TRUE(OnDisk(("from" + numbers[m]).toLatin1().constData()));
  }
}

INSTANTIATE_TEST_SUITE_P(BothSides, RenameCreateTest, BothSides(), SideParamName);

// The Remote side's commands while no link stands: the information box alone.
TEST(RenameCreateDisconnectedTest, RemoteCommandsSayNotConnected) {
  EnsureApplication();
  SettingsFolder settings;
  QTemporaryDir local;
  Windows w({{'C', local.path().toStdString()}});
  ScriptedPrompts prompts;
  w.form1->SetPrompts(&prompts);
  for (const char* name : {"Rename4", "CreateDir4", "Rename2", "CreateDir2"}) {
    w.form1->findChild<QAction*>(name)->trigger();
  }
  ASSERT_EQ(w.boxes.shown.size(), 4u);
  for (const auto& shown : w.boxes.shown) {
    EXPECT_EQ(shown.kind, "Information");
    EXPECT_EQ(shown.text, "Not connected to Remote PC");
  }
  EXPECT_TRUE(prompts.asked.empty());
}

// What a widget's tip shows, markup or not.
QString ToolTipText(const QWidget& widget) {
  QTextDocument shown;
  shown.setHtml(widget.toolTip());
  return shown.toPlainText();
}

// The real prompt box, answered as a user would.
class PromptDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureApplication(); }
  // Runs `act` on the box once it is up, then returns what Ask answered.
  std::optional<QString> AskWith(const QString& start, std::function<void(PromptDialog&)> act) {
    return AnswerFirst<PromptDialog>(
        [&](PromptDialog& dialog) {
          seen_selected_ = dialog.edit()->selectedText();
          act(dialog);
        },
        [&] { return DialogPrompts().Ask("Rename Function", "Rename a.txt to:", start); });
  }
  QString seen_selected_;
};

TEST_F(PromptDialogTest, LooksAsAskedAndAnswersOnlyOk) {
  PromptDialog dialog("Rename Function", "Rename <a&b>.txt to:", "<a&b>.txt");
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Rename Function");
  EXPECT_EQ(dialog.findChild<QLabel*>("Prompt")->text(), "Rename <a&b>.txt to:");
  EXPECT_EQ(dialog.edit()->selectedText(), "<a&b>.txt");
  EXPECT_EQ(dialog.ok_button()->text(), "OK");
  EXPECT_TRUE(dialog.ok_button()->isDefault());
  EXPECT_EQ(dialog.cancel_button()->text(), "Cancel");
  dialog.edit()->setText(QString(300, 'x'));
  EXPECT_EQ(dialog.edit()->text().size(), 255);

  // Typing replaces the selected name; Enter is OK.
  EXPECT_EQ(AskWith("a.txt",
                    [](PromptDialog& d) {
                      QTest::keyClicks(d.edit(), "new.txt");
                      QTest::keyClick(d.edit(), Qt::Key_Return);
                    }),
            std::optional<QString>("new.txt"));
  EXPECT_EQ(seen_selected_, "a.txt");
  EXPECT_EQ(AskWith("a.txt", [](PromptDialog& d) { QTest::keyClick(d.edit(), Qt::Key_Escape); }),
            std::nullopt);
  EXPECT_EQ(AskWith("a.txt", [](PromptDialog& d) { d.cancel_button()->click(); }), std::nullopt);
}

TEST_F(PromptDialogTest, ALongestNameKeepsTheBoxAndItsButtonsOnTheScreen) {
  const QString name = QString(250, 'n') + ".txt";
  const QString prompt = "Rename " + name + " to:";
  PromptDialog dialog("Rename Function", prompt, name);
  dialog.show();
  QApplication::processEvents();
  const QRect screen = dialog.screen()->availableGeometry();
  EXPECT_LE(dialog.frameGeometry().width(), screen.width());
  for (QPushButton* button : {dialog.ok_button(), dialog.cancel_button()}) {
    EXPECT_TRUE(dialog.rect().contains(button->geometry())) << button->objectName().toStdString();
  }
  // The prompt still says what is renamed, the whole of it is a tip away, and
  // the edit holds the whole name.
  auto* label = dialog.findChild<QLabel*>("Prompt");
  EXPECT_TRUE(label->text().startsWith("Rename nnn"));
  EXPECT_TRUE(label->text().endsWith(".txt to:"));
  EXPECT_EQ(ToolTipText(*label), prompt);
  EXPECT_EQ(dialog.edit()->text(), name);
}

}  // namespace
}  // namespace duplane
