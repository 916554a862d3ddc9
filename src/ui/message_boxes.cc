// Real message boxes. Lines inside a message are separated by a carriage
// return, which Qt does not break on, so it is turned into a line feed here.
#include "ui/message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

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

PromptAnswer QtMessageBoxes::YesNoCancelAll(const QString& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), Displayed(text),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, Owner());
  QPushButton* all = box.addButton(QStringLiteral("&All"), QMessageBox::YesRole);
  box.setDefaultButton(QMessageBox::Yes);
  // Esc and the title bar's close button both give the escape button.
  box.setEscapeButton(QMessageBox::Cancel);
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (clicked == all) return PromptAnswer::kAll;
  if (clicked == box.button(QMessageBox::Yes)) return PromptAnswer::kYes;
  if (clicked == box.button(QMessageBox::No)) return PromptAnswer::kNo;
  return PromptAnswer::kCancel;
}

bool QtMessageBoxes::YesNo(const QString& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), Displayed(text),
                  QMessageBox::Yes | QMessageBox::No, Owner());
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::No);
  box.exec();
  return box.clickedButton() == box.button(QMessageBox::Yes);
}

}  // namespace duplane
