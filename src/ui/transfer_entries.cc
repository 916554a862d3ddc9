// Wiring of the transfer commands to their buttons and menu items, and the one
// place that runs an engine with the window's link, search slots and queue.
#include "ui/transfer_entries.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>

#include "transfer/copy_engine.h"
#include "transfer/delete_engine.h"
#include "transfer/transfer_context.h"
#include "ui/main_form.h"

namespace duplane {
namespace {

const char kCopyCaption[] = "&Copy...";
const char kMoveCaption[] = "&Move...";
const char kDeleteCaption[] = "D&elete...";

// Names of the Copy, Move and Delete items of each menu, in that order.
const char* const kLocalPopupNames[3] = {"Copy1", "Move1", "Delete1"};
const char* const kRemotePopupNames[3] = {"Copy2", "Move2", "Delete2"};
const char* const kLocalMenuNames[3] = {"Copy3", "Move3", "Delete3"};
const char* const kRemoteMenuNames[3] = {"Copy4", "Move4", "Delete4"};

}  // namespace

TransferEntries::TransferEntries(TForm1& form1, MessageBoxes& boxes, TMessageForm& message_form,
                                 TCopyStatusForm& copy_status_form, TCopyMoveForm& copy_move_form,
                                 TDeleteForm& delete_form)
    : QObject(&form1),
      form1_(form1),
      ui_(form1, boxes, message_form, copy_status_form, copy_move_form, delete_form) {
  setObjectName("TransferEntries");
  ConnectEntries();
}

void TransferEntries::ConnectEntries() {
  struct Button {
    const char* name;
    Command command;
    Side side;
  };
  const Button buttons[] = {
      {"LCopyBtn", Command::kCopy, Side::kLocal},
      {"RCopyBtn", Command::kCopy, Side::kRemote},
      {"LMoveBtn", Command::kMove, Side::kLocal},
      {"RMoveBtn", Command::kMove, Side::kRemote},
      {"LDeleteBtn", Command::kDelete, Side::kLocal},
      {"RDeleteBtn", Command::kDelete, Side::kRemote},
  };
  for (const Button& b : buttons) {
    auto* button = form1_.findChild<QAbstractButton*>(b.name);
    if (button == nullptr) continue;
    connect(button, &QAbstractButton::clicked, this,
            [this, command = b.command, side = b.side] { Start(command, side); });
  }
  ConnectMenu(form1_.findChild<QMenu*>("PopupMenu1"), kLocalPopupNames, Side::kLocal);
  ConnectMenu(form1_.findChild<QMenu*>("PopupMenu2"), kRemotePopupNames, Side::kRemote);
  ConnectMenu(form1_.LocalPC1(), kLocalMenuNames, Side::kLocal);
  ConnectMenu(form1_.RemotePC1(), kRemoteMenuNames, Side::kRemote);
}

void TransferEntries::ConnectMenu(QMenu* menu, const char* const names[3], Side side) {
  if (menu == nullptr) return;
  const Command commands[3] = {Command::kCopy, Command::kMove, Command::kDelete};
  const char* captions[3] = {kCopyCaption, kMoveCaption, kDeleteCaption};
  // The transfer commands head the menu, above whatever the window put there.
  QAction* first = menu->actions().value(0);
  bool added = false;
  for (int i = 0; i < 3; ++i) {
    QAction* action = form1_.findChild<QAction*>(names[i]);
    if (action == nullptr) {
      action = new QAction(QString::fromLatin1(captions[i]), menu);
      action->setObjectName(names[i]);
      menu->insertAction(first, action);
      added = true;
    }
    connect(action, &QAction::triggered, this,
            [this, command = commands[i], side] { Start(command, side); });
  }
  if (added && first != nullptr) menu->insertSeparator(first);
}

void TransferEntries::Start(Command command, Side side) {
  if (command == Command::kDelete) {
    DeleteFiles(side);
  } else {
    CopyFiles(side, command == Command::kMove);
  }
}

void TransferEntries::CopyFiles(Side source_side, bool is_move) {
  Run([&](TransferContext& ctx) { duplane::CopyFiles(ctx, source_side, is_move); });
}

void TransferEntries::DeleteFiles(Side side) {
  Run([&](TransferContext& ctx) { duplane::DeleteFiles(ctx, side); });
}

void TransferEntries::Run(const std::function<void(TransferContext&)>& engine) {
  // The main window is disabled while any long operation runs, so this only
  // guards against a start from outside it (a drop, a queued signal) while
  // another one pumps events.
  if (form1_.busy() || form1_.ending()) return;
  // Also keeps the main window from closing under the engine's loop.
  const TForm1::Operation operation(form1_);
  // The link is asked for afresh: the window replaces it when the port changes.
  TransferContext ctx{form1_.link(), ui_, form1_.search_slots(), queue_};
  engine(ctx);
}

}  // namespace duplane
