// Real message boxes. Lines inside a message are separated by a carriage
// return, which Qt does not break on, so it is turned into a line feed here.
#include "ui/message_boxes.h"

#include <QApplication>
#include <QMessageBox>

namespace duplane {
namespace {

QString Displayed(QString text) { return text.replace(QChar('\r'), QChar('\n')); }

QWidget* Owner() { return QApplication::activeWindow(); }

}  // namespace

void QtMessageBoxes::Error(const QString& text) {
  QMessageBox::critical(Owner(), QStringLiteral("Error"), Displayed(text));
}

void QtMessageBoxes::Information(const QString& text) {
  QMessageBox::information(Owner(), QStringLiteral("Information"), Displayed(text));
}

bool QtMessageBoxes::RetryCancel(const QString& text) {
  return QMessageBox::critical(Owner(), QStringLiteral("Error"), Displayed(text),
                               QMessageBox::Retry | QMessageBox::Cancel,
                               QMessageBox::Retry) == QMessageBox::Retry;
}

}  // namespace duplane
