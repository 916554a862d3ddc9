// The main window's frame: settings at start and close, the port base and its
// error box, geometry, menus, help, Connect/Disconnect over a cable with a
// Remote Module thread, and the single-instance rule.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "dialog_answers.h"
#include "ui/help_window.h"
#include "ui/qt_version_check.h"
#include "ui/single_instance.h"
#include "window_fixture.h"

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#endif

namespace duplane {
namespace {

using testing_ui::AnswerFirst;
using testing_ui::EnsureApplication;
using testing_ui::SettingsFolder;
using testing_ui::WhileRunning;
using testing_ui::Windows;
using testing_ui::WindowTest;

const char kPortError[] =
    "Error reading port configuration. Default port address of 0378 will be used.";

class MainFormTest : public WindowTest<> {
 protected:
  std::vector<DriveMapping> Drives() { return {{'C', local_dir_.path().toStdString()}}; }

  QTemporaryDir local_dir_;
};

TEST_F(MainFormTest, FirstStartUsesDefaultsAndCloseWritesAllEightValues) {
  ASSERT_FALSE(settings_.Exists());
  Windows w(Drives());
  TForm1& f = *w.form1;
  EXPECT_TRUE(w.boxes.shown.empty());
  EXPECT_EQ(f.port_base(), 0x0378);
  EXPECT_EQ(f.settings().lpt_port, 1);
  EXPECT_TRUE(f.settings().remote_icons);
  const int dpi = f.logicalDpiX();
  EXPECT_EQ(f.width(), 732 * dpi / 120);
  EXPECT_EQ(f.height(), 477 * dpi / 120);
  EXPECT_EQ(f.windowTitle(), "Talveri's Duplane 1.1");
  const QPoint off_centre =
      f.geometry().center() - QApplication::primaryScreen()->availableGeometry().center();
  EXPECT_LE(off_centre.manhattanLength(), 2);
  EXPECT_FALSE(settings_.Exists());  // nothing is written before the close

  f.show();
  f.close();
  ASSERT_TRUE(settings_.Exists());
  QSettings store(kSettingsOrganization, kSettingsApplication);
  EXPECT_EQ(store.allKeys().size(), 8);
  EXPECT_EQ(settings_.Get("MainWidth"), QString::number(732 * dpi / 120));
  EXPECT_EQ(settings_.Get("MainMaximized"), "0");
  EXPECT_EQ(settings_.Get("LPTPort"), "1");
  EXPECT_EQ(settings_.Get("Base1"), "0378");
  EXPECT_EQ(settings_.Get("Base2"), "0278");
  EXPECT_EQ(settings_.Get("Base3"), "03BC");
  EXPECT_EQ(settings_.Get("RemoteIcons"), "1");
}

TEST_F(MainFormTest, BaseAddressOfTheChosenPortOnly) {
  struct Case {
    const char* port;
    const char* base2;
    std::uint16_t expected;
    bool error_box;
  };
  const Case cases[] = {{"2", "2F8", 0x2F8, false},   {"2", "", 0x378, true},
                        {"2", "0x278", 0x378, true},  {"2", " 278", 0x378, true},
                        {"2", "10378", 0x378, false}, {"2", "100000278", 0x378, true},
                        {"1", "zzz", 0x378, false},   {"7", "2F8", 0x378, false}};
  for (const Case& c : cases) {
    SettingsFolder folder;
    folder.Set("LPTPort", c.port);
    folder.Set("Base2", c.base2);
    Windows w(Drives());
    EXPECT_EQ(w.form1->port_base(), c.expected) << c.port << " " << c.base2;
    const std::vector<std::string> expected_boxes =
        c.error_box ? std::vector<std::string>{kPortError} : std::vector<std::string>{};
    EXPECT_EQ(w.boxes.Texts(), expected_boxes) << c.base2;
    // The string goes back unchanged, however it read.
    w.form1->close();
    EXPECT_EQ(folder.Get("Base2"), c.base2);
  }
}

TEST_F(MainFormTest, NegativeWidthKeepsTheDesignWidthWhichIsSaved) {
  settings_.Set("MainWidth", "-5");
  settings_.Set("MainHeight", "500");
  Windows w(Drives());
  const int design = 732 * w.form1->logicalDpiX() / 120;
  EXPECT_EQ(w.form1->width(), design);
  EXPECT_EQ(w.form1->height(), 500);
  w.form1->close();
  EXPECT_EQ(settings_.Get("MainWidth"), QString::number(design));
  EXPECT_EQ(settings_.Get("MainHeight"), "500");
}

TEST_F(MainFormTest, MaximisedAtCloseKeepsTheLastNormalSize) {
  {
    Windows w(Drives());
    w.form1->resize(700, 450);
    w.form1->show();
    QApplication::processEvents();
    w.form1->showMaximized();
    QApplication::processEvents();
    ASSERT_TRUE(w.form1->isMaximized());
    w.form1->close();
  }
  EXPECT_EQ(settings_.Get("MainMaximized"), "1");
  EXPECT_EQ(settings_.Get("MainWidth"), "700");
  EXPECT_EQ(settings_.Get("MainHeight"), "450");
  Windows again(Drives());
  EXPECT_TRUE(again.form1->windowState() & Qt::WindowMaximized);
  EXPECT_EQ(again.form1->remembered_size(), QSize(700, 450));
}

TEST_F(MainFormTest, SavedSizesTheScreenCannotHoldOpenWholeAndCentred) {
  const QRect screen = QApplication::primaryScreen()->availableGeometry();
  struct Case {
    const char* width;
    const char* height;
  };
  // Larger than any screen, smaller than the window's controls, and one of each.
  for (const Case& c : {Case{"100000", "100000"}, Case{"10", "10"}, Case{"100000", "10"}}) {
    SettingsFolder folder;
    folder.Set("MainWidth", c.width);
    folder.Set("MainHeight", c.height);
    Windows w(Drives());
    TForm1& f = *w.form1;
    f.show();
    QApplication::processEvents();
    EXPECT_TRUE(screen.contains(f.frameGeometry())) << c.width << "x" << c.height;
    const QPoint off_centre = f.frameGeometry().center() - screen.center();
    EXPECT_LE(off_centre.manhattanLength(), 2) << c.width << "x" << c.height;
    EXPECT_GE(f.width(), f.minimumSizeHint().width());
    EXPECT_GE(f.height(), f.minimumSizeHint().height());
    // What is saved is what was shown, never the impossible size.
    f.close();
    EXPECT_EQ(folder.Get("MainWidth"), QString::number(f.width()));
    EXPECT_EQ(folder.Get("MainHeight"), QString::number(f.height()));
  }
}

TEST_F(MainFormTest, ResizeSplitsThePanesEvenly) {
  Windows w(Drives());
  w.form1->show();
  w.form1->resize(801, 500);
  QApplication::processEvents();
  auto* splitter = w.form1->findChild<QSplitter*>("Splitter1");
  auto* left = w.form1->findChild<QWidget*>("LeftPanel");
  ASSERT_NE(splitter, nullptr);
  ASSERT_NE(left, nullptr);
  const int client = w.form1->centralWidget()->width();
  EXPECT_EQ(left->width(), (client - splitter->handleWidth()) / 2);
  w.form1->close();
}

TEST_F(MainFormTest, MenusCaptionsShortcutsAndStartStates) {
  Windows w(Drives());
  TForm1& f = *w.form1;
  struct Item {
    const char* name;
    const char* caption;
    const char* shortcut;
    bool enabled;
  };
  const Item items[] = {
      {"Connect1", "&Connect", "F2", true},      {"Disconnect1", "&Disconnect", "F3", false},
      {"Configure1", "C&onfigure...", "", true}, {"Exit1", "E&xit", "", true},
      {"Contents1", "&Contents", "F1", true},    {"About1", "&About...", "", true}};
  for (const Item& i : items) {
    QAction* a = f.action(i.name);
    ASSERT_NE(a, nullptr) << i.name;
    EXPECT_EQ(a->text(), i.caption);
    EXPECT_EQ(a->shortcut().toString(), i.shortcut);
    EXPECT_EQ(a->isEnabled(), i.enabled) << i.name;
  }
  EXPECT_EQ(f.findChild<QMenu*>("Link1")->title(), "Lin&k");
  EXPECT_EQ(f.findChild<QMenu*>("Help1")->title(), "&Help");
  EXPECT_EQ(f.LocalPC1()->title(), "&Local PC");
  EXPECT_EQ(f.RemotePC1()->title(), "&Remote PC");
  EXPECT_FALSE(f.LocalPC1()->isEnabled());
  EXPECT_FALSE(f.RemotePC1()->isEnabled());
  EXPECT_EQ(f.findChild<QLabel*>("LocalHeader")->text(), "Local PC");
  EXPECT_TRUE(f.findChild<QLabel*>("RemoteHeader")->font().bold());
  EXPECT_EQ(f.findChild<QLabel*>("RemoteDir")->text(), "<Disconnected>");
  auto* pages = f.findChild<QTabWidget*>("RemotePageControl");
  EXPECT_EQ(pages->tabText(0), "Tree");
  EXPECT_EQ(pages->tabText(1), "Files");
  EXPECT_EQ(pages->currentIndex(), 0);
}

TEST_F(MainFormTest, HelpOpensAtContentsAndMenuTopicsAndClosesWithTheWindow) {
  Windows w(Drives());
  w.form1->show();
  w.form1->Contents1Click();
  HelpWindow* help = w.form1->help_window();
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(help->CurrentPage(), "contents.html");
  const std::pair<int, const char*> topics[] = {
      {400, "link.html"}, {500, "localpc.html"}, {600, "remotepc.html"}, {700, "help.html"}};
  for (const auto& [context, page] : topics) {
    w.form1->ShowHelpContext(context);
    EXPECT_EQ(help->CurrentPage(), page);
  }
  w.form1->close();
  EXPECT_FALSE(help->isVisible());
}

TEST_F(MainFormTest, QtVersionCheck) {
  EXPECT_TRUE(QtVersionSufficient(qVersion()));
  EXPECT_TRUE(QtVersionSufficient("6.2.0"));
  EXPECT_TRUE(QtVersionSufficient("7.0.1"));
  EXPECT_FALSE(QtVersionSufficient("6.1.9"));
  EXPECT_FALSE(QtVersionSufficient("5.15.2"));
  EXPECT_FALSE(QtVersionSufficient("garbage"));
  EXPECT_FALSE(QtVersionSufficient(nullptr));
  EXPECT_TRUE(QtVersionMessage().startsWith(
      "This application requires version 4.70 or greater of COMCTL32.DLL. Visit the Talveri "
      "web site at "));
  EXPECT_TRUE(QtVersionMessage().endsWith(" for more information."));
}

TEST_F(MainFormTest, ConfigureOkTakesTheValuesUnvalidatedAndCancelNothing) {
  Windows w(Drives());
  TForm1& f = *w.form1;
  AnswerFirst<TConfigForm>(
      [](TConfigForm& config) {
        config.SetPortItem(1);
        config.Base(1)->setText("xyz");
        config.SysIcons()->setChecked(false);
        config.reject();
      },
      [&] { f.Configure1Click(); });
  EXPECT_EQ(f.settings().lpt_port, 1);
  EXPECT_TRUE(f.settings().remote_icons);

  AnswerFirst<TConfigForm>(
      [](TConfigForm& config) {
        EXPECT_EQ(config.Base(2)->text(), "03BC");
        config.SetPortItem(1);
        config.Base(1)->setText("xyz");
        config.SysIcons()->setChecked(false);
        config.OkButton()->click();
      },
      [&] { f.Configure1Click(); });
  EXPECT_EQ(f.settings().lpt_port, 2);
  EXPECT_EQ(f.settings().base[1], "xyz");
  EXPECT_FALSE(f.settings().remote_icons);
  EXPECT_EQ(f.port_base(), 0x0378);
  EXPECT_EQ(w.boxes.Texts(), std::vector<std::string>{kPortError});
  w.form1->close();
  EXPECT_EQ(settings_.Get("Base2"), "xyz");
  EXPECT_EQ(settings_.Get("LPTPort"), "2");
}

class ConnectTest : public MainFormTest {
 protected:
  void SetUp() override { testing_ui::MakeDirs(remote_dir_.path(), {"Docs", "Apps/Tools"}); }
  // The window with a Remote Module on the cable, or nobody when not `served`.
  void Open(bool served) {
    MainFormTest::Open(
        {local_dir_.path().toStdString(), served ? remote_dir_.path().toStdString() : ""});
  }
  // Code 0 reached the Remote Module.
  bool ModuleSawDisconnect() {
    return QTest::qWaitFor([this] { return w_->remote->Logged("disconnected"); }, 2000);
  }
  QTemporaryDir remote_dir_;
};

TEST_F(ConnectTest, CancelDuringSynchronisationLeavesEverythingDisconnected) {
  Open(/*served=*/false);  // nobody answers: only Cancel ends the wait
  bool busy_seen = false;
  WhileRunning([&] { form().Connect1Click(); },
               [&] {
                 if (busy_seen || !w_->message_form->isVisible()) return;
                 busy_seen = true;
                 EXPECT_EQ(w_->message_form->windowTitle(), "Synchronize with Remote Module");
                 EXPECT_EQ(w_->message_form->Text(), "Connecting via LPT1 to Remote PC ...");
                 EXPECT_FALSE(form().isEnabled());
                 w_->message_form->Button1()->click();
               });
  EXPECT_TRUE(busy_seen);
  EXPECT_FALSE(form().connected());
  EXPECT_TRUE(form().isEnabled());
  EXPECT_FALSE(w_->message_form->isVisible());
  EXPECT_TRUE(form().action("Connect1")->isEnabled());
  EXPECT_FALSE(form().action("Disconnect1")->isEnabled());
  EXPECT_TRUE(form().action("Configure1")->isEnabled());
  EXPECT_EQ(form().findChild<QLabel*>("RemoteDir")->text(), "<Disconnected>");
  EXPECT_EQ(form().findChild<QTreeWidget*>("RemoteTree")->topLevelItemCount(), 0);
  EXPECT_TRUE(form().Pane(Side::kRemote).record().list_stale);
  EXPECT_TRUE(w_->boxes.shown.empty());
}

TEST_F(ConnectTest, ConnectThenDisconnect) {
  Open(/*served=*/true);
  TForm1& f = form();
  f.findChild<QTabWidget*>("RemotePageControl")->setCurrentIndex(1);  // ignored while disconnected
  ASSERT_TRUE(w_->Connect());
  EXPECT_TRUE(w_->boxes.shown.empty());
  EXPECT_EQ(f.findChild<QTabWidget*>("RemotePageControl")->currentIndex(), 0);
  EXPECT_FALSE(f.action("Connect1")->isEnabled());
  EXPECT_TRUE(f.action("Disconnect1")->isEnabled());
  EXPECT_FALSE(f.action("Configure1")->isEnabled());
  EXPECT_EQ(f.findChild<QLabel*>("RemoteDir")->text(), "");
  auto* tree = f.findChild<QTreeWidget*>("RemoteTree");
  ASSERT_EQ(tree->topLevelItemCount(), 1);
  EXPECT_EQ(tree->topLevelItem(0)->text(0), "C:\\");
  EXPECT_FALSE(tree->topLevelItem(0)->icon(0).isNull());  // from the Remote Module's strip
  EXPECT_FALSE(w_->message_form->isVisible());
  EXPECT_TRUE(f.isEnabled());

  f.Disconnect1Click();
  EXPECT_FALSE(f.connected());
  EXPECT_EQ(tree->topLevelItemCount(), 0);
  EXPECT_EQ(f.findChild<QLabel*>("RemoteDir")->text(), "<Disconnected>");
  EXPECT_EQ(f.findChild<QLabel*>("RemoteStatus")->text(), "");
  EXPECT_TRUE(f.action("Connect1")->isEnabled());
  EXPECT_FALSE(f.action("Disconnect1")->isEnabled());
  EXPECT_TRUE(f.action("Configure1")->isEnabled());
  EXPECT_EQ(w_->message_form->windowTitle(), "Synchronize");
  EXPECT_EQ(w_->message_form->Text(), "Disconnecting from Remote PC ...");
  EXPECT_TRUE(ModuleSawDisconnect());
}

TEST_F(ConnectTest, WithoutRemoteIconsTheTreeHasNoImages) {
  settings_.Set("RemoteIcons", "0");
  Open(/*served=*/true);
  ASSERT_TRUE(w_->Connect());
  auto* tree = form().findChild<QTreeWidget*>("RemoteTree");
  ASSERT_EQ(tree->topLevelItemCount(), 1);
  EXPECT_TRUE(tree->topLevelItem(0)->icon(0).isNull());
}

TEST_F(ConnectTest, ClosingWhileConnectedSavesSettingsThenDisconnects) {
  Open(/*served=*/true);
  ASSERT_TRUE(w_->Connect());
  bool saved_before_disconnect = false;
  // The busy window appears once Disconnect starts; by then the file exists.
  QObject::connect(w_->message_form.get(), &QWidget::windowTitleChanged, [&](const QString& t) {
    if (t == "Synchronize") saved_before_disconnect = settings_.Exists();
  });
  form().close();
  EXPECT_TRUE(saved_before_disconnect);
  EXPECT_FALSE(form().connected());
  EXPECT_TRUE(ModuleSawDisconnect());
}

TEST_F(ConnectTest, CableTimeOutOffersRetryAndCancelEndsTheProgram) {
  Open(/*served=*/true);
  ASSERT_TRUE(w_->Connect());
  w_->remote.reset();          // the Remote PC goes silent
  w_->clock.set_racing(true);  // the 10-second time-out comes after a few polls

  w_->boxes.retry_answers = {true, false};
  form().Pane(Side::kRemote).ExpandItem(controls(Side::kRemote).tree->topLevelItem(0));
  ASSERT_EQ(w_->boxes.shown.size(), 2u);
  EXPECT_EQ(w_->boxes.shown[0].kind, "RetryCancel");
  EXPECT_EQ(w_->boxes.shown[0].text, w_->boxes.shown[1].text);
  EXPECT_NE(w_->boxes.shown[0].text.find(" timeout: connection lost"), std::string::npos);
  EXPECT_FALSE(form().connected());
  // The program ends once control is back in its event loop, after the
  // window closed and saved the settings.
  EXPECT_TRUE(QTest::qWaitFor([&] { return w_->terminations > 0; }, 10000));
  EXPECT_EQ(w_->terminations, 1);
  EXPECT_FALSE(form().isVisible());
  EXPECT_TRUE(settings_.Exists());
}

TEST_F(ConnectTest, PortThatCannotBeOpenedIsReportedAndTheProgramStaysDisconnected) {
  // No cable and a base address where no parallel port sits.
  settings_.Set("Base1", "0AB0");
  Windows w(Drives());
  w.form1->Connect1Click();
  EXPECT_FALSE(w.form1->connected());
  ASSERT_EQ(w.boxes.shown.size(), 1u);
  EXPECT_EQ(w.boxes.shown[0].kind, "Error");
  EXPECT_FALSE(w.boxes.shown[0].text.empty());
  EXPECT_TRUE(w.form1->action("Connect1")->isEnabled());
  w.form1->close();
}

// The windows as the program builds them when started with --cable PATH.
struct CableWindows : testing_ui::WindowsGround, ProgramWindows {
  CableWindows(std::vector<DriveMapping> drives, const QString& cable)
      : WindowsGround(std::move(drives)), ProgramWindows(session, boxes, cable) {
    form1->SetTerminateHandler([] {});
  }
};

TEST_F(MainFormTest, OverAVirtualCableNoLptPortIsCheckedOrNamed) {
  settings_.Set("Base1", "not hex");
  QTemporaryDir cable_dir;
  CableWindows w(Drives(), cable_dir.filePath("cable"));
  TForm1& f = *w.form1;
  EXPECT_TRUE(w.boxes.shown.empty());
  f.show();
  // Nobody on the other end: the busy window's Cancel ends the wait.
  bool busy_seen = false;
  WhileRunning([&] { f.Connect1Click(); },
               [&] {
                 if (busy_seen || !w.message_form->isVisible()) return;
                 busy_seen = true;
                 EXPECT_EQ(w.message_form->Text(), "Connecting via virtual cable to Remote PC ...");
                 w.message_form->Button1()->click();
               });
  EXPECT_TRUE(busy_seen);
  EXPECT_FALSE(f.connected());
  AnswerFirst<TConfigForm>(
      [](TConfigForm& config) {
        config.Base(0)->setText("still not hex");
        config.OkButton()->click();
      },
      [&] { f.Configure1Click(); });
  EXPECT_TRUE(w.boxes.shown.empty());
  f.close();
  // The settings for a later start without the cable are kept as typed.
  EXPECT_EQ(settings_.Get("Base1"), "still not hex");
}

// A window manager may offer to minimise a dialog whatever its flags ask for;
// a minimised modal dialog would leave a main window that takes no input and
// nothing on the screen to answer. Dialogs come back at once; the main window
// may be minimised as ever.
TEST_F(MainFormTest, DialogsComeBackWhenMinimisedTheMainWindowDoesNot) {
  Windows w(Drives());
  w.form1->show();
  for (QWidget* dialog :
       {static_cast<QWidget*>(w.about_form.get()), static_cast<QWidget*>(w.message_form.get())}) {
    dialog->show();
    QApplication::processEvents();
    dialog->setWindowState(dialog->windowState() | Qt::WindowMinimized);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog->isMinimized(); }, 10000))
        << dialog->objectName().toStdString();
    EXPECT_TRUE(dialog->isVisible());
    dialog->hide();
  }
  // Configure and About have a dialog border: nothing to resize or maximise.
  for (QWidget* dialog :
       {static_cast<QWidget*>(w.about_form.get()), static_cast<QWidget*>(w.config_form.get())}) {
    dialog->show();
    QApplication::processEvents();
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << dialog->objectName().toStdString();
    dialog->hide();
    EXPECT_FALSE(dialog->windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  }
  w.form1->setWindowState(w.form1->windowState() | Qt::WindowMinimized);
  QApplication::processEvents();
  EXPECT_TRUE(w.form1->isMinimized());
  w.form1->close();
}

// The real boxes show names as they are: a file may well be called <b>x.txt.
TEST(MessageBoxesTest, TextsArePlainAndTheBoxesAreDialogs) {
  EnsureApplication();
  const QString text = QStringLiteral("Error opening <b>x.txt on Remote PC");
  QtMessageBoxes boxes;
  const std::vector<std::function<void()>> kinds = {
      [&] { boxes.Error(text); }, [&] { boxes.Information(text); },
      [&] { boxes.RetryCancel(text); }, [&] { boxes.YesNoCancelAll(text); },
      [&] { boxes.YesNo(text); }};
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    AnswerFirst<QMessageBox>(
        [&](QMessageBox& box) {
          EXPECT_EQ(box.textFormat(), Qt::PlainText) << i;
          EXPECT_EQ(box.text(), text) << i;
          EXPECT_FALSE(box.windowFlags() &
                       (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint))
              << i;
          box.reject();
        },
        kinds[i]);
  }
}

QString InstanceName(const char* what) {
  return QStringLiteral("duplane-test-%1-%2").arg(QCoreApplication::applicationPid()).arg(what);
}

TEST(SingleInstanceTest, SecondInstanceRestoresTheFirstAndEnds) {
  EnsureApplication();
  const QString name = InstanceName("restore");
  // Minimised from the normal state it comes back normal; minimised from the
  // maximised state it comes back maximised, as the window manager's own
  // restore does.
  for (bool maximised : {false, true}) {
    QWidget window;
    maximised ? window.showMaximized() : window.show();
    window.setWindowState(window.windowState() | Qt::WindowMinimized);
    QApplication::processEvents();
    SingleInstance first(name);
    ASSERT_FALSE(first.EarlierInstanceRuns());
    first.SetWindow(&window);
    bool activated = false;
    QObject::connect(&first, &SingleInstance::Activated, [&] { activated = true; });

    SingleInstance second(name);
    EXPECT_TRUE(second.EarlierInstanceRuns());
    EXPECT_TRUE(QTest::qWaitFor([&] { return activated; }, 10000));
    EXPECT_FALSE(window.windowState() & Qt::WindowMinimized);
    EXPECT_EQ(window.isMaximized(), maximised);
  }
}

TEST(SingleInstanceTest, TwoStartedAtOnceLeaveOneRunning) {
  EnsureApplication();
  const QString name = InstanceName("race");
  // The later one asked before the earlier one listened, so nobody answered;
  // then the earlier one took the name. The later one must not take it away.
  SingleInstance later(name);
  ASSERT_FALSE(later.AskEarlierInstance());
  SingleInstance earlier(name);
  ASSERT_FALSE(earlier.EarlierInstanceRuns());
  int activations = 0;
  QObject::connect(&earlier, &SingleInstance::Activated, [&] { ++activations; });
  EXPECT_FALSE(later.Listen());
  EXPECT_TRUE(QTest::qWaitFor([&] { return activations == 1; }, 10000));
  // The earlier one still holds the name: a third start reaches it.
  SingleInstance third(name);
  EXPECT_TRUE(third.EarlierInstanceRuns());
  EXPECT_TRUE(QTest::qWaitFor([&] { return activations == 2; }, 10000));
}

#ifdef Q_OS_UNIX
TEST(SingleInstanceTest, ASocketNobodyAnswersOnIsTakenOver) {
  EnsureApplication();
  const QString name = InstanceName("stale");
  // What a crashed instance leaves behind: the socket file, bound by nobody.
  const QByteArray file = QDir(QDir::tempPath()).filePath(name).toLocal8Bit();
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(static_cast<std::size_t>(file.size()), sizeof(address.sun_path));
  std::memcpy(address.sun_path, file.constData(), static_cast<std::size_t>(file.size()));
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  close(fd);
  ASSERT_TRUE(QFile::exists(QString::fromLocal8Bit(file)));

  SingleInstance first(name);
  EXPECT_FALSE(first.EarlierInstanceRuns());
  bool activated = false;
  QObject::connect(&first, &SingleInstance::Activated, [&] { activated = true; });
  SingleInstance second(name);
  EXPECT_TRUE(second.EarlierInstanceRuns());
  EXPECT_TRUE(QTest::qWaitFor([&] { return activated; }, 10000));
}
#endif

}  // namespace
}  // namespace duplane
