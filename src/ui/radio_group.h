// A titled group of radio buttons answering to one item index, laid out in a
// given number of columns. The transfer dialogs read their overwrite and delete
// modes as such an index plus the chosen item's caption.
#pragma once

#include <QGroupBox>
#include <QStringList>
#include <vector>

class QButtonGroup;
class QRadioButton;

namespace duplane {

class RadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  // Items fill the columns row by row, left to right. Item 0 starts checked.
  RadioGroup(const QString& title, const QStringList& items, int columns,
             QWidget* parent = nullptr);

  // The checked item, -1 if none.
  int ItemIndex() const;
  // Checks item `index`; out of range leaves the choice as it is.
  void SetItemIndex(int index);
  // The caption of the checked item (empty if none).
  QString ItemText() const;
  int ItemCount() const { return static_cast<int>(buttons_.size()); }
  QRadioButton* Item(int index) const { return buttons_[static_cast<std::size_t>(index)]; }

 private:
  QButtonGroup* group_;
  std::vector<QRadioButton*> buttons_;
};

}  // namespace duplane
