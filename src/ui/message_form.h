// The small busy window shown while a long operation runs. It owns the Cancel
// flag: showing the window clears it, its Cancel button sets it, and the
// operation looks at it between steps while it pumps events.
#pragma once

#include "ui/busy_dialog.h"

class QLabel;
class QPushButton;

namespace duplane {

class TMessageForm : public BusyDialog {
  Q_OBJECT

 public:
  explicit TMessageForm(QWidget* parent = nullptr);

  bool cancel() const { return cancel_; }

  // Sets the text of Panel1.
  void SetText(const QString& text);
  QString Text() const;
  // Shows the window modeless and paints it at once.
  void ShowAndRepaint();
  // How whoever showed the window takes it away again. A close by the user
  // (the window manager's close button, Alt+F4, Esc) is a Cancel instead: the
  // operation is still running and the window is its only way out.
  void CloseForm();
  // The Cancel button's work.
  void Button1Click() { cancel_ = true; }

  QPushButton* Button1() const { return button1_; }

 protected:
  void showEvent(QShowEvent* event) override;
  // Escape is Cancel too; only the owner closes the window.
  void keyPressEvent(QKeyEvent* event) override;
  void Cancel() override { Button1Click(); }

 private:
  QLabel* panel1_;
  QPushButton* button1_;
  bool cancel_ = false;
};

}  // namespace duplane
