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
                  QMessageBox::NoButton, Owner());
  // One role for all four keeps them in the order the question reads them;
  // Qt would otherwise group All with Yes.
  QPushButton* yes = box.addButton(QMessageBox::tr("&Yes"), QMessageBox::ActionRole);
  QPushButton* no = box.addButton(QMessageBox::tr("&No"), QMessageBox::ActionRole);
  QPushButton* cancel = box.addButton(QMessageBox::tr("Cancel"), QMessageBox::ActionRole);
  QPushButton* all = box.addButton(QStringLiteral("&All"), QMessageBox::ActionRole);
  box.setDefaultButton(yes);
  // Esc and the title bar's close button both give the escape button.
  box.setEscapeButton(cancel);
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (clicked == yes) return PromptAnswer::kYes;
  if (clicked == no) return PromptAnswer::kNo;
  if (clicked == all) return PromptAnswer::kAll;
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
