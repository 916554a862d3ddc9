// The function keys of the main window: which pane they act on and which
// menu entry they run. A key acts on the pane that has (or last had) the
// focus, towards the other pane, through that side's own "&Local PC" or
// "&Remote PC" entry, so a key does exactly what the menu does, disconnected
// Remote PC and all. Like that menu, the keys act only while the pane shows
// its files: a selection the user cannot see is never copied or deleted.
#include <QAction>
#include <QApplication>
#include <QMenu>

#include "ui/function_key_bar.h"
#include "ui/main_form.h"

namespace duplane {
namespace {

// The side menu's entries, Local and Remote, in FunctionKey order.
const char* const kEntries[kFunctionKeys][2] = {
    {"Copy3", "Copy4"},           {"Move3", "Move4"},     {"Rename3", "Rename4"},
    {"CreateDir3", "CreateDir4"}, {"Delete3", "Delete4"}, {"Refresh1", "Refresh2"},
};

}  // namespace

void TForm1::BuildFunctionKeys(QWidget* parent) {
  function_keys_ = new FunctionKeyBar(parent);
  connect(function_keys_, &FunctionKeyBar::Pressed, this,
          [this](FunctionKey key) { RunFunctionKey(focused_side_, key); });
  UpdateFunctionKeys();
}

void TForm1::NoteFocus(QWidget* now) {
  for (Side side : {Side::kLocal, Side::kRemote}) {
    if (now != nullptr && Controls(side).panel->isAncestorOf(now)) focused_side_ = side;
  }
  UpdateFunctionKeys();
}

void TForm1::UpdateFunctionKeys() {
  if (function_keys_ == nullptr) return;
  function_keys_->SetKeysEnabled(SideMenu(focused_side_)->isEnabled());
}

QMenu* TForm1::SideMenu(Side side) const {
  return side == Side::kLocal ? local_pc_menu_ : remote_pc_menu_;
}

void TForm1::RunFunctionKey(Side side, FunctionKey key) {
  if (busy() || !SideMenu(side)->isEnabled()) return;
  QAction* entry = action(kEntries[static_cast<int>(key)][SideIndex(side)]);
  if (entry != nullptr) entry->trigger();
}

}  // namespace duplane
