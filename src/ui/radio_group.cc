// Radio group: one exclusive QButtonGroup whose button ids are the item indexes.
#include "ui/radio_group.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace duplane {

RadioGroup::RadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)) {
  auto* layout = new QGridLayout(this);
  if (columns < 1) columns = 1;
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    group_->addButton(button, i);
    buttons_.push_back(button);
    layout->addWidget(button, i / columns, i % columns);
  }
  SetItemIndex(0);
}

int RadioGroup::ItemIndex() const { return group_->checkedId(); }

void RadioGroup::SetItemIndex(int index) {
  if (index < 0 || index >= ItemCount()) return;
  buttons_[static_cast<std::size_t>(index)]->setChecked(true);
}

QString RadioGroup::ItemText() const {
  const int index = ItemIndex();
  if (index < 0) return QString();
  return buttons_[static_cast<std::size_t>(index)]->text();
}

}  // namespace duplane
