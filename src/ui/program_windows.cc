// Creation and destruction of the program's windows.
#include "ui/program_windows.h"

#include "ui/about_form.h"
#include "ui/config_form.h"
#include "ui/copy_move_form.h"
#include "ui/copy_status_form.h"
#include "ui/delete_form.h"
#include "ui/dialogs_stay_up.h"
#include "ui/link_form.h"
#include "ui/link_session.h"
#include "ui/main_form.h"
#include "ui/message_form.h"
#include "ui/transfer_entries.h"

namespace duplane {

ProgramWindows::ProgramWindows(LinkSession& session, MessageBoxes& boxes,
                               const QString& cable_path) {
  // Known before the main window reads the settings and checks the port.
  session.set_over_virtual_cable(!cable_path.isEmpty());
  dialogs_stay_up = std::make_unique<DialogsStayUp>();
  form1 = std::make_unique<TForm1>(session, boxes);
  link_form = std::make_unique<TLinkForm>(session, cable_path);
  form1->SetLinkForm(link_form.get());
  // The two windows that show while the main window is disabled belong to it,
  // so that they stay above it; the others wait, created, until shown.
  copy_status_form = std::make_unique<TCopyStatusForm>(form1.get());
  copy_move_form = std::make_unique<TCopyMoveForm>();
  delete_form = std::make_unique<TDeleteForm>();
  config_form = std::make_unique<TConfigForm>();
  form1->SetConfigForm(config_form.get());
  message_form = std::make_unique<TMessageForm>(form1.get());
  form1->SetMessageForm(message_form.get());
  about_form = std::make_unique<TAboutForm>();
  form1->SetAboutForm(about_form.get());
  // Owned by the main window once every window it uses exists.
  entries = new TransferEntries(*form1, boxes, *message_form, *copy_status_form, *copy_move_form,
                                *delete_form);
}

ProgramWindows::~ProgramWindows() {
  about_form.reset();
  message_form.reset();
  config_form.reset();
  delete_form.reset();
  copy_move_form.reset();
  copy_status_form.reset();
  link_form.reset();
  form1.reset();
  dialogs_stay_up.reset();
}

}  // namespace duplane
