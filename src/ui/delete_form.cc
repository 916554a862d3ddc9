// Delete dialog: layout, caption and the options after Ok.
#include "ui/delete_form.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/radio_group.h"

namespace duplane {

TDeleteForm::TDeleteForm(QWidget* parent) : QDialog(parent) {
  setObjectName("DeleteForm");
  setModal(true);

  review_ = new QueueReview(this);

  delete_mode_ = new RadioGroup(
      QStringLiteral("Delete mode"),
      {QStringLiteral("Recycle Bin"), QStringLiteral("Normal"), QStringLiteral("Wipe")}, 3, this);
  delete_mode_->setObjectName("DeleteMode");
  remove_empty_ = new QCheckBox(QStringLiteral("Delete empty directories"), this);
  remove_empty_->setObjectName("RemoveEmpty");
  remove_empty_->setChecked(true);

  // Neither button is the dialog's default, nor may Qt promote one to it: an
  // auto-default button becomes the default the moment the focus leaves the
  // buttons, and Enter in the list would then delete. Enter presses the button
  // that has the focus (see keyPressEvent), which is Cancel when the dialog opens.
  button1_ = new QPushButton(QStringLiteral("Ok"), this);
  button1_->setObjectName("Button1");
  button1_->setAutoDefault(false);
  connect(button1_, &QPushButton::clicked, this, &QDialog::accept);
  button2_ = new QPushButton(QStringLiteral("Cancel"), this);
  button2_->setObjectName("Button2");
  button2_->setAutoDefault(false);
  connect(button2_, &QPushButton::clicked, this, &QDialog::reject);  // Esc rejects too

  auto* options = new QHBoxLayout;
  options->addWidget(delete_mode_);
  options->addWidget(remove_empty_);
  options->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(button1_);
  buttons->addWidget(button2_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(review_, 1);
  layout->addLayout(options);
  layout->addLayout(buttons);
  resize(540, 420);
}

void TDeleteForm::Setup(const std::string& caption, TransferQueue& queue) {
  setWindowTitle(QString::fromStdString(caption));
  review_->SetQueue(&queue);
}

DeleteOptions TDeleteForm::Options() const {
  DeleteOptions options;
  options.delete_mode = delete_mode_->ItemIndex();
  options.remove_empty = remove_empty_->isChecked();
  return options;
}

bool TDeleteForm::Run(const std::string& caption, TransferQueue& queue, DeleteOptions* options) {
  Setup(caption, queue);
  const bool ok = exec() == QDialog::Accepted;
  review_->SetQueue(nullptr);
  if (ok && options != nullptr) *options = Options();
  return ok;
}

void TDeleteForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  review_->Reload();
  button2_->setFocus(Qt::OtherFocusReason);
}

void TDeleteForm::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) button->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace duplane
