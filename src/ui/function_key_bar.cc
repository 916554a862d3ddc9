// Function-key bar: buttons and their window-wide shortcuts.
#include "ui/function_key_bar.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QShortcut>
#include <QToolButton>

namespace duplane {
namespace {

struct KeyInfo {
  const char* name;
  const char* caption;  // UTF-8
  QKeyCombination keys;
};

// In key order; the captions say the key first, as the keys are what a user
// learns from the bar. Shift is its arrow, so that all six fit the window's
// design width; the tip spells every key out.
const KeyInfo kKeys[kFunctionKeys] = {
    {"KeyF5", "F5 Copy", QKeyCombination(Qt::Key_F5)},
    {"KeyF6", "F6 Move", QKeyCombination(Qt::Key_F6)},
    {"KeyShiftF6", "\u21E7F6 Rename", QKeyCombination(Qt::SHIFT, Qt::Key_F6)},
    {"KeyF7", "F7 Create Dir", QKeyCombination(Qt::Key_F7)},
    {"KeyF8", "F8 Delete", QKeyCombination(Qt::Key_F8)},
    {"KeyCtrlR", "Ctrl+R Refresh", QKeyCombination(Qt::CTRL, Qt::Key_R)},
};

}  // namespace

FunctionKeyBar::FunctionKeyBar(QWidget* parent) : QWidget(parent) {
  setObjectName("FunctionKeyBar");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  for (int i = 0; i < kFunctionKeys; ++i) {
    const auto key = static_cast<FunctionKey>(i);
    auto* button = new QToolButton(this);
    button->setObjectName(kKeys[i].name);
    button->setText(QString::fromUtf8(kKeys[i].caption));
    button->setToolTip(QKeySequence(kKeys[i].keys).toString(QKeySequence::NativeText));
    // A click must not take the focus from the list it is meant for.
    button->setFocusPolicy(Qt::NoFocus);
    // The bar shares the window's width evenly and never widens the window
    // beyond its design size; a narrow window clips the captions.
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    layout->addWidget(button);
    buttons_[i] = button;
    connect(button, &QToolButton::clicked, this, [this, key] { emit Pressed(key); });
    auto* shortcut = new QShortcut(QKeySequence(kKeys[i].keys), this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, key] { emit Pressed(key); });
  }
}

void FunctionKeyBar::SetKeysEnabled(bool enabled) {
  for (QToolButton* button : buttons_) button->setEnabled(enabled);
}

}  // namespace duplane
