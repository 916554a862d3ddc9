// Real message boxes. Lines inside a message are separated by a carriage
// return, which Qt does not break on, so it is turned into a line feed here.
// The text is plain, never markup: the names in it are the user's files, and
// a file may well be called <b>x.txt.
#include "ui/message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace duplane {
namespace {

QString Displayed(QString text) { return text.replace(QChar('\r'), QChar('\n')); }

QWidget* Owner() { return QApplication::activeWindow(); }

class Box : public QMessageBox {
 public:
  Box(Icon icon, const char* title, const QString& text, StandardButtons buttons)
      : QMessageBox(icon, QString::fromLatin1(title), Displayed(text), buttons, Owner()) {
    setTextFormat(Qt::PlainText);
  }
};

}  // namespace

void QtMessageBoxes::Error(const QString& text) {
  Box box(QMessageBox::Critical, "Error", text, QMessageBox::Ok);
  box.exec();
}

void QtMessageBoxes::Information(const QString& text) {
  Box box(QMessageBox::Information, "Information", text, QMessageBox::Ok);
  box.exec();
}

bool QtMessageBoxes::RetryCancel(const QString& text) {
  Box box(QMessageBox::Critical, "Error", text, QMessageBox::Retry | QMessageBox::Cancel);
  box.setDefaultButton(QMessageBox::Retry);
  box.setEscapeButton(QMessageBox::Cancel);
  box.exec();
  return box.clickedButton() == box.button(QMessageBox::Retry);
}

PromptAnswer QtMessageBoxes::YesNoCancelAll(const QString& text) {
  Box box(QMessageBox::Question, "Confirm", text, QMessageBox::NoButton);
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
  Box box(QMessageBox::Question, "Confirm", text, QMessageBox::Yes | QMessageBox::No);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::No);
  box.exec();
  return box.clickedButton() == box.button(QMessageBox::Yes);
}

}  // namespace duplane
