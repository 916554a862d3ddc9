// Probe report window. The probe polls the port for several seconds; each
// line it gives is shown at once and pending events are handled then, so
// the window repaints and can be moved while the walk runs.
#include "ui/probe_form.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "port/port_probe.h"

namespace duplane {

TProbeForm::TProbeForm(QWidget* parent) : QDialog(parent) {
  setObjectName("ProbeForm");
  setWindowTitle(QStringLiteral("Port Test"));
  report_ = new QPlainTextEdit(this);
  report_->setObjectName("ProbeReport");
  report_->setReadOnly(true);
  report_->setLineWrapMode(QPlainTextEdit::NoWrap);
  report_->setMinimumSize(560, 320);
  close_ = new QPushButton(QStringLiteral("Close"), this);
  connect(close_, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(report_);
  layout->addLayout(buttons);
}

void TProbeForm::ShowLine(const QString& line) {
  report_->clear();
  report_->appendPlainText(line);
  show();
}

bool TProbeForm::Run(std::uint16_t base) {
  report_->clear();
  close_->setEnabled(false);
  show();
  const bool passed = ProbePort(base, [this](const std::string& line) {
    report_->appendPlainText(QString::fromStdString(line));
    QApplication::processEvents();
  });
  close_->setEnabled(true);
  return passed;
}

}  // namespace duplane
