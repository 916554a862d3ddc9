// The main window: the two panes side by side, the Link, Local PC, Remote PC
// and Help menus, the settings, connecting and disconnecting. It owns the
// program-wide state: both pane records, the search slots and the settings;
// the Connected flag lives in the link layer it reaches through LinkSession.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QSize>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/link.h"
#include "transfer/pane.h"
#include "transfer/search_slots.h"
#include "ui/function_key_bar.h"
#include "ui/pane_controls.h"
#include "ui/pane_settings.h"
#include "ui/prompt_dialog.h"
#include "ui/settings.h"
#include "ui/tree_icons.h"

class QAction;
class QSettings;
class QFileSystemWatcher;
class QTimer;
class QKeyEvent;
class QMenu;
class QSplitter;
class QTreeWidgetItem;

namespace duplane {

class HelpWindow;
class Link;
class LinkSession;
class MessageBoxes;
class TAboutForm;
class TConfigForm;
class TLinkForm;
class TMessageForm;

class TForm1 : public QMainWindow {
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
  bool connected() const;
  const Settings& settings() const { return settings_; }
  std::uint16_t port_base() const { return port_base_; }
  QSize remembered_size() const { return remembered_size_; }
  TPane& Pane(Side side) { return panes_[SideIndex(side)]; }
  PaneControls& Controls(Side side) { return controls_[SideIndex(side)]; }
  SearchSlots& search_slots() { return search_slots_; }
  HelpWindow* help_window() const { return help_window_; }
  void set_bulk_select(bool value) { bulk_select_ = value; }
  // The filespec of the pane SelectPane chose last.
  const QString& file_spec() const { return file_spec_; }
  Link& link();

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

  // Panes.
  void SelectPane(Side side);
  static QString NodePath(const QTreeWidgetItem* node);
  void FillDriveTree(Side side);
  bool ExpandNode(Side side, QTreeWidgetItem* node);
  void ChangeDirFromTree(Side side, QTreeWidgetItem* node);
  void SelectHomeDrive(Side side);
  void SyncTreeToPath(Side side);
  void PageControlChange(Side side);
  void PageChanged(Side side);
  void UpdateStatus(Side side);
  void SetListDragMode();
  std::int32_t AllocFBlock();
  // File lists.
  void FillList(Side side);
  void AddFileEntry(std::int32_t slot);
  void SortList(Side side);
  void ReverseList(Side side);
  void ColumnClicked(Side side, int column);
  // The header's arrow on the sort column, pointing the way it sorts.
  void ShowSortIndicator(Side side);
  void EnterSelectedDir(Side side);
  void SelectAllDirs(Side side);
  void SelectAllFiles(Side side);
  // Both at once: Ctrl+A in the list.
  void SelectAllEntries(Side side);
  // Leaving the filespec edit (or Enter in it): refill when it was changed.
  void FileSpecExit(Side side);

  // Expands `node` as a user's click would: ExpandNode decides whether it
  // opens. Used by the tree walk and by tests.
  void ExpandItem(Side side, QTreeWidgetItem* node);
  // Node at a pre-order position counting every node of the tree.
  static QTreeWidgetItem* NodeAtAbsoluteIndex(QTreeWidget* tree, int index);
  static int AbsoluteIndex(const QTreeWidgetItem* node);

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
  // Keys of a file list: Backspace, Insert and Space, + and -, Delete, Tab.
  // True when the key was used.
  bool ListKey(Side side, QKeyEvent* event);
  // A path typed in the directory panel: go there, or say it is not there.
  void GoToTypedPath(Side side, const QString& typed);
  // Backspace: the parent directory, with the cursor on the one just left.
  void GoUp(Side side);
  // After a page switch from inside the page: the focus to the page's view.
  void FocusShownView(Side side);
  // + and -: marks or unmarks the files a prompted pattern names.
  void SelectByPattern(Side side, bool select);
  // Insert and Space: marks or unmarks the cursor row and moves down.
  void ToggleCurrentRow(Side side);
  // Puts the cursor, and the selection, on a row (by its name: false when no
  // entry has it).
  bool SetCurrentRow(Side side, const std::string& name);
  void SetCurrentRow(Side side, int row);

  // The function keys (F5 Copy ... Ctrl+R Refresh) on the pane of `side`,
  // through that side's menu entry.
  void RunFunctionKey(Side side, FunctionKey key);
  FunctionKeyBar* function_keys() const { return function_keys_; }
  // The pane that has, or last had, the focus: the one the keys act on.
  Side focused_side() const { return focused_side_; }

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
  void ConnectListEvents(Side side);
  std::vector<bool> RememberSelection(Side side) const;
  void RestoreSelection(Side side, const std::vector<bool>& selected);
  void BulkSelectRows(Side side, int first, int count);
  void BuildPanes();
  void ConnectPaneEvents(Side side);
  // Rename, create directory, drag and drop, and the keyboard's way through
  // the window; built once both panes and their menus exist.
  void BuildPaneCommands();
  void BuildRenameCreateMenus(Side side);
  void ConnectListDragDrop(Side side);
  void SetTabOrder();
  void BuildFunctionKeys(QWidget* parent);
  void ConnectTypedPath(Side side);
  // Remembered panes (settings).
  void NoteDefaultColumnWidths();
  void ApplyRememberedLayout();
  void RestoreDirectory(Side side, const QString& dir, int page);
  void RestoreRemotePane();
  QString RemoteIdentityNow();
  void RememberPane(Side side);
  void SaveRememberedPanes(QSettings& store);
  void BuildLocalWatcher();
  // Points the watcher at the directory the Local list shows.
  void WatchLocalDir();
  void LocalDirChanged();
  // Reads the list again with the same entries marked and under the cursor.
  void RefillKeepingMarks(Side side);
  void NoteFocus(QWidget* now);
  void UpdateFunctionKeys();
  QMenu* SideMenu(Side side) const;
  void ConnectPopupKeys(FileListView* list);
  QString SideText(Side side) const;
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
  void ClearRemotePane();
  void InstallLinkCallbacks();
  void Pause(int milliseconds);
  bool IconsInUse(Side side) const { return side == Side::kLocal || settings_.remote_icons; }
  // Remote handlers act only while connected.
  bool Handles(Side side) const { return side == Side::kLocal || connected(); }
  void DeleteChildren(Side side, QTreeWidgetItem* node);
  void SetNodeIcon(Side side, QTreeWidgetItem* node);

  LinkSession& session_;
  MessageBoxes& boxes_;
  TLinkForm* link_form_ = nullptr;
  TMessageForm* message_form_ = nullptr;
  TConfigForm* config_form_ = nullptr;
  TAboutForm* about_form_ = nullptr;
  HelpWindow* help_window_ = nullptr;

  Settings settings_;
  RememberedPanes remembered_;
  std::array<std::vector<int>, 2> default_widths_;
  QString remote_identity_;  // of the module the Remote pane shows
  bool remote_restored_ = false;  // the last run's Remote pane was offered
  std::uint16_t port_base_ = 0x0378;
  QSize remembered_size_;
  bool frame_unknown_ = false;  // centred before the frame was known
  bool terminate_requested_ = false;
  std::function<void()> terminate_;
  int operations_ = 0;
  bool ending_ = false;
  bool ended_ = false;

  std::array<TPane, 2> panes_;
  std::array<PaneControls, 2> controls_;
  std::array<ImageList, 2> image_lists_;
  SearchSlots search_slots_;
  Side current_side_ = Side::kLocal;
  QString file_spec_;
  // The filespec each list was last read with, for the status line's note.
  std::array<QString, 2> filled_spec_;
  bool bulk_select_ = false;
  bool lfilespec_changed_ = false;
  bool rfilespec_changed_ = false;
  bool in_expand_item_ = false;
  QString last_pattern_ = QStringLiteral("*.*");  // what + and - asked for last
  // The file rows of the directory being read, appended after its directories.
  std::array<std::vector<std::string>, kPaneColumns> file_columns_;

  QSplitter* splitter1_ = nullptr;
  QMenu* local_pc_menu_ = nullptr;
  QMenu* remote_pc_menu_ = nullptr;
  FunctionKeyBar* function_keys_ = nullptr;
  QFileSystemWatcher* local_watcher_ = nullptr;
  QTimer* watch_settle_ = nullptr;
  Side focused_side_ = Side::kLocal;

  QPointer<QWidget> last_focus_;   // the window's focus widget before it was disabled
  bool focus_to_restore_ = false;  // enabled again, focus not yet given back
  DialogPrompts dialog_prompts_;
  Prompts* prompts_ = &dialog_prompts_;
};

}  // namespace duplane
