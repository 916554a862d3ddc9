// The main window: the two panes side by side, the Link, Local PC, Remote PC
// and Help menus, the settings, connecting and disconnecting. It owns the
// program-wide state: both pane controllers, the search slots and the
// settings; the Connected flag lives in the link layer it reaches through
// LinkSession.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QSize>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/link.h"
#include "transfer/pane.h"
#include "transfer/search_slots.h"
#include "ui/pane_controller.h"
#include "ui/pane_host.h"
#include "ui/prompt_dialog.h"
#include "ui/settings.h"

class QAction;
class QMenu;
class QSplitter;

namespace duplane {

class HelpWindow;
class Link;
class LinkSession;
class MessageBoxes;
class TAboutForm;
class TConfigForm;
class TLinkForm;
class TMessageForm;

class TForm1 : public QMainWindow, private PaneHost {
  Q_OBJECT

 public:
  // Runs the window's creation work: the Qt version check, the settings, the
  // Local drive tree.
  TForm1(LinkSession& session, MessageBoxes& boxes, QWidget* parent = nullptr);
  ~TForm1() override;

  // The windows created after this one, in their order of creation.
  void SetLinkForm(TLinkForm* form) { link_form_ = form; }
  void SetMessageForm(TMessageForm* form) { message_form_ = form; }
  void SetConfigForm(TConfigForm* form) { config_form_ = form; }
  void SetAboutForm(TAboutForm* form) { about_form_ = form; }

  // The fixed pauses of Connect and Disconnect, in percent (100 = as designed).
  // Tests set 0 so they stay fast; nothing else changes.
  static void SetPausePercent(int percent);
  static int PausePercent();
  // What ends the program after a cable time-out answered with Cancel, once
  // the window has closed (and saved the settings); by default the
  // application's event loop is left.
  void SetTerminateHandler(std::function<void()> handler) { terminate_ = std::move(handler); }

  // True when the start-up check failed and the program is to end at once.
  bool terminate_requested() const { return terminate_requested_; }

  // A long operation runs for the life of one of these: Connect, Disconnect,
  // reading a list, a gathering, a transfer. They pump events, and the window
  // manager can close a disabled window, so a close request that arrives
  // meanwhile is refused; the operation's own Cancel is the way out.
  class Operation {
   public:
    explicit Operation(TForm1& form);
    ~Operation();
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

   private:
    TForm1& form_;
  };
  bool busy() const { return operations_ > 0; }
  // The user gave up after a cable time-out: the program ends, with the
  // settings saved, as soon as the running operation has returned.
  bool ending() const { return ending_; }
  void EndProgram();
  // Makes this the active window again once the busy or progress window,
  // which had the activation, has gone.
  void TakeActivation();
  bool connected() const override;
  const Settings& settings() const { return settings_; }
  std::uint16_t port_base() const { return port_base_; }
  QSize remembered_size() const { return remembered_size_; }
  SearchSlots& search_slots() override { return search_slots_; }
  HelpWindow* help_window() const { return help_window_; }
  Link& link() override;

  // Link and Help menus.
  void Connect1Click();
  void Disconnect1Click();
  void Configure1Click();
  void Contents1Click();
  void About1Click();
  void ShowHelpContext(int context);
  void ShowNotConnected();

  // Settings.
  void LoadSettings();
  void SaveSettings();
  void SelectPortBase();

  // The two panes.
  PaneController& Pane(Side side) { return *panes_[SideIndex(side)]; }
  PaneControls& Controls(Side side) { return Pane(side).controls(); }
  void SetListDragMode();

  QAction* action(const char* name) const;
  QMenu* LocalPC1() const { return local_pc_menu_; }
  QMenu* RemotePC1() const { return remote_pc_menu_; }

  // Rename and create directory on one side, from that side's menu and its
  // list's pop-up menu.
  void RenameOnPane(Side side);
  void CreateDirOnPane(Side side);
  // Where RenameOnPane and CreateDirOnPane ask for a name; the window's own
  // dialog unless a test puts a script in its place.
  void SetPrompts(Prompts* prompts) { prompts_ = prompts != nullptr ? prompts : &dialog_prompts_; }
  // LocalListDragDrop / RemoteListDragDrop: entries of the other side's list
  // dropped on the list of side `target_side`.
  void ListDragDrop(Side target_side, bool is_move);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Gives the focus back when the window is enabled again after a long
  // operation (Connect, Disconnect, a transfer) took it away.
  void changeEvent(QEvent* event) override;

 private:
  void BuildMenus();
  void BuildListMenus(Side side);
  void BuildPanes();
  // Rename, create directory, drag and drop, and the keyboard's way through
  // the window; built once both panes and their menus exist.
  void BuildPaneCommands();
  void BuildRenameCreateMenus(Side side);
  void ConnectListDragDrop(Side side);
  void SetTabOrder();
  void ConnectPopupKeys(FileListView* list);
  void CheckQtVersion();
  // The saved size made to fit: at least what the controls need, at most the
  // screen's free area.
  QSize FitToScreen(QSize wanted) const;
  void CenterOnScreen();
  // Once the window manager has put its frame around the window, the frame is
  // centred, and a window as large as the screen is made smaller by the
  // frame, so that the title bar and the borders show.
  void CenterFrameOnScreen();
  void FormCloseQuery();
  // Closes the window and ends the program once no operation runs.
  void FinishEnding();
  void FormResize();
  void SetLinkMenus(bool connected);
  void InstallLinkCallbacks();
  void Pause(int milliseconds);
  // The window's side of its panes.
  MessageBoxes& boxes() override { return boxes_; }
  bool remote_icons() const override { return settings_.remote_icons; }
  void LongOperationBegins() override;
  void LongOperationEnds() override;
  std::unique_ptr<ListingProgress> ListingStarted() override;
  void PageSwitched(Side side) override;

  LinkSession& session_;
  MessageBoxes& boxes_;
  TLinkForm* link_form_ = nullptr;
  TMessageForm* message_form_ = nullptr;
  TConfigForm* config_form_ = nullptr;
  TAboutForm* about_form_ = nullptr;
  HelpWindow* help_window_ = nullptr;

  Settings settings_;
  std::uint16_t port_base_ = 0x0378;
  QSize remembered_size_;
  bool frame_unknown_ = false;  // centred before the frame was known
  bool terminate_requested_ = false;
  std::function<void()> terminate_;
  int operations_ = 0;
  bool ending_ = false;
  bool ended_ = false;

  SearchSlots search_slots_;
  std::array<std::unique_ptr<PaneController>, 2> panes_;

  QSplitter* splitter1_ = nullptr;
  QMenu* local_pc_menu_ = nullptr;
  QMenu* remote_pc_menu_ = nullptr;

  QPointer<QWidget> last_focus_;   // the window's focus widget before it was disabled
  bool focus_to_restore_ = false;  // enabled again, focus not yet given back
  DialogPrompts dialog_prompts_;
  Prompts* prompts_ = &dialog_prompts_;
};

}  // namespace duplane
