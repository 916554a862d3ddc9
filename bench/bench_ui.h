// The window as the benchmarks play it: a pane shows the files given and has
// them all selected, the copy dialog is answered Ok with "Always", every box
// goes to standard error and the progress window to nowhere.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/link.h"
#include "transfer/transfer_ui.h"

namespace duplane {

class BenchUi : public TransferUi {
 public:
  struct Row {
    std::string name;
    std::int64_t size = 0;
    bool is_dir = false;
  };
  // Makes C:\ the side's current directory and shows `rows` in its pane.
  void Show(Side side, Link& link, const std::vector<Row>& rows);

  bool Connected() override { return true; }
  void ShowNotConnected() override { Say("Not connected to Remote PC"); }
  TPane& SelectPane(Side side) override { return Pane(side); }
  TPane& Pane(Side side) override { return side == Side::kLocal ? local_ : remote_; }
  std::string CurrentFileSpec() override { return "*.*"; }
  bool IsRowSelected(std::int32_t) override { return true; }
  void FillList(Side) override {}
  void EnableMainWindow(bool) override {}
  void ProcessMessages() override {}
  void Pause(std::int32_t) override {}  // not part of the transfer's time
  void ErrorBox(const std::string& text) override { Say(text); }
  void InfoBox(const std::string& text) override { summary = text; }
  PromptAnswer AskYesNoCancelAll(const std::string&) override { return PromptAnswer::kAll; }
  bool AskYesNo(const std::string&) override { return true; }
  void ShowMessageForm(const std::string&, const std::string&) override {}
  void SetMessageText(const std::string&) override {}
  void CloseMessageForm() override {}
  bool MessageCancelled() override { return false; }
  bool ShowCopyMoveForm(const CopyMoveSetup&, TransferQueue&, CopyMoveOptions* options) override;
  bool ShowDeleteForm(const std::string&, TransferQueue&, DeleteOptions*) override { return false; }
  void ShowCopyStatus(const std::string&, const std::string&) override {}
  void CloseCopyStatus() override {}
  void SetOverwriteLabel(const std::string&) override {}
  void SetStatusFile(const std::string&, const std::string&, const std::string&,
                     const std::string&) override {}
  void SetStatusBars(std::int32_t, std::int32_t) override {}
  void SetStatusRate(std::int64_t, std::int64_t) override {}
  bool StatusCancelled() override { return false; }
  void ClearStatusCancel() override {}

  // The copy's closing summary ("Files copied: 1").
  std::string summary;
  std::uint64_t boxes = 0;

 private:
  void Say(const std::string& text);
  TPane local_, remote_;
};

}  // namespace duplane
