// Main window construction and its frame: menus, the two panes and their
// splitter, geometry, help, and the work done when the window closes.
#include "ui/main_form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include "ui/about_form.h"
#include "ui/help_window.h"
#include "ui/link_session.h"
#include "ui/main_form_texts.h"
#include "ui/message_boxes.h"
#include "ui/qt_version_check.h"

namespace duplane {
namespace {

namespace text = form1_text;

// The window's design size at 120 pixels per inch.
constexpr int kDesignWidth = 732;
constexpr int kDesignHeight = 477;
constexpr int kDesignDpi = 120;

const char kHelpContextProperty[] = "HelpContext";

}  // namespace

TForm1::TForm1(LinkSession& session, MessageBoxes& boxes, QWidget* parent)
    : QMainWindow(parent), session_(session), boxes_(boxes) {
  setObjectName("Form1");
  setWindowTitle(text::kCaption);
  terminate_ = [] { QCoreApplication::exit(0); };

  BuildMenus();
  BuildPanes();
  BuildPaneCommands();
  const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
  resize(kDesignWidth * dpi / kDesignDpi, kDesignHeight * dpi / kDesignDpi);

  // FormCreate.
  CheckQtVersion();
  help_window_ = new HelpWindow(nullptr);
  LoadSettings();
  search_slots_.FreeAll();
  InstallLinkCallbacks();
  Pane(Side::kLocal).FillDriveTree();
}

TForm1::~TForm1() {
  // The child widgets go first, while the pane records and everything else
  // their models and signal handlers read still exist; left to QWidget's own
  // destructor they would outlive this object's members.
  const QObjectList children = this->children();
  for (QObject* child : children) {
    if (child->isWidgetType()) delete child;
  }
  delete help_window_;
}

TForm1::Operation::Operation(TForm1& form) : form_(form) { form_.LongOperationBegins(); }

TForm1::Operation::~Operation() { form_.LongOperationEnds(); }

void TForm1::LongOperationBegins() { ++operations_; }

void TForm1::LongOperationEnds() {
  if (--operations_ == 0 && ending_) {
    // Queued, so the operation's callers unwind before the window goes.
    QMetaObject::invokeMethod(this, &TForm1::FinishEnding, Qt::QueuedConnection);
  }
}

void TForm1::TakeActivation() {
  activateWindow();
  // The window system answers the request later; it is taken now, before the
  // operation's caller goes on (only the window system's own events run).
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TForm1::EndProgram() {
  ending_ = true;
  QMetaObject::invokeMethod(this, &TForm1::FinishEnding, Qt::QueuedConnection);
}

void TForm1::FinishEnding() {
  if (busy() || ended_) return;
  ended_ = true;
  close();
  if (terminate_) terminate_();
}

QSize TForm1::FitToScreen(QSize wanted) const {
  // The layout's minimum decides anyway once the window is shown; taken now
  // (with the style sheets applied), the window is centred at the size it
  // will have.
  ensurePolished();
  wanted = wanted.expandedTo(minimumSizeHint());
  if (QScreen* screen = QApplication::primaryScreen()) {
    wanted = wanted.boundedTo(screen->availableGeometry().size());
  }
  return wanted;
}

void TForm1::CenterOnScreen() {
  if (QScreen* screen = QApplication::primaryScreen()) {
    QRect frame(QPoint(), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
    frame_unknown_ = true;
  }
}

void TForm1::CenterFrameOnScreen() {
  const QRect frame = frameGeometry();
  const QRect client = geometry();
  QScreen* screen = QApplication::primaryScreen();
  // Until the window manager has framed the window the two are the same.
  if (frame == client || screen == nullptr) return;
  frame_unknown_ = false;
  if (isMaximized()) return;
  const QRect available = screen->availableGeometry();
  const QSize margins = frame.size() - client.size();
  resize(size().boundedTo(available.size() - margins));
  QRect framed(QPoint(), size() + margins);
  framed.moveCenter(available.center());
  move(framed.topLeft());
}

void TForm1::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  if (frame_unknown_) CenterFrameOnScreen();
}

void TForm1::CheckQtVersion() {
  if (QtVersionSufficient(qVersion())) return;
  boxes_.Error(QtVersionMessage());
  terminate_requested_ = true;
}

void TForm1::BuildMenus() {
  auto add_action = [this](QMenu* menu, const char* name, const char* caption,
                           QKeySequence shortcut, void (TForm1::*handler)()) {
    QAction* a = menu->addAction(QString::fromLatin1(caption));
    a->setObjectName(name);
    if (!shortcut.isEmpty()) a->setShortcut(shortcut);
    connect(a, &QAction::triggered, this, handler);
    return a;
  };
  auto add_menu = [this](const char* name, const char* caption, int context) {
    QMenu* menu = menuBar()->addMenu(QString::fromLatin1(caption));
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    menu->setProperty(kHelpContextProperty, context);
    menu->installEventFilter(this);
    return menu;
  };

  QMenu* link1 = add_menu("Link1", text::kLinkMenu, kHelpContextLink);
  add_action(link1, "Connect1", text::kConnect, QKeySequence(Qt::Key_F2), &TForm1::Connect1Click);
  add_action(link1, "Disconnect1", text::kDisconnect, QKeySequence(Qt::Key_F3),
             &TForm1::Disconnect1Click)
      ->setEnabled(false);
  link1->addSeparator();
  add_action(link1, "Configure1", text::kConfigure, QKeySequence(), &TForm1::Configure1Click);
  link1->addSeparator();
  QAction* exit1 = link1->addAction(QString::fromLatin1(text::kExit));
  exit1->setObjectName("Exit1");
  connect(exit1, &QAction::triggered, this, &QWidget::close);

  local_pc_menu_ = add_menu("LocalPC1", text::kLocalPcMenu, kHelpContextLocalPc);
  remote_pc_menu_ = add_menu("RemotePC1", text::kRemotePcMenu, kHelpContextRemotePc);
  local_pc_menu_->setEnabled(false);
  remote_pc_menu_->setEnabled(false);

  QMenu* help1 = add_menu("Help1", text::kHelpMenu, kHelpContextHelp);
  add_action(help1, "Contents1", text::kContents, QKeySequence(Qt::Key_F1),
             &TForm1::Contents1Click);
  add_action(help1, "About1", text::kAbout, QKeySequence(), &TForm1::About1Click);
}

void TForm1::BuildPanes() {
  auto* central = new QWidget(this);
  central->setObjectName("Form1Client");
  splitter1_ = new QSplitter(Qt::Horizontal, central);
  splitter1_->setObjectName("Splitter1");
  splitter1_->setChildrenCollapsible(false);
  PaneHost& host = *this;
  for (Side side : {Side::kLocal, Side::kRemote}) {
    panes_[SideIndex(side)] = std::make_unique<PaneController>(side, host, splitter1_);
    splitter1_->addWidget(Controls(side).panel);
    BuildListMenus(side);
  }
  auto* layout = new QHBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter1_);
  setCentralWidget(central);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
    // F1 inside an open menu shows that menu's topic.
    const QVariant context = watched->property(kHelpContextProperty);
    if (context.isValid()) {
      if (auto* menu = qobject_cast<QMenu*>(watched)) menu->close();
      ShowHelpContext(context.toInt());
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

QAction* TForm1::action(const char* name) const { return findChild<QAction*>(name); }

void TForm1::Contents1Click() { help_window_->ShowContents(); }

void TForm1::ShowHelpContext(int context) { help_window_->ShowContext(context); }

void TForm1::About1Click() {
  if (about_form_ != nullptr) about_form_->exec();
}

void TForm1::ShowNotConnected() { boxes_.Information(text::kNotConnected); }

void TForm1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}

void TForm1::FormResize() {
  if (!isMaximized() && !isFullScreen()) remembered_size_ = size();
  // Every resize splits the window evenly between the two panes.
  const int client = centralWidget()->width();
  const int handle = splitter1_->handleWidth();
  const int left = (client - handle) / 2;
  splitter1_->setSizes({left, client - handle - left});
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // FormShow: each "  Filespec:" panel is as high as its edit.
  for (Side side : {Side::kLocal, Side::kRemote}) {
    Controls(side).filespec_panel->setFixedHeight(Controls(side).filespec->sizeHint().height());
  }
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (busy()) {
    event->ignore();
    return;
  }
  FormCloseQuery();
  event->accept();
}

void TForm1::FormCloseQuery() {
  help_window_->close();
  SaveSettings();
  if (connected()) Disconnect1Click();
}

}  // namespace duplane
