// The scripted TransferUi: answers from a queue, records what was shown.
#include "support/scripted_transfer_ui.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace duplane {

const char* KindName(ScriptedTransferUi::Kind kind) {
  switch (kind) {
    case ScriptedTransferUi::Kind::kError:
      return "error box";
    case ScriptedTransferUi::Kind::kInfo:
      return "information box";
    case ScriptedTransferUi::Kind::kPrompt:
      return "overwrite question";
    case ScriptedTransferUi::Kind::kYesNo:
      return "Yes/No question";
    case ScriptedTransferUi::Kind::kCopyMove:
      return "copy/move dialog";
    case ScriptedTransferUi::Kind::kDelete:
      return "delete dialog";
    case ScriptedTransferUi::Kind::kNotConnected:
      return "not-connected box";
  }
  return "?";
}

ScriptedTransferUi::Expectation ScriptedTransferUi::Make(Kind kind, const std::string& text) {
  Expectation e;
  e.kind = kind;
  e.text = text;
  return e;
}

ScriptedTransferUi::ScriptedTransferUi() = default;
ScriptedTransferUi::~ScriptedTransferUi() = default;

void ScriptedTransferUi::ExpectError(const std::string& text) {
  script_.push_back(Make(Kind::kError, text));
}
void ScriptedTransferUi::ExpectInfo(const std::string& text) {
  script_.push_back(Make(Kind::kInfo, text));
}
void ScriptedTransferUi::ExpectNotConnected() {
  script_.push_back(Make(Kind::kNotConnected, "Not connected to Remote PC"));
}
void ScriptedTransferUi::ExpectPrompt(const std::string& text, PromptAnswer answer) {
  Expectation e = Make(Kind::kPrompt, text);
  e.prompt = answer;
  script_.push_back(e);
}
void ScriptedTransferUi::ExpectYesNo(const std::string& text, bool yes) {
  Expectation e = Make(Kind::kYesNo, text);
  e.yes = yes;
  script_.push_back(e);
}
void ScriptedTransferUi::ExpectCopyMove(const CopyMoveOptions& options, bool ok,
                                        std::function<void(TransferQueue&)> while_open) {
  Expectation e = Make(Kind::kCopyMove, "");
  e.copy_options = options;
  e.ok = ok;
  e.while_open = std::move(while_open);
  script_.push_back(e);
}
void ScriptedTransferUi::ExpectDelete(const DeleteOptions& options, bool ok,
                                      std::function<void(TransferQueue&)> while_open) {
  Expectation e = Make(Kind::kDelete, "");
  e.delete_options = options;
  e.ok = ok;
  e.while_open = std::move(while_open);
  script_.push_back(e);
}

void ScriptedTransferUi::VerifyAllAsked() {
  for (const Expectation& e : script_) {
    ADD_FAILURE() << "expected " << KindName(e.kind) << " \"" << e.text << "\" never came";
  }
  script_.clear();
}

const ScriptedTransferUi::Expectation* ScriptedTransferUi::Next(Kind kind,
                                                                const std::string& text) {
  shown.emplace_back(kind, text);
  if (script_.empty()) {
    ADD_FAILURE() << "unexpected " << KindName(kind) << ": \"" << text << "\"";
    return nullptr;
  }
  current_ = std::move(script_.front());
  script_.pop_front();
  if (current_.kind != kind) {
    ADD_FAILURE() << "expected " << KindName(current_.kind) << " \"" << current_.text << "\", got "
                  << KindName(kind) << " \"" << text << "\"";
    return nullptr;
  }
  if (!current_.text.empty() && current_.text != text) {
    ADD_FAILURE() << KindName(kind) << " text\n  expected: \"" << current_.text
                  << "\"\n  actual:   \"" << text << "\"";
  }
  return &current_;
}

std::vector<std::string> ScriptedTransferUi::Shown(Kind kind) const {
  std::vector<std::string> texts;
  for (const auto& [k, text] : shown) {
    if (k == kind) texts.push_back(text);
  }
  return texts;
}

void ScriptedTransferUi::SelectNames(Side side, const std::vector<std::string>& names) {
  auto& sel = selection(side);
  sel.clear();
  const auto& rows = pane(side).Rows;
  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (std::find(names.begin(), names.end(), rows[row].name) != names.end()) {
      sel.insert(static_cast<std::int32_t>(row));
    }
  }
  EXPECT_EQ(sel.size(), names.size()) << "not every name to select is listed";
}

void ScriptedTransferUi::ShowNotConnected() {
  Next(Kind::kNotConnected, "Not connected to Remote PC");
}

PaneSelection ScriptedTransferUi::TakeSelection(Side side) {
  const std::set<std::int32_t>& rows = selection(side);
  return SelectionOf(pane(side), filespec(side),
                     [&rows](std::int32_t row) { return rows.count(row) > 0; });
}

void ScriptedTransferUi::Refill(Side side) {
  fill_lists.push_back(side);
  // A refill loses the selection, as the list view's does.
  selection(side).clear();
  if (on_fill_list) on_fill_list(side);
}

void ScriptedTransferUi::ProcessMessages() {
  ++pumps;
  if (message_form_open && ++message_pumps_ == cancel_message_at_pump &&
      (cancel_message_caption.empty() || cancel_message_caption == message_captions.back())) {
    message_cancel_ = true;
  }
  if (status_open && ++status_pumps_ == cancel_status_at_pump) status_cancel_ = true;
  if (on_pump) on_pump();
}

void ScriptedTransferUi::ErrorBox(const std::string& text) { Next(Kind::kError, text); }
void ScriptedTransferUi::InfoBox(const std::string& text) { Next(Kind::kInfo, text); }

PromptAnswer ScriptedTransferUi::AskYesNoCancelAll(const std::string& text) {
  const Expectation* e = Next(Kind::kPrompt, text);
  return e ? e->prompt : PromptAnswer::kCancel;
}

bool ScriptedTransferUi::AskYesNo(const std::string& text) {
  const Expectation* e = Next(Kind::kYesNo, text);
  return e ? e->yes : false;
}

void ScriptedTransferUi::ShowMessageForm(const std::string& caption, const std::string& text) {
  message_captions.push_back(caption);
  message_texts.push_back(text);
  message_form_open = true;
  message_cancel_ = false;
  message_pumps_ = 0;
}

bool ScriptedTransferUi::ShowCopyMoveForm(const CopyMoveSetup& setup, TransferQueue& queue,
                                          CopyMoveOptions* options) {
  EXPECT_FALSE(message_form_open) << "busy window still open under the dialog";
  copy_setup = setup;
  const Expectation* e = Next(Kind::kCopyMove, setup.caption);
  if (!e) return false;
  if (e->while_open) e->while_open(queue);
  if (e->ok) *options = e->copy_options;
  return e->ok;
}

bool ScriptedTransferUi::ShowDeleteForm(const std::string& caption, TransferQueue& queue,
                                        DeleteOptions* options) {
  EXPECT_FALSE(message_form_open) << "busy window still open under the dialog";
  delete_caption = caption;
  const Expectation* e = Next(Kind::kDelete, caption);
  if (!e) return false;
  if (e->while_open) e->while_open(queue);
  if (e->ok) *options = e->delete_options;
  return e->ok;
}

void ScriptedTransferUi::ShowCopyStatus(const std::string& caption,
                                        const std::string& overwrite_text) {
  status_captions.push_back(caption);
  overwrite_labels.push_back(overwrite_text);
  status_open = true;
  status_cancel_ = false;
  status_pumps_ = 0;
}

void ScriptedTransferUi::SetStatusFile(const std::string& file_name, const std::string& seq,
                                       const std::string& source_dir,
                                       const std::string& target_dir) {
  status_files.push_back(file_name);
  status_seqs.push_back(seq);
  status_dirs.emplace_back(source_dir, target_dir);
}

void ScriptedTransferUi::SetStatusBars(std::int32_t this_file, std::int32_t all_files) {
  EXPECT_TRUE(this_file >= 0 && this_file <= 100 && all_files >= 0 && all_files <= 100)
      << this_file << " / " << all_files;
  bars.emplace_back(this_file, all_files);
}

}  // namespace duplane
