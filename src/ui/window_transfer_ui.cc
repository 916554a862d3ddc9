// The engines' calls turned into the windows' own: message boxes through the
// window's box seam (so tests answer them), the busy window's caption, text and
// Cancel flag, the review dialogs run modally, and the progress window.
#include "ui/window_transfer_ui.h"

#include <QApplication>
#include <QThread>
#include <algorithm>
#include <cstdio>

#include "ui/copy_move_form.h"
#include "ui/copy_status_form.h"
#include "ui/delete_form.h"
#include "ui/main_form.h"
#include "ui/message_boxes.h"
#include "ui/message_form.h"

namespace duplane {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

WindowTransferUi::WindowTransferUi(TForm1& form1, MessageBoxes& boxes, TMessageForm& message_form,
                                   TCopyStatusForm& copy_status_form, TCopyMoveForm& copy_move_form,
                                   TDeleteForm& delete_form)
    : form1_(form1),
      boxes_(boxes),
      message_form_(message_form),
      copy_status_form_(copy_status_form),
      copy_move_form_(copy_move_form),
      delete_form_(delete_form) {
  // "Cannot unqueue directory ..." is one of the window's boxes too.
  auto information = [&boxes](const QString& text) { boxes.Information(text); };
  copy_move_form_.SetInformationBox(information);
  delete_form_.SetInformationBox(information);
}

bool WindowTransferUi::Connected() { return form1_.connected(); }

void WindowTransferUi::ShowNotConnected() { form1_.ShowNotConnected(); }

std::string WindowTransferUi::PanePath(Side side) { return form1_.Pane(side).record().Path; }

PaneSelection WindowTransferUi::TakeSelection(Side side) { return form1_.Pane(side).Selection(); }

void WindowTransferUi::MarkTreeStale(Side side) { form1_.Pane(side).record().tree_stale = true; }

void WindowTransferUi::Refill(Side side) { form1_.Pane(side).FillList(); }

void WindowTransferUi::EnableMainWindow(bool enabled) {
  form1_.setEnabled(enabled);
  ReturnActivation();
}

// The busy or progress window had the activation; the user's keys belong to
// the main window again once it is enabled and neither of them is left.
void WindowTransferUi::ReturnActivation() {
  if (form1_.isEnabled() && !message_form_.isVisible() && !copy_status_form_.isVisible()) {
    form1_.TakeActivation();
  }
}

void WindowTransferUi::ProcessMessages() { QApplication::processEvents(); }

void WindowTransferUi::Pause(std::int32_t ms) {
  // Blocks without pumping, like the window's other fixed pauses, and is
  // shortened with them in tests.
  const std::int64_t scaled = static_cast<std::int64_t>(ms) * TForm1::PausePercent() / 100;
  if (scaled > 0) QThread::msleep(static_cast<unsigned long>(scaled));
}

// Once the user has ended the program from a cable time-out box, the engine
// only winds down: it asks nothing more, and what it would report goes to the
// standard error stream instead of a row of boxes on a closing window.
bool WindowTransferUi::Ending(const std::string& text) {
  if (!form1_.ending()) return false;
  std::string line = text;
  std::replace(line.begin(), line.end(), '\r', ' ');
  std::fprintf(stderr, "duplane: %s\n", line.c_str());
  return true;
}

void WindowTransferUi::ErrorBox(const std::string& text) {
  if (!Ending(text)) boxes_.Error(Q(text));
}

void WindowTransferUi::InfoBox(const std::string& text) {
  if (!Ending(text)) boxes_.Information(Q(text));
}

PromptAnswer WindowTransferUi::AskYesNoCancelAll(const std::string& text) {
  if (Ending(text)) return PromptAnswer::kCancel;
  return boxes_.YesNoCancelAll(Q(text));
}

bool WindowTransferUi::AskYesNo(const std::string& text) {
  if (Ending(text)) return false;
  return boxes_.YesNo(Q(text));
}

void WindowTransferUi::ShowMessageForm(const std::string& caption, const std::string& text) {
  message_form_.setWindowTitle(Q(caption));
  message_form_.SetText(Q(text));
  message_form_.ShowAndRepaint();
}

void WindowTransferUi::SetMessageText(const std::string& text) {
  message_form_.SetText(Q(text));
  message_form_.repaint();
}

void WindowTransferUi::CloseMessageForm() {
  message_form_.CloseForm();
  ReturnActivation();
}

bool WindowTransferUi::MessageCancelled() { return message_form_.cancel() || form1_.ending(); }

bool WindowTransferUi::ShowCopyMoveForm(const CopyMoveSetup& setup, TransferQueue& queue,
                                        CopyMoveOptions* options) {
  return copy_move_form_.Run(setup, queue, options);
}

bool WindowTransferUi::ShowDeleteForm(const std::string& caption, TransferQueue& queue,
                                      DeleteOptions* options) {
  return delete_form_.Run(caption, queue, options);
}

void WindowTransferUi::ShowCopyStatus(const std::string& caption,
                                      const std::string& overwrite_text) {
  copy_status_form_.ShowStatus(caption, overwrite_text);
}

void WindowTransferUi::CloseCopyStatus() {
  copy_status_form_.CloseStatus();
  ReturnActivation();
}

void WindowTransferUi::SetOverwriteLabel(const std::string& text) {
  copy_status_form_.SetOverwriteLabel(text);
}

void WindowTransferUi::SetStatusFile(const std::string& file_name, const std::string& seq,
                                     const std::string& source_dir, const std::string& target_dir) {
  copy_status_form_.SetFile(file_name, seq, source_dir, target_dir);
}

void WindowTransferUi::SetStatusBars(std::int32_t this_file, std::int32_t all_files) {
  copy_status_form_.SetBars(this_file, all_files);
}

void WindowTransferUi::SetStatusRate(std::int64_t bytes_per_second, std::int64_t seconds_left) {
  copy_status_form_.SetRate(bytes_per_second, seconds_left);
}

bool WindowTransferUi::StatusCancelled() {
  return copy_status_form_.cancelled() || form1_.ending();
}

void WindowTransferUi::ClearStatusCancel() { copy_status_form_.ClearCancel(); }

}  // namespace duplane
