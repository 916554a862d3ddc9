// What the busy window and the progress window have in common: each is shown,
// modeless, while a long operation runs with the main window disabled, and
// each is that operation's only way out. Created with the main window as its
// parent so that it stays above it, such a window would be disabled with it;
// it is not. A close by the user (the window manager's close button, Alt+F4)
// is the window's Cancel; whoever showed it hides it when the work is done.
#pragma once

#include <QDialog>

namespace duplane {

class BusyDialog : public QDialog {
  Q_OBJECT

 public:
  explicit BusyDialog(QWidget* parent)
      : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {}

 protected:
  // The window's Cancel button.
  virtual void Cancel() = 0;

  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
};

}  // namespace duplane
