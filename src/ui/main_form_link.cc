// The main window's link work: the settings and the port base address they
// choose, Connect, Disconnect and the configuration dialog.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QThread>
#include <QTreeView>
#include <QTreeWidget>

#include "link/link.h"
#include "ui/config_form.h"
#include "ui/link_form.h"
#include "ui/link_session.h"
#include "ui/main_form.h"
#include "ui/main_form_texts.h"
#include "ui/message_boxes.h"
#include "ui/message_form.h"

namespace duplane {
namespace {

namespace text = form1_text;

int pause_percent = 100;

constexpr int kConnectPauseMs = 500;
constexpr int kDisconnectPauseMs = 1000;

}  // namespace

void TForm1::SetPausePercent(int percent) { pause_percent = percent; }

int TForm1::PausePercent() { return pause_percent; }

// The pauses let the Remote Module settle; they block without pumping events.
void TForm1::Pause(int milliseconds) {
  const int ms = milliseconds * pause_percent / 100;
  if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

Link& TForm1::link() { return session_.link(); }

bool TForm1::connected() const { return session_.connected(); }

void TForm1::InstallLinkCallbacks() {
  session_.SetTimeoutHandler([this](const std::string& message) {
    if (boxes_.RetryCancel(QString::fromStdString(message))) return TimeoutAnswer::kRetry;
    // The link layer clears the Connected flag, so every later wait returns at
    // once and the running operation winds down; then the window closes.
    EndProgram();
    return TimeoutAnswer::kCancel;
  });
  // SyncRemote pumps on every pass, which is when the busy window's Cancel
  // button can be pressed; the flag it owns is handed to the link layer.
  session_.SetPumpEvents([this] {
    QApplication::processEvents();
    if (message_form_ != nullptr && session_.layer() != nullptr) {
      session_.layer()->set_cancel(message_form_->cancel());
    }
  });
}

void TForm1::LoadSettings() {
  QSettings store(kSettingsOrganization, kSettingsApplication);
  settings_ = LoadSettingsFrom(store);
  QSize size = this->size();
  if (settings_.main_width > 0) size.setWidth(settings_.main_width);
  if (settings_.main_height > 0) size.setHeight(settings_.main_height);
  // A size saved on a larger screen, or one the controls cannot live in, is
  // made to fit; the remembered size is what the window really has.
  resize(FitToScreen(size));
  remembered_size_ = this->size();
  // Centred at that size, before maximising (a move would undo that).
  CenterOnScreen();
  if (settings_.main_maximized) setWindowState(windowState() | Qt::WindowMaximized);
  SelectPortBase();
}

void TForm1::SaveSettings() {
  QSettings store(kSettingsOrganization, kSettingsApplication);
  Settings s = settings_;
  s.main_width = remembered_size_.width();
  s.main_height = remembered_size_.height();
  s.main_maximized = isMaximized();
  SaveSettingsTo(store, s);
}

void TForm1::SelectPortBase() {
  // A virtual cable has no port address; the Base strings wait, untouched,
  // for a start without it.
  if (session_.over_virtual_cable()) return;
  const auto base = ParsePortBase(settings_.base[settings_.lpt_port - 1]);
  if (base) {
    port_base_ = *base;
    return;
  }
  boxes_.Error(text::kPortConfigError);
  port_base_ = 0x0378;
}

void TForm1::SetLinkMenus(bool is_connected) {
  action("Connect1")->setEnabled(!is_connected);
  action("Disconnect1")->setEnabled(is_connected);
  action("Configure1")->setEnabled(!is_connected);
}

void TForm1::Connect1Click() {
  if (connected() || busy()) return;  // F2 while connected: Connect1 is disabled
  const Operation operation(*this);
  std::string error;
  if (link_form_ == nullptr || !link_form_->OpenPort(port_base_, &error)) {
    boxes_.Error(QString::fromStdString(error));
    return;
  }
  PaneController& remote = Pane(Side::kRemote);
  remote.StartOver();

  PaneControls& rc = remote.controls();
  {
    const QSignalBlocker blocker(rc.page_control);
    rc.page_control->setCurrentIndex(kTreePage);
  }
  // The page-change handler did not run, but the drag rule holds all the
  // same: no drags while a pane shows its tree.
  SetListDragMode();
  rc.page_control->setFocus();

  setEnabled(false);
  session_.set_connected(true);
  message_form_->setWindowTitle(text::kSyncCaption);
  message_form_->SetText(session_.over_virtual_cable()
                             ? QString::fromLatin1(text::kConnectingCable) + text::kConnectingSuffix
                             : QString::fromLatin1(text::kConnectingPrefix) +
                                   QString::number(settings_.lpt_port) + text::kConnectingSuffix);
  message_form_->ShowAndRepaint();
  session_.layer()->set_cancel(false);
  session_.layer()->SyncRemote();
  session_.set_connected(!session_.layer()->cancel());

  if (connected()) {
    rc.dir->SetText(QString());
    SetLinkMenus(true);
    if (settings_.remote_icons) {
      Pause(kConnectPauseMs);
      message_form_->SetText(text::kLoadingIcons);
      message_form_->repaint();
    }
    remote.FillDriveTree();
  }
  Pause(kConnectPauseMs);
  // Enabled before the busy window goes, so the activation can return here.
  setEnabled(true);
  message_form_->CloseForm();
  TakeActivation();  // the busy window had it
}

void TForm1::Disconnect1Click() {
  const Operation operation(*this);
  setEnabled(false);
  message_form_->setWindowTitle(text::kDisconnectCaption);
  message_form_->SetText(text::kDisconnecting);
  message_form_->ShowAndRepaint();
  Pause(kDisconnectPauseMs);
  link().LinkNop();
  setEnabled(true);
  message_form_->CloseForm();
  TakeActivation();
  session_.set_connected(false);
  Pane(Side::kRemote).ShowDisconnected();
  SetLinkMenus(false);
}

void TForm1::Configure1Click() {
  if (config_form_ == nullptr) return;
  // The port test needs the port that the last connection may still hold.
  config_form_->SetBeforeProbe([this] { session_.AttachPort(nullptr, 0, false); });
  config_form_->SetPortItem(settings_.lpt_port - 1);
  for (int i = 0; i < 3; ++i) config_form_->Base(i)->setText(settings_.base[i]);
  config_form_->SysIcons()->setChecked(settings_.remote_icons);
  if (config_form_->exec() != QDialog::Accepted) return;
  settings_.lpt_port = config_form_->PortItem() + 1;
  for (int i = 0; i < 3; ++i) settings_.base[i] = config_form_->Base(i)->text();
  SelectPortBase();
  settings_.remote_icons = config_form_->SysIcons()->isChecked();
}

}  // namespace duplane
