// Keeps the program's dialogs on the screen. Their flags ask for no minimise
// button, but some window managers offer one all the same; a minimised modal
// dialog (or busy window) leaves a main window that takes no input with
// nothing on the screen to answer, so a dialog that gets minimised is brought
// straight back. The main window itself may be minimised as ever.
#pragma once

#include <QObject>

namespace duplane {

class DialogsStayUp : public QObject {
  Q_OBJECT

 public:
  // Watches every window of the application for as long as it lives.
  explicit DialogsStayUp(QObject* parent = nullptr);
  ~DialogsStayUp() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace duplane
