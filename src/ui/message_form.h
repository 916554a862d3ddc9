// The small busy window shown while a long operation runs. It owns the Cancel
// flag: showing the window clears it, its Cancel button sets it, and the
// operation looks at it between steps while it pumps events.
#pragma once

#include <QDialog>

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

  QPushButton* Button1() const { return button1_; }

 protected:
  void showEvent(QShowEvent* event) override;
  // Escape must not close it; only its owner does.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLabel* panel1_;
  QPushButton* button1_;
  bool cancel_ = false;
};

}  // namespace duplane
