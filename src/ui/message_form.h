// The small busy window shown while a long operation runs. It owns the Cancel
// flag: showing the window clears it, its Cancel button sets it, and the
// operation looks at it between steps while it pumps events.
#pragma once

#include <QDialog>

class QCloseEvent;

class QLabel;
class QPushButton;

namespace duplane {

class TMessageForm : public QDialog {
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
  // Created with the main window as its parent so that it stays above it, it
  // would also be disabled with it; it is not, as it holds the way out.
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // Escape and a close of the window are Cancel; only the owner closes it.
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QLabel* panel1_;
  QPushButton* button1_;
  bool cancel_ = false;
};

}  // namespace duplane
