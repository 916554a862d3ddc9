// Copy/move dialog: layout, setup from the engine, and the options after Ok.
#include "ui/copy_move_form.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/path_panel.h"
#include "ui/radio_group.h"

namespace duplane {

namespace {
constexpr int kDirPanelWidth = 440;
}

TCopyMoveForm::TCopyMoveForm(QWidget* parent) : QDialog(parent) {
  setObjectName("CopyMoveForm");
  setModal(true);

  source_dir_ = new PathPanel(this);
  source_dir_->setObjectName("SourceDir");
  source_dir_->setFixedWidth(kDirPanelWidth);
  target_dir_ = new PathPanel(this);
  target_dir_->setObjectName("TargetDir");
  target_dir_->setFixedWidth(kDirPanelWidth);
  auto* dirs = new QGridLayout;
  dirs->addWidget(new QLabel(QStringLiteral("Source:"), this), 0, 0);
  dirs->addWidget(source_dir_, 0, 1);
  dirs->addWidget(new QLabel(QStringLiteral("Target:"), this), 1, 0);
  dirs->addWidget(target_dir_, 1, 1);
  dirs->setColumnStretch(2, 1);

  review_ = new QueueReview(this);

  overwrite_ =
      new RadioGroup(QStringLiteral("Overwrite Mode"),
                     {QStringLiteral("Prompt"), QStringLiteral("Always"), QStringLiteral("Never"),
                      QStringLiteral("Freshen"), QStringLiteral("Update")},
                     1, this);
  overwrite_->setObjectName("Overwrite");

  move_options_ = new QGroupBox(QStringLiteral("Move Options"), this);
  move_options_->setObjectName("MoveOptions");
  move_delete_ = new RadioGroup(
      QStringLiteral("Delete source file"),
      {QStringLiteral("Recycle Bin"), QStringLiteral("Normal"), QStringLiteral("Wipe")}, 3,
      move_options_);
  move_delete_->setObjectName("MoveDelete");
  remove_empty_ = new QCheckBox(QStringLiteral("Delete empty directories"), move_options_);
  remove_empty_->setObjectName("RemoveEmpty");
  remove_empty_->setChecked(true);
  auto* move_layout = new QVBoxLayout(move_options_);
  move_layout->addWidget(move_delete_);
  move_layout->addWidget(remove_empty_);
  move_layout->addStretch(1);

  // Beyond the original dialog: on by default, so an old target is never lost
  // to a failed copy unless the user asks for the direct writes.
  safe_copy_ = new QCheckBox(
      QStringLiteral("Safe copy: write to a temporary file first, resume interrupted copies"),
      this);
  safe_copy_->setObjectName("SafeCopy");
  safe_copy_->setChecked(true);

  button1_ = new QPushButton(QStringLiteral("Ok"), this);
  button1_->setObjectName("Button1");
  button1_->setDefault(true);
  connect(button1_, &QPushButton::clicked, this, &QDialog::accept);
  button2_ = new QPushButton(QStringLiteral("Cancel"), this);
  button2_->setObjectName("Button2");
  connect(button2_, &QPushButton::clicked, this, &QDialog::reject);  // Esc rejects too

  auto* options = new QHBoxLayout;
  options->addWidget(overwrite_);
  options->addWidget(move_options_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(button1_);
  buttons->addWidget(button2_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(dirs);
  layout->addWidget(review_, 1);
  layout->addLayout(options);
  layout->addWidget(safe_copy_);
  layout->addLayout(buttons);
  resize(540, 520);
}

void TCopyMoveForm::Setup(const CopyMoveSetup& setup, TransferQueue& queue) {
  setWindowTitle(QString::fromStdString(setup.caption));
  source_dir_->SetPath(setup.source_dir);
  target_dir_->SetPath(setup.target_dir);
  // Disabled, the move's choices keep their values: a copy still reads the
  // delete mode for an abandoned partial target.
  move_delete_->setEnabled(setup.move_options_enabled);
  remove_empty_->setEnabled(setup.move_options_enabled);
  review_->SetQueue(&queue);
}

CopyMoveOptions TCopyMoveForm::Options() const {
  CopyMoveOptions options;
  options.overwrite = overwrite_->ItemIndex();
  options.overwrite_text = overwrite_->ItemText().toStdString();
  options.delete_mode = move_delete_->ItemIndex();
  options.remove_empty = remove_empty_->isChecked();
  options.safe_copy = safe_copy_->isChecked();
  return options;
}

bool TCopyMoveForm::Run(const CopyMoveSetup& setup, TransferQueue& queue,
                        CopyMoveOptions* options) {
  Setup(setup, queue);
  const bool ok = exec() == QDialog::Accepted;
  // The queue outlives this call only as the engine's; the dialog lets go of it.
  review_->SetQueue(nullptr);
  if (ok && options != nullptr) *options = Options();
  return ok;
}

void TCopyMoveForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  review_->Reload();
  button1_->setFocus(Qt::OtherFocusReason);
}

}  // namespace duplane
