// The report window of the port self-test started from the Configure dialog:
// the probe's lines appear as it runs, and the window stays until closed.
#pragma once

#include <QDialog>
#include <cstdint>

class QPlainTextEdit;
class QPushButton;

namespace duplane {

class TProbeForm : public QDialog {
  Q_OBJECT

 public:
  explicit TProbeForm(QWidget* parent = nullptr);

  // Shows the window and runs the probe on the port at `base`, keeping the
  // window live while it runs. True when every check passed.
  bool Run(std::uint16_t base);
  // Shows the window with one line instead of a probe (a bad address).
  void ShowLine(const QString& line);

  QPlainTextEdit* Report() const { return report_; }
  QPushButton* CloseButton() const { return close_; }

 private:
  QPlainTextEdit* report_;
  QPushButton* close_;
};

}  // namespace duplane
