// Configuration dialog layout. Its values are copied in and out by the main
// window; the dialog itself validates nothing (a bad base address is reported
// when the port base is chosen). The ports the system lists are offered in the
// Base edits' own format, so whatever is chosen there is also what is saved.
#include "ui/config_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "port/system_ports.h"
#include "ui/probe_form.h"
#include "ui/settings.h"

namespace duplane {
namespace {

// "0378", "D010": hexadecimal without prefix, as the Base settings hold it.
QString SettingsAddress(std::uint16_t base) {
  return QStringLiteral("%1").arg(base, 4, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

TConfigForm::TConfigForm(QWidget* parent) : QDialog(parent) {
  setObjectName("ConfigForm");
  setWindowTitle(QStringLiteral("Configuration"));
  setModal(true);

  auto* port_box = new QGroupBox(QStringLiteral("LPT Port"), this);
  port_box->setObjectName("LPTPort");
  lpt_port_ = new QButtonGroup(this);
  auto* port_layout = new QVBoxLayout(port_box);
  const char* const kPorts[3] = {"LPT1", "LPT2", "LPT3"};
  for (int i = 0; i < 3; ++i) {
    auto* radio = new QRadioButton(QString::fromLatin1(kPorts[i]), port_box);
    lpt_port_->addButton(radio, i);
    port_layout->addWidget(radio);
  }
  lpt_port_->button(0)->setChecked(true);

  auto* base_box = new QGroupBox(QStringLiteral("Base address"), this);
  auto* grid = new QGridLayout(base_box);
  grid->addWidget(new QLabel(QStringLiteral("Default"), base_box), 0, 2);
  const char* const kLabels[3] = {"LPT1:", "LPT2:", "LPT3:"};
  const char* const kDefaults[3] = {"0378", "0278", "03BC"};
  for (int i = 0; i < 3; ++i) {
    base_[i] = new QLineEdit(base_box);
    base_[i]->setObjectName(QStringLiteral("Base%1").arg(i + 1));
    grid->addWidget(new QLabel(QString::fromLatin1(kLabels[i]), base_box), i + 1, 0);
    grid->addWidget(base_[i], i + 1, 1);
    grid->addWidget(new QLabel(QString::fromLatin1(kDefaults[i]), base_box), i + 1, 2);
  }

  sys_icons_ = new QCheckBox(QStringLiteral("Display Remote Tree Icons"), this);
  sys_icons_->setObjectName("SysIcons");
  sys_icons_->setChecked(true);

  auto* system_box = new QGroupBox(QStringLiteral("Ports on this PC"), this);
  system_box->setObjectName("SystemPorts");
  port_list_ = new QComboBox(system_box);
  port_list_->setObjectName("PortList");
  port_list_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  use_port_ = new QPushButton(QStringLiteral("Use"), system_box);
  use_port_->setObjectName("UsePortBtn");
  use_port_->setToolTip(QStringLiteral("Take this port's address for the chosen LPT port"));
  probe_ = new QPushButton(QStringLiteral("Test Port"), system_box);
  probe_->setObjectName("ProbeBtn");
  probe_->setToolTip(QStringLiteral("Test the chosen LPT port and the cable"));
  connect(use_port_, &QPushButton::clicked, this, &TConfigForm::UseSystemPort);
  connect(probe_, &QPushButton::clicked, this, &TConfigForm::ProbeChosenPort);
  auto* system_layout = new QHBoxLayout(system_box);
  system_layout->addWidget(port_list_, 1);
  system_layout->addWidget(use_port_);
  system_layout->addWidget(probe_);
  probe_form_ = new TProbeForm(this);
  probe_form_->setModal(true);

  ok_ = new QPushButton(QStringLiteral("Ok"), this);
  ok_->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* boxes = new QHBoxLayout;
  boxes->addWidget(port_box);
  boxes->addWidget(base_box);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(boxes);
  layout->addWidget(system_box);
  layout->addWidget(sys_icons_);
  layout->addLayout(buttons);
  // A dialog border: the size the controls need, nothing to resize or maximise.
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

int TConfigForm::PortItem() const { return lpt_port_->checkedId(); }

void TConfigForm::SetPortItem(int item) {
  if (auto* button = lpt_port_->button(item)) button->setChecked(true);
}

void TConfigForm::ReadSystemPorts() {
  port_list_->clear();
  for (const SystemPort& port : ListSystemPorts()) {
    QString text = QString::fromStdString(port.name) + " at " + SettingsAddress(port.base);
    if (!port.modes.empty()) text += " (" + QString::fromStdString(port.modes) + ")";
    port_list_->addItem(text, SettingsAddress(port.base));
  }
  const bool found = port_list_->count() > 0;
  if (!found) port_list_->addItem(QStringLiteral("none found"));
  port_list_->setEnabled(found);
  use_port_->setEnabled(found);
}

void TConfigForm::UseSystemPort() {
  const QString address = port_list_->currentData().toString();
  const int item = PortItem();
  if (!address.isEmpty() && item >= 0) base_[item]->setText(address);
}

void TConfigForm::ProbeChosenPort() {
  const int item = PortItem();
  const QString text = base_[item < 0 ? 0 : item]->text();
  const auto base = ParsePortBase(text);
  if (!base || *base == 0) {
    probe_form_->ShowLine("'" + text + "' is no port address: type it in hexadecimal, as 0378.");
    return;
  }
  if (before_probe_) before_probe_();
  probe_->setEnabled(false);
  probe_form_->Run(*base);
  probe_->setEnabled(true);
}

void TConfigForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ReadSystemPorts();
  ok_->setFocus();
}

}  // namespace duplane
