// Progress window: layout and the setters the copy engine drives.
#include "ui/copy_status_form.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "transfer/transfer_rate.h"
#include "ui/path_panel.h"

namespace duplane {

namespace {

constexpr int kPanelWidth = 380;
const char kNoCount[] = "0 of 0";

QProgressBar* NewBar(const char* name, QWidget* parent) {
  auto* bar = new QProgressBar(parent);
  bar->setObjectName(QString::fromLatin1(name));
  bar->setRange(0, 100);
  bar->setValue(0);
  return bar;
}

QLabel* NewLabel(const char* name, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

TCopyStatusForm::TCopyStatusForm(QWidget* parent) : BusyDialog(parent) {
  setObjectName("CopyStatusForm");
  setModal(false);

  lfile_ = new PathPanel(this);
  lfile_->setObjectName("LFile");
  lfile_->setFixedWidth(kPanelWidth - 90);
  lseq_ = NewLabel("LSeq", QString::fromLatin1(kNoCount), this);
  lseq_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lseq_->setFixedWidth(90);
  lsource_ = new PathPanel(this);
  lsource_->setObjectName("LSource");
  lsource_->setFixedWidth(kPanelWidth);
  ltarget_ = new PathPanel(this);
  ltarget_->setObjectName("LTarget");
  ltarget_->setFixedWidth(kPanelWidth);
  omlabel_ = NewLabel("omlabel", QStringLiteral("Prompt"), this);
  progress_bar1_ = NewBar("ProgressBar1", this);
  progress_bar2_ = NewBar("ProgressBar2", this);
  lrate_ = NewLabel("LRate", QString(), this);
  ltime_left_ = NewLabel("LTimeLeft", QString(), this);

  auto* file_row = new QHBoxLayout;
  file_row->setSpacing(0);
  file_row->addWidget(lfile_);
  file_row->addWidget(lseq_);

  auto* rate_row = new QHBoxLayout;
  rate_row->addWidget(lrate_, 1);
  rate_row->addWidget(new QLabel(QStringLiteral("Time left:"), this));
  rate_row->addWidget(ltime_left_, 1);

  auto* grid = new QGridLayout;
  int row = 0;
  auto add_row = [&](const QString& caption, QWidget* widget, QLayout* sub = nullptr) {
    grid->addWidget(new QLabel(caption, this), row, 0);
    if (widget != nullptr) grid->addWidget(widget, row, 1);
    if (sub != nullptr) grid->addLayout(sub, row, 1);
    ++row;
  };
  add_row(QStringLiteral("File:"), nullptr, file_row);
  add_row(QStringLiteral("Source:"), lsource_);
  add_row(QStringLiteral("Target:"), ltarget_);
  add_row(QStringLiteral("Overwrite mode:"), omlabel_);
  add_row(QStringLiteral("This file:"), progress_bar1_);
  add_row(QStringLiteral("All files:"), progress_bar2_);
  add_row(QStringLiteral("Rate:"), nullptr, rate_row);

  button1_ = new QPushButton(QStringLiteral("Cancel"), this);
  button1_->setObjectName("Button1");
  connect(button1_, &QPushButton::clicked, this, &TCopyStatusForm::Button1Click);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(button1_, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TCopyStatusForm::ShowStatus(const std::string& caption, const std::string& overwrite_text) {
  setWindowTitle(QString::fromStdString(caption));
  SetOverwriteLabel(overwrite_text);
  // A new run must not show the last file or count of the previous one.
  SetFile(std::string(), kNoCount, std::string(), std::string());
  SetBars(0, 0);
  SetRate(-1, -1);
  show();
  raise();
  repaint();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TCopyStatusForm::CloseStatus() { hide(); }

void TCopyStatusForm::SetOverwriteLabel(const std::string& text) {
  omlabel_->setText(QString::fromStdString(text));
}

void TCopyStatusForm::SetFile(const std::string& file_name, const std::string& seq,
                              const std::string& source_dir, const std::string& target_dir) {
  lfile_->SetPath(file_name);
  lseq_->setText(QString::fromStdString(seq));
  lsource_->SetPath(source_dir);
  ltarget_->SetPath(target_dir);
}

void TCopyStatusForm::SetBars(std::int32_t this_file, std::int32_t all_files) {
  progress_bar1_->setValue(std::clamp(this_file, 0, 100));
  progress_bar2_->setValue(std::clamp(all_files, 0, 100));
}

void TCopyStatusForm::SetRate(std::int64_t bytes_per_second, std::int64_t seconds_left) {
  lrate_->setText(QString::fromStdString(FormatRate(bytes_per_second)));
  ltime_left_->setText(QString::fromStdString(FormatTimeLeft(seconds_left)));
}

void TCopyStatusForm::showEvent(QShowEvent* event) {
  cancelled_ = false;
  QDialog::showEvent(event);
}

void TCopyStatusForm::Button1Click() { cancelled_ = true; }

void TCopyStatusForm::reject() { Button1Click(); }

}  // namespace duplane
