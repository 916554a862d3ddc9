// The transfer engines' user interface on a console: what the window shows in
// its dialogs, progress window and message boxes, written as lines (or one
// progress line on a terminal), with the answers the command line gave in
// place of the dialogs. The engines run unchanged on it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cli/console.h"
#include "transfer/transfer_queue.h"
#include "transfer/transfer_ui.h"

namespace duplane {

class LinkLayer;

// What the command line decided for one run of an engine.
struct ConsoleRunChoices {
  Side source_side = Side::kLocal;  // the source of a copy, the side of a delete
  CopyMoveOptions copy;
  DeleteOptions del;
  // How a path of a side is written for the user (the local side shows its
  // own file names, the remote side its Windows paths).
  std::function<std::string(Side side, const std::string& path)> display_path;
};

class ConsoleTransferUi : public TransferUi {
 public:
  // `layer` is the cable's link layer (the Connected flag), null for none.
  ConsoleTransferUi(Console& console, LinkLayer* layer, ConsoleRunChoices choices);

  // The two panes, read by the engines as the window's lists.
  TPane& pane(Side side) { return side == Side::kLocal ? panes_[0] : panes_[1]; }
  std::vector<bool>& selection(Side side) { return side == Side::kLocal ? selected_[0] : selected_[1]; }

  // Something went wrong: an error was shown, or a file was abandoned.
  bool faulted() const { return faulted_; }

  // ---- TransferUi.
  bool Connected() override;
  void ShowNotConnected() override;
  TPane& SelectPane(Side side) override;
  TPane& Pane(Side side) override { return pane(side); }
  std::string CurrentFileSpec() override { return "*.*"; }
  bool IsRowSelected(std::int32_t row) override;
  void FillList(Side) override {}
  void EnableMainWindow(bool) override {}
  void ProcessMessages() override {}
  // Nothing is left on screen to be seen during the pause.
  void Pause(std::int32_t) override {}
  void ErrorBox(const std::string& text) override;
  void InfoBox(const std::string& text) override;
  PromptAnswer AskYesNoCancelAll(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  void ShowMessageForm(const std::string& caption, const std::string& text) override;
  void SetMessageText(const std::string& text) override;
  void CloseMessageForm() override;
  bool MessageCancelled() override;
  bool ShowCopyMoveForm(const CopyMoveSetup& setup, TransferQueue& queue,
                        CopyMoveOptions* options) override;
  bool ShowDeleteForm(const std::string& caption, TransferQueue& queue,
                      DeleteOptions* options) override;
  void ShowCopyStatus(const std::string& caption, const std::string& overwrite_text) override;
  void CloseCopyStatus() override;
  void SetOverwriteLabel(const std::string& text) override;
  void SetStatusFile(const std::string& file_name, const std::string& seq,
                     const std::string& source_dir, const std::string& target_dir) override;
  void SetStatusBars(std::int32_t this_file, std::int32_t all_files) override;
  void SetStatusRate(std::int64_t bytes_per_second, std::int64_t seconds_left) override;
  bool StatusCancelled() override;
  void ClearStatusCancel() override;

 private:
  // A transfer or deletion is under way: boxes shown now report a fault, boxes
  // shown after it are the summary.
  bool Busy() const { return status_open_ || message_open_; }
  void ShowProgress();
  // Prints the queue the way the review dialogs show its counts.
  void DescribeQueue(const std::string& caption, const TransferQueue& queue);

  Console& console_;
  LinkLayer* layer_;
  ConsoleRunChoices choices_;
  TPane panes_[2];
  std::vector<bool> selected_[2];
  Side current_side_ = Side::kLocal;
  bool faulted_ = false;

  bool message_open_ = false;
  bool gathering_ = false;
  bool status_open_ = false;
  int handled_interrupts_ = 0;  // signals already answered
  const TransferQueue* queue_ = nullptr;
  std::size_t next_entry_ = 0;  // where the next file is looked for in the queue

  // The file under way, for the progress line.
  std::string file_path_;
  std::string file_seq_;
  std::int64_t file_size_ = -1;
  std::int32_t file_percent_ = 0;
  std::int32_t all_percent_ = 0;
  std::int64_t rate_ = -1;
  std::int64_t seconds_left_ = -1;
};

}  // namespace duplane
