// The row of function keys along the bottom of the main window, as users of
// two-pane file managers expect it: each button names its key and what it
// does, and both the click and the key itself ask the window for the command.
// The window decides which pane acts (the one with the focus) and runs the
// same menu entry the user could pick, so the dialogs and questions are the
// menus' own.
#pragma once

#include <QWidget>
#include <array>

class QToolButton;

namespace duplane {

enum class FunctionKey { kCopy, kMove, kRename, kCreateDir, kDelete, kRefresh };
inline constexpr int kFunctionKeys = 6;

class FunctionKeyBar : public QWidget {
  Q_OBJECT

 public:
  explicit FunctionKeyBar(QWidget* parent);

  QToolButton* Button(FunctionKey key) const { return buttons_[static_cast<int>(key)]; }
  // Keys that act on nothing shown (a pane on its tree page) are greyed.
  void SetKeysEnabled(bool enabled);

 signals:
  void Pressed(FunctionKey key);

 private:
  std::array<QToolButton*, kFunctionKeys> buttons_{};
};

}  // namespace duplane
