// The keys of a file list that reach beyond its own pane: Delete is F8, +
// and - mark or unmark the files a pattern names (asked in a small prompt),
// and Tab goes straight to the other list while both panes show their files.
// Shift+Tab keeps the window's whole tab walk, backwards, so the toolbars and
// filespecs stay in reach; Ctrl+Tab still turns the pane's page. The keys
// that stay within the pane (going up, Insert, Space) are the pane's own.
#include <QKeyEvent>

#include "transfer/name_patterns.h"
#include "ui/main_form.h"
#include "ui/main_form_texts.h"

namespace duplane {
namespace {

namespace text = form1_text;

}  // namespace

bool TForm1::ListKey(Side side, QKeyEvent* event) {
  const Qt::KeyboardModifiers mods =
      event->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier);
  const QString typed = event->text();
  if (typed == "+" || typed == "-") {
    if (Pane(side).Active()) SelectByPattern(side, typed == "+");
    return true;
  }
  if (mods != Qt::NoModifier) return false;
  if (event->key() == Qt::Key_Delete) {
    RunFunctionKey(side, FunctionKey::kDelete);
    return true;
  }
  if (event->key() == Qt::Key_Tab && Pane(Side::kLocal).ShowsFiles() &&
      Pane(Side::kRemote).ShowsFiles()) {
    Controls(Other(side)).list->setFocus(Qt::TabFocusReason);
    return true;
  }
  return false;
}

void TForm1::SelectByPattern(Side side, bool select) {
  const std::optional<QString> typed =
      prompts_->Ask(select ? text::kSelectCaption : text::kDeselectCaption,
                    select ? text::kSelectPrompt : text::kDeselectPrompt, last_pattern_);
  if (!typed || typed->trimmed().isEmpty()) return;
  last_pattern_ = *typed;
  Pane(side).MarkFiles(NamePatterns(typed->toStdString()), select);
}

}  // namespace duplane
