// The transfer engines' view of the program: the main window's panes and
// Connected flag, its message boxes, the busy window with its Cancel flag, the
// two review dialogs and the progress window. Everything an engine shows or
// asks goes through the windows the program created at start.
#pragma once

#include "transfer/transfer_ui.h"

namespace duplane {

class MessageBoxes;
class TCopyMoveForm;
class TCopyStatusForm;
class TDeleteForm;
class TForm1;
class TMessageForm;

class WindowTransferUi : public TransferUi {
 public:
  WindowTransferUi(TForm1& form1, MessageBoxes& boxes, TMessageForm& message_form,
                   TCopyStatusForm& copy_status_form, TCopyMoveForm& copy_move_form,
                   TDeleteForm& delete_form);

  bool Connected() override;
  void ShowNotConnected() override;
  TPane& SelectPane(Side side) override;
  TPane& Pane(Side side) override;
  std::string CurrentFileSpec() override;
  bool IsRowSelected(std::int32_t row) override;
  void FillList(Side side) override;
  void EnableMainWindow(bool enabled) override;
  void ProcessMessages() override;
  void Pause(std::int32_t ms) override;

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
  bool Ending(const std::string& text);
  void ReturnActivation();

  TForm1& form1_;
  MessageBoxes& boxes_;
  TMessageForm& message_form_;
  TCopyStatusForm& copy_status_form_;
  TCopyMoveForm& copy_move_form_;
  TDeleteForm& delete_form_;
  // The side SelectPane chose last: IsRowSelected reads that side's list.
  Side current_side_ = Side::kLocal;
};

}  // namespace duplane
