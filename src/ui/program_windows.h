// The program's windows, created once at start in the order the program has
// always created them, and destroyed in the reverse order when it ends. The
// program and its window tests build them through this one place, so the
// tests meet the same parents, wiring and end as the user does.
#pragma once

#include <QString>
#include <memory>

namespace duplane {

class DialogsStayUp;
class LinkSession;
class MessageBoxes;
class TAboutForm;
class TConfigForm;
class TCopyMoveForm;
class TCopyStatusForm;
class TDeleteForm;
class TForm1;
class TLinkForm;
class TMessageForm;
class TransferEntries;

struct ProgramWindows {
  // An empty `cable_path` means the hardware port (or one the caller attached
  // to `session` already).
  ProgramWindows(LinkSession& session, MessageBoxes& boxes, const QString& cable_path);
  ~ProgramWindows();
  ProgramWindows(const ProgramWindows&) = delete;
  ProgramWindows& operator=(const ProgramWindows&) = delete;

  std::unique_ptr<DialogsStayUp> dialogs_stay_up;
  std::unique_ptr<TForm1> form1;
  std::unique_ptr<TLinkForm> link_form;
  std::unique_ptr<TCopyStatusForm> copy_status_form;
  std::unique_ptr<TCopyMoveForm> copy_move_form;
  std::unique_ptr<TDeleteForm> delete_form;
  std::unique_ptr<TConfigForm> config_form;
  std::unique_ptr<TMessageForm> message_form;
  std::unique_ptr<TAboutForm> about_form;
  TransferEntries* entries = nullptr;  // owned by form1
};

}  // namespace duplane
