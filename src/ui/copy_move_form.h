// TCopyMoveForm: the copy and move confirmation dialog. It shows the gathered
// transfer queue for review with its counts and "Unqueue selected", and asks
// for the overwrite mode and, for a move, how the source files go. Created once
// with the main window, it keeps the user's last choices between runs.
#pragma once

#include <QDialog>

#include "transfer/transfer_ui.h"
#include "ui/queue_review.h"

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace duplane {

class PathPanel;
class RadioGroup;
class TransferQueue;

class TCopyMoveForm : public QDialog {
  Q_OBJECT

 public:
  explicit TCopyMoveForm(QWidget* parent = nullptr);

  // Applies `setup`, shows the dialog modally over `queue` and, when the user
  // answers Ok, writes the choices to `options`. True for Ok; closing the
  // dialog in any other way is Cancel and leaves `options` as it was.
  bool Run(const CopyMoveSetup& setup, TransferQueue& queue, CopyMoveOptions* options);

  // The steps of Run, for callers that show the dialog themselves.
  void Setup(const CopyMoveSetup& setup, TransferQueue& queue);
  CopyMoveOptions Options() const;

  // Where "Cannot unqueue directory ..." is reported.
  void SetInformationBox(QueueReview::InformationFn show) {
    review_->SetInformationBox(std::move(show));
  }

  QueueReview* review() const { return review_; }
  PathPanel* source_dir() const { return source_dir_; }
  PathPanel* target_dir() const { return target_dir_; }
  RadioGroup* overwrite() const { return overwrite_; }
  RadioGroup* move_delete() const { return move_delete_; }
  QCheckBox* remove_empty() const { return remove_empty_; }
  QCheckBox* safe_copy() const { return safe_copy_; }
  QPushButton* ok_button() const { return button1_; }
  QPushButton* cancel_button() const { return button2_; }

 protected:
  // FormShow: fills the list and the counts and puts the focus on Ok.
  void showEvent(QShowEvent* event) override;

 private:
  PathPanel* source_dir_;
  PathPanel* target_dir_;
  QueueReview* review_;
  RadioGroup* overwrite_;
  QGroupBox* move_options_;
  RadioGroup* move_delete_;
  QCheckBox* remove_empty_;
  QCheckBox* safe_copy_;
  QPushButton* button1_;
  QPushButton* button2_;
};

}  // namespace duplane
