// The console's TransferUi. The dialogs are answered by the command line; a
// message box shown while a transfer or deletion runs is an error of that run
// (and makes the exit status 1), one shown after it is the summary. Ctrl+C
// stands for the Cancel buttons: the engines see it where they look at them.
#include "cli/console_transfer_ui.h"

#include <utility>

#include "cli/interrupt.h"
#include "link/link_layer.h"
#include "transfer/transfer_context.h"
#include "transfer/transfer_rate.h"

namespace duplane {
namespace {

// Gathering shows the busy window with this caption; deleting with "Delete".
constexpr char kGatherCaption[] = "Message";

std::string FileNamePart(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

ConsoleTransferUi::ConsoleTransferUi(Console& console, LinkLayer* layer, ConsoleRunChoices choices)
    : console_(console),
      layer_(layer),
      choices_(std::move(choices)),
      handled_interrupts_(InterruptCount()) {}

bool ConsoleTransferUi::Connected() { return layer_ != nullptr && layer_->connected(); }

void ConsoleTransferUi::ShowNotConnected() { ErrorBox("Not connected to Remote PC"); }

TPane& ConsoleTransferUi::SelectPane(Side side) {
  current_side_ = side;
  return pane(side);
}

bool ConsoleTransferUi::IsRowSelected(std::int32_t row) {
  const std::vector<bool>& rows = selection(current_side_);
  return row >= 0 && static_cast<std::size_t>(row) < rows.size() && rows[row];
}

void ConsoleTransferUi::ErrorBox(const std::string& text) {
  console_.Error(ConsoleText(text, "; "));
  faulted_ = true;
}

void ConsoleTransferUi::InfoBox(const std::string& text) {
  // Read and write errors come as information boxes while the copy runs.
  if (Busy()) {
    ErrorBox(text);
    return;
  }
  console_.Line(ConsoleText(text, "\n"));
}

PromptAnswer ConsoleTransferUi::AskYesNoCancelAll(const std::string& text) {
  // Only the mode "ask" lets the engine ask, and only on a terminal; anything
  // else reaching here is answered the safe way.
  if (!console_.interactive()) return PromptAnswer::kCancel;
  for (;;) {
    switch (console_.Ask(ConsoleText(text, "\n") + " [Y]es, [n]o, [a]ll, [c]ancel: ")) {
      case '\n':
      case 'y':
        return PromptAnswer::kYes;
      case 'n':
        return PromptAnswer::kNo;
      case 'a':
        return PromptAnswer::kAll;
      case 'c':
      case '\0':
        return PromptAnswer::kCancel;
      default:
        break;
    }
  }
}

bool ConsoleTransferUi::AskYesNo(const std::string& text) {
  // The engine asks "Finish it before stopping?" after Ctrl+C. With nobody to
  // answer, the first Ctrl+C finishes the file and a second abandons it.
  bool finish = false;
  if (console_.interactive()) {
    const char answer = console_.Ask(ConsoleText(text, "\n") + " [Y/n]: ");
    finish = answer != 'n' && answer != '\0';
  } else {
    finish = InterruptCount() < 2;
    console_.Line(finish ? "Interrupted: finishing " + file_path_ +
                               " before stopping (interrupt again to abandon it)"
                         : "Interrupted again: abandoning " + file_path_);
  }
  if (!finish) faulted_ = true;
  return finish;
}

void ConsoleTransferUi::ShowMessageForm(const std::string& caption, const std::string& text) {
  message_open_ = true;
  gathering_ = caption == kGatherCaption;
  if (gathering_) console_.Progress(text);
}

void ConsoleTransferUi::SetMessageText(const std::string& text) {
  const std::string line = "Deleting " + choices_.display_path(choices_.source_side, text);
  if (console_.terminal()) {
    console_.Progress(line);
  } else {
    console_.Line(line);
  }
}

void ConsoleTransferUi::CloseMessageForm() {
  message_open_ = false;
  gathering_ = false;
  console_.ClearProgress();
}

bool ConsoleTransferUi::MessageCancelled() { return InterruptCount() != handled_interrupts_; }

void ConsoleTransferUi::DescribeQueue(const std::string& caption, const TransferQueue& queue) {
  console_.Line(caption + ": " + GroupedNumber(queue.file_count) + " files, " +
                GroupedNumber(queue.byte_count) + " bytes, " + GroupedNumber(queue.dir_count) +
                " directories");
}

bool ConsoleTransferUi::ShowCopyMoveForm(const CopyMoveSetup& setup, TransferQueue& queue,
                                         CopyMoveOptions* options) {
  const Side source = choices_.source_side;
  DescribeQueue(std::string(setup.move_options_enabled ? "Move" : "Copy") + " from " +
                    choices_.display_path(source, setup.source_dir) + " to " +
                    choices_.display_path(Other(source), setup.target_dir),
                queue);
  queue_ = &queue;
  next_entry_ = 0;
  *options = choices_.copy;
  return true;
}

bool ConsoleTransferUi::ShowDeleteForm(const std::string&, TransferQueue& queue,
                                       DeleteOptions* options) {
  DescribeQueue("Delete on " + std::string(SideName(choices_.source_side)), queue);
  *options = choices_.del;
  return true;
}

void ConsoleTransferUi::ShowCopyStatus(const std::string&, const std::string&) {
  // Unlike the window's, this Cancel flag is not cleared on show: a Ctrl+C
  // pressed since the command started still stops the run.
  status_open_ = true;
  rate_ = seconds_left_ = -1;
}

void ConsoleTransferUi::CloseCopyStatus() {
  status_open_ = false;
  console_.ClearProgress();
}

void ConsoleTransferUi::SetOverwriteLabel(const std::string& text) {
  console_.Line("Overwrite mode: " + text);
}

void ConsoleTransferUi::SetStatusFile(const std::string& file_name, const std::string& seq,
                                      const std::string& source_dir, const std::string&) {
  // Files are shown in queue order, so the queue gives this one's size.
  file_size_ = -1;
  if (queue_ != nullptr) {
    for (std::size_t i = next_entry_; i < queue_->size(); ++i) {
      if (queue_->is_dir(i)) continue;
      if (FileNamePart(queue_->path(i)) == file_name) {
        file_size_ = queue_->size_value(i);
        next_entry_ = i + 1;
      }
      break;
    }
  }
  file_path_ = choices_.display_path(choices_.source_side, source_dir + file_name);
  file_seq_ = seq;
  file_percent_ = 0;
  if (console_.terminal()) {
    ShowProgress();
  } else {
    console_.Line(seq + ": " + file_path_ +
                  (file_size_ >= 0 ? " (" + GroupedNumber(file_size_) + " bytes)" : ""));
  }
}

void ConsoleTransferUi::SetStatusBars(std::int32_t this_file, std::int32_t all_files) {
  file_percent_ = this_file;
  all_percent_ = all_files;
}

void ConsoleTransferUi::SetStatusRate(std::int64_t bytes_per_second, std::int64_t seconds_left) {
  rate_ = bytes_per_second;
  seconds_left_ = seconds_left;
  ShowProgress();
}

void ConsoleTransferUi::ShowProgress() {
  if (!console_.terminal()) return;
  std::string line = file_seq_ + "  ";
  if (file_size_ >= 0) {
    line += GroupedNumber(file_size_ * file_percent_ / 100) + "/" + GroupedNumber(file_size_) +
            " bytes  ";
  }
  line += "all " + std::to_string(all_percent_) + "%  ";
  if (rate_ >= 0) line += FormatRate(rate_) + "  ";
  if (seconds_left_ >= 0) line += FormatTimeLeft(seconds_left_) + " left  ";
  console_.Progress(line + file_path_);
}

bool ConsoleTransferUi::StatusCancelled() { return InterruptCount() != handled_interrupts_; }

void ConsoleTransferUi::ClearStatusCancel() { handled_interrupts_ = InterruptCount(); }

}  // namespace duplane
