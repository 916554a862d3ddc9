// Configuration dialog layout. Its values are copied in and out by the main
// window; the dialog itself validates nothing (a bad base address is reported
// when the port base is chosen).
#include "ui/config_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace duplane {

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
  layout->addWidget(sys_icons_);
  layout->addLayout(buttons);
}

int TConfigForm::PortItem() const { return lpt_port_->checkedId(); }

void TConfigForm::SetPortItem(int item) {
  if (auto* button = lpt_port_->button(item)) button->setChecked(true);
}

void TConfigForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ok_->setFocus();
}

}  // namespace duplane
