// The configuration dialog: LPT port, the three base addresses as typed, and
// whether the Remote tree shows icons. Below them the parallel ports this PC
// has, to take one's address for the chosen LPT port, and the port test.
#pragma once

#include <QDialog>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace duplane {

class TProbeForm;

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
  QComboBox* PortList() const { return port_list_; }
  QPushButton* UsePortButton() const { return use_port_; }
  QPushButton* ProbeButton() const { return probe_; }
  TProbeForm* ProbeForm() const { return probe_form_; }

  // Called before the port test opens the port, so that the program's own
  // link lets go of it first.
  void SetBeforeProbe(std::function<void()> release) { before_probe_ = std::move(release); }

  // Fills the port list from the system's list of parallel ports.
  void ReadSystemPorts();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QButtonGroup* lpt_port_;
  QLineEdit* base_[3];
  void UseSystemPort();
  void ProbeChosenPort();

  QCheckBox* sys_icons_;
  QPushButton* ok_;
  QComboBox* port_list_;
  QPushButton* use_port_;
  QPushButton* probe_;
  TProbeForm* probe_form_;
  std::function<void()> before_probe_;
};

}  // namespace duplane
