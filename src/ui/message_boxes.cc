// Real message boxes. Lines inside a message are separated by a carriage
// return, which Qt does not break on, so it is turned into a line feed here.
// The text is plain, never markup: the names in it are the user's files, and
// a file may well be called <b>x.txt.
#include "ui/message_boxes.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

namespace duplane {
namespace {

QString Displayed(QString text) { return text.replace(QChar('\r'), QChar('\n')); }

QWidget* Owner() { return QApplication::activeWindow(); }

// A one-line message makes a box narrower than its title bar needs, and the
// window manager then cuts "Information" down to "Inf...ion". A spacer across
// the box's grid keeps it wide enough for the title beside the frame's own
// buttons.
void KeepTitleReadable(QMessageBox& box, const QString& title) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  constexpr int kFrameButtonsRoom = 160;
  const int width = QFontMetrics(box.font()).horizontalAdvance(title) * 3 / 2 + kFrameButtonsRoom;
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                grid->rowCount(), 0, 1, grid->columnCount());
}

class Box : public QMessageBox {
 public:
  Box(Icon icon, const char* title, const QString& text, StandardButtons buttons)
      : QMessageBox(icon, QString::fromLatin1(title), Displayed(text), buttons, Owner()) {
    setTextFormat(Qt::PlainText);
    KeepTitleReadable(*this, windowTitle());
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
