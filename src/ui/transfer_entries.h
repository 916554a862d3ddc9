// The window's eighteen ways into the transfers: the Copy, Move and Delete
// buttons of both toolbars, the same three commands in both lists' pop-up
// menus and in the "&Local PC" and "&Remote PC" menus. Each one starts
// CopyFiles or DeleteFiles with its side and nothing else. The object belongs
// to the main window and holds, for the program's life, the transfer queue and
// the engines' view of the windows.
#pragma once

#include <QObject>
#include <functional>

#include "transfer/transfer_queue.h"
#include "ui/window_transfer_ui.h"

class QMenu;

namespace duplane {

struct TransferContext;

class TransferEntries : public QObject {
  Q_OBJECT

 public:
  // Connects every entry the window has built and adds the menu items it has
  // not, so the commands exist whichever order the window grows its menus in.
  TransferEntries(TForm1& form1, MessageBoxes& boxes, TMessageForm& message_form,
                  TCopyStatusForm& copy_status_form, TCopyMoveForm& copy_move_form,
                  TDeleteForm& delete_form);

  // What the entries (and dropping on the other list) start.
  void CopyFiles(Side source_side, bool is_move);
  void DeleteFiles(Side side);

  TransferQueue& queue() { return queue_; }

 private:
  enum class Command { kCopy, kMove, kDelete };
  void Start(Command command, Side side);
  void Run(const std::function<void(TransferContext&)>& engine);
  void ConnectEntries();
  void ConnectMenu(QMenu* menu, const char* const names[3], Side side);

  TForm1& form1_;
  WindowTransferUi ui_;
  TransferQueue queue_;
};

}  // namespace duplane
