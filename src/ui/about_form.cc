// About box layout; the link opens in the desktop's browser.
#include "ui/about_form.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/qt_version_check.h"

namespace duplane {

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
  setObjectName("AboutForm");
  setWindowTitle(QStringLiteral("About"));
  setModal(true);

  auto* name = new QLabel(QStringLiteral("Talveri's Duplane"), this);
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 2);
  big.setBold(true);
  name->setFont(big);
  auto* version = new QLabel(QStringLiteral("<b>Version 1.1</b>"), this);
  auto* maker = new QLabel(QStringLiteral("Made by Talveri"), this);

  auto* label4 = new QLabel(this);
  label4->setObjectName("Label4");
  label4->setText(QStringLiteral("<a href=\"%1\" style=\"color:blue\">%1</a>")
                      .arg(QLatin1String(kMakerWebAddress)));
  label4->setToolTip(QStringLiteral("Click here to access web site"));
  label4->setCursor(Qt::PointingHandCursor);
  label4->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
  connect(label4, &QLabel::linkActivated, this,
          [](const QString& link) { QDesktopServices::openUrl(QUrl(link)); });

  auto* ok = new QPushButton(QStringLiteral("Ok"), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  for (QWidget* w : {static_cast<QWidget*>(name), static_cast<QWidget*>(version),
                     static_cast<QWidget*>(maker), static_cast<QWidget*>(label4)}) {
    layout->addWidget(w, 0, Qt::AlignHCenter);
  }
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  // A dialog border: the size the controls need, nothing to resize or maximise.
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace duplane
