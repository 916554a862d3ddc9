// Busy and progress windows: never disabled, closed means cancelled.
#include "ui/busy_dialog.h"

#include <QCloseEvent>
#include <QEvent>

namespace duplane {

void BusyDialog::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::EnabledChange && !isEnabled()) setEnabled(true);
}

void BusyDialog::closeEvent(QCloseEvent* event) {
  Cancel();
  event->ignore();
}

}  // namespace duplane
