// The About box: name, version, maker and a link to the maker's web site.
#pragma once

#include <QDialog>

namespace duplane {

class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutForm(QWidget* parent = nullptr);
};

}  // namespace duplane
