// A TransferUi for headless tests: the panes are plain records, every message
// box and dialog is answered from a script queued beforehand, and a question
// the script does not expect fails the test. Everything shown is recorded.
#pragma once

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "transfer/transfer_queue.h"
#include "transfer/transfer_ui.h"

namespace duplane {

class ScriptedTransferUi : public TransferUi {
 public:
  enum class Kind { kError, kInfo, kPrompt, kYesNo, kCopyMove, kDelete, kNotConnected };

  ScriptedTransferUi();
  ~ScriptedTransferUi() override;

  // ---- Script: each expected question with its answer, in order. An empty
  // text accepts any text.
  void ExpectError(const std::string& text);
  void ExpectInfo(const std::string& text);
  void ExpectNotConnected();
  void ExpectPrompt(const std::string& text, PromptAnswer answer);
  void ExpectYesNo(const std::string& text, bool yes);
  // `while_open` runs while the dialog is up (unqueueing, or changing files
  // behind the program's back); `ok` false answers Cancel.
  void ExpectCopyMove(const CopyMoveOptions& options, bool ok = true,
                      std::function<void(TransferQueue&)> while_open = {});
  void ExpectDelete(const DeleteOptions& options, bool ok = true,
                    std::function<void(TransferQueue&)> while_open = {});
  // Fails the test for every scripted question that was not asked.
  void VerifyAllAsked();

  // ---- Window state the test sets up.
  bool connected = true;
  TPane& pane(Side side) { return side == Side::kLocal ? local_pane_ : remote_pane_; }
  std::string& filespec(Side side) {
    return side == Side::kLocal ? local_filespec_ : remote_filespec_;
  }
  std::set<std::int32_t>& selection(Side side) {
    return side == Side::kLocal ? local_selection_ : remote_selection_;
  }
  // Selects the rows whose Name column is one of `names` (the rest unselected).
  void SelectNames(Side side, const std::vector<std::string>& names);
  // Called by FillList; the rig rereads the directory into the pane there.
  std::function<void(Side side)> on_fill_list;

  // ---- Cancel buttons: the flag is set at the n-th ProcessMessages (1-based,
  // counted from the window's show) while the window is shown; 0 = never.
  int cancel_message_at_pump = 0;
  std::string cancel_message_caption;  // only a busy window with this caption; "" any
  int cancel_status_at_pump = 0;
  // Runs on every ProcessMessages, after the cancel counters.
  std::function<void()> on_pump;

  // ---- What was shown.
  std::vector<std::pair<Kind, std::string>> shown;  // every box and dialog, in order
  std::vector<std::string> message_texts;           // Panel1 texts of the busy window
  std::vector<std::string> message_captions;
  std::vector<std::string> status_captions;
  std::vector<std::string> status_seqs;                          // LSeq per file
  std::vector<std::string> status_files;                         // LFile per file (raw name)
  std::vector<std::pair<std::string, std::string>> status_dirs;  // LSource, LTarget raw
  std::vector<std::pair<std::int32_t, std::int32_t>> bars;
  std::vector<std::string> overwrite_labels;  // omlabel, first from the show
  CopyMoveSetup copy_setup;
  std::string delete_caption;
  std::vector<Side> fill_lists;  // sides refilled, in order
  std::int32_t paused_ms = 0;
  bool main_enabled = true;
  bool message_form_open = false;
  bool status_open = false;
  int pumps = 0;

  // ---- TransferUi.
  bool Connected() override { return connected; }
  void ShowNotConnected() override;
  TPane& SelectPane(Side side) override;
  TPane& Pane(Side side) override { return pane(side); }
  std::string CurrentFileSpec() override { return current_filespec_; }
  bool IsRowSelected(std::int32_t row) override;
  void FillList(Side side) override;
  void EnableMainWindow(bool enabled) override { main_enabled = enabled; }
  void ProcessMessages() override;
  void Pause(std::int32_t ms) override { paused_ms += ms; }
  std::int64_t NowMs() override { return now_ms_ += 20; }
  void ErrorBox(const std::string& text) override;
  void InfoBox(const std::string& text) override;
  PromptAnswer AskYesNoCancelAll(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  void ShowMessageForm(const std::string& caption, const std::string& text) override;
  void SetMessageText(const std::string& text) override { message_texts.push_back(text); }
  void CloseMessageForm() override { message_form_open = false; }
  bool MessageCancelled() override { return message_cancel_; }
  bool ShowCopyMoveForm(const CopyMoveSetup& setup, TransferQueue& queue,
                        CopyMoveOptions* options) override;
  bool ShowDeleteForm(const std::string& caption, TransferQueue& queue,
                      DeleteOptions* options) override;
  void ShowCopyStatus(const std::string& caption, const std::string& overwrite_text) override;
  void CloseCopyStatus() override { status_open = false; }
  void SetOverwriteLabel(const std::string& text) override { overwrite_labels.push_back(text); }
  void SetStatusFile(const std::string& file_name, const std::string& seq,
                     const std::string& source_dir, const std::string& target_dir) override;
  void SetStatusBars(std::int32_t this_file, std::int32_t all_files) override;
  void SetStatusRate(std::int64_t, std::int64_t) override {}
  bool StatusCancelled() override { return status_cancel_; }
  void ClearStatusCancel() override { status_cancel_ = false; }

  // Texts of the boxes of one kind, in order.
  std::vector<std::string> Shown(Kind kind) const;

 private:
  struct Expectation {
    Kind kind = Kind::kError;
    std::string text;
    PromptAnswer prompt = PromptAnswer::kCancel;
    bool yes = false;
    bool ok = true;
    CopyMoveOptions copy_options;
    DeleteOptions delete_options;
    std::function<void(TransferQueue&)> while_open;
  };
  static Expectation Make(Kind kind, const std::string& text);
  // Takes the next expectation if it is of `kind`; otherwise fails the test and
  // returns null (the caller then answers the safe way: Cancel / No).
  const Expectation* Next(Kind kind, const std::string& text);

  std::deque<Expectation> script_;
  Expectation current_;
  TPane local_pane_;
  TPane remote_pane_;
  std::string local_filespec_ = "*.*";
  std::string remote_filespec_ = "*.*";
  std::set<std::int32_t> local_selection_;
  std::set<std::int32_t> remote_selection_;
  Side current_side_ = Side::kLocal;
  std::string current_filespec_ = "*.*";
  bool message_cancel_ = false;
  bool status_cancel_ = false;
  int message_pumps_ = 0;
  int status_pumps_ = 0;
  std::int64_t now_ms_ = 0;
};

const char* KindName(ScriptedTransferUi::Kind kind);

}  // namespace duplane
