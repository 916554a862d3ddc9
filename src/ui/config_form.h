// The configuration dialog: LPT port, the three base addresses as typed, and
// whether the Remote tree shows icons.
#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;

namespace duplane {

class TConfigForm : public QDialog {
  Q_OBJECT

 public:
  explicit TConfigForm(QWidget* parent = nullptr);

  // 0-based item of the LPTPort radio group.
  int PortItem() const;
  void SetPortItem(int item);
  QLineEdit* Base(int index) const { return base_[index]; }
  QCheckBox* SysIcons() const { return sys_icons_; }
  QPushButton* OkButton() const { return ok_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QButtonGroup* lpt_port_;
  QLineEdit* base_[3];
  QCheckBox* sys_icons_;
  QPushButton* ok_;
};

}  // namespace duplane
