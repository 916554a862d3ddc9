// Busy window: caption, one sunken text panel and a Cancel button that only
// raises the flag; whoever showed the window closes it.
#include "ui/message_form.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace duplane {

TMessageForm::TMessageForm(QWidget* parent) : BusyDialog(parent) {
  setObjectName("MessageForm");
  setWindowTitle(QStringLiteral("Message"));
  setModal(false);
  setFixedSize(430, 86);

  panel1_ = new QLabel(QStringLiteral("Message"), this);
  panel1_->setObjectName("Panel1");
  panel1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel1_->setAlignment(Qt::AlignCenter);
  panel1_->setTextFormat(Qt::PlainText);
  panel1_->setFixedSize(401, 25);

  button1_ = new QPushButton(QStringLiteral("Cancel"), this);
  button1_->setObjectName("Button1");
  button1_->setAutoDefault(false);
  connect(button1_, &QPushButton::clicked, this, &TMessageForm::Button1Click);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panel1_, 0, Qt::AlignHCenter);
  layout->addWidget(button1_, 0, Qt::AlignHCenter);
}

void TMessageForm::SetText(const QString& text) { panel1_->setText(text); }

QString TMessageForm::Text() const { return panel1_->text(); }

void TMessageForm::ShowAndRepaint() {
  show();
  raise();
  repaint();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TMessageForm::CloseForm() { hide(); }

void TMessageForm::showEvent(QShowEvent* event) {
  cancel_ = false;
  QDialog::showEvent(event);
}

void TMessageForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    Button1Click();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace duplane
