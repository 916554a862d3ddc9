// Dialogs stay up: a minimised dialog is restored once the state change that
// minimised it has been handled.
#include "ui/dialogs_stay_up.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>

namespace duplane {

DialogsStayUp::DialogsStayUp(QObject* parent) : QObject(parent) {
  QCoreApplication::instance()->installEventFilter(this);
}

DialogsStayUp::~DialogsStayUp() { QCoreApplication::instance()->removeEventFilter(this); }

bool DialogsStayUp::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) {
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (dialog != nullptr && dialog->isWindow() && dialog->isMinimized()) {
      QMetaObject::invokeMethod(
          dialog,
          [dialog = QPointer<QDialog>(dialog)] {
            if (dialog == nullptr || !dialog->isMinimized()) return;
            dialog->setWindowState(dialog->windowState() & ~Qt::WindowMinimized);
            dialog->raise();
            dialog->activateWindow();
          },
          Qt::QueuedConnection);
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace duplane
