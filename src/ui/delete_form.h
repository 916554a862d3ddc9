// TDeleteForm: the delete confirmation dialog. It shows the gathered queue for
// review like the copy/move dialog and asks for the delete mode. The focus
// starts on Cancel, so Enter in a freshly opened dialog deletes nothing.
// Created once with the main window, it keeps the user's last choices.
#pragma once

#include <QDialog>
#include <string>

#include "transfer/transfer_ui.h"
#include "ui/queue_review.h"

class QCheckBox;
class QPushButton;

namespace duplane {

class RadioGroup;
class TransferQueue;

class TDeleteForm : public QDialog {
  Q_OBJECT

 public:
  explicit TDeleteForm(QWidget* parent = nullptr);

  // Sets the caption, shows the dialog modally over `queue` and, for Ok,
  // writes the choices to `options`. True for Ok.
  bool Run(const std::string& caption, TransferQueue& queue, DeleteOptions* options);

  void Setup(const std::string& caption, TransferQueue& queue);
  DeleteOptions Options() const;

  void SetInformationBox(QueueReview::InformationFn show) {
    review_->SetInformationBox(std::move(show));
  }

  QueueReview* review() const { return review_; }
  RadioGroup* delete_mode() const { return delete_mode_; }
  QCheckBox* remove_empty() const { return remove_empty_; }
  QPushButton* ok_button() const { return button1_; }
  QPushButton* cancel_button() const { return button2_; }

 protected:
  // FormShow: fills the list and the counts and puts the focus on Cancel.
  void showEvent(QShowEvent* event) override;
  // Enter presses the focused button and does nothing elsewhere.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QueueReview* review_;
  RadioGroup* delete_mode_;
  QCheckBox* remove_empty_;
  QPushButton* button1_;
  QPushButton* button2_;
};

}  // namespace duplane
