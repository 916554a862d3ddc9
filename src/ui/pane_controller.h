// One pane of the main window: its record (TPane) and its controls, the drive
// tree with its lazy expansion, the file list with its filling, sorting and
// selection, the filespec edit, and the status line. Everything that belongs
// to one side alone lives here; the main window keeps the frame, the menus and
// the link, and reaches it all through the PaneHost it gives each pane.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "link/link.h"
#include "transfer/pane.h"
#include "transfer/pane_access.h"
#include "ui/pane_controls.h"
#include "ui/tree_icons.h"

class QFileSystemWatcher;
class QKeyEvent;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace duplane {

class NamePatterns;
class PaneHost;

class PaneController : public QObject {
  Q_OBJECT

 public:
  // Builds the pane's controls under `parent` (the resource names of `side`)
  // and connects their events.
  PaneController(Side side, PaneHost& host, QWidget* parent);
  // Takes the controls with it unless their parent has already deleted them.
  ~PaneController() override;
  PaneController(const PaneController&) = delete;
  PaneController& operator=(const PaneController&) = delete;

  Side side() const { return side_; }
  TPane& record() { return pane_; }
  const TPane& record() const { return pane_; }
  PaneControls& controls() { return controls_; }
  const PaneControls& controls() const { return controls_; }
  // The Local pane always acts on input; the Remote pane only while connected.
  bool Active() const;
  bool ShowsFiles() const;
  // The filespec edit's text as it stands.
  QString FileSpec() const;
  // The selected rows as the engines take them, with the filespec.
  PaneSelection Selection() const;

  // The drive tree.
  static QString NodePath(const QTreeWidgetItem* node);
  // Node at a pre-order position counting every node of the tree.
  static QTreeWidgetItem* NodeAtAbsoluteIndex(QTreeWidget* tree, int index);
  static int AbsoluteIndex(const QTreeWidgetItem* node);
  void FillDriveTree();
  bool ExpandNode(QTreeWidgetItem* node);
  // Expands `node` as a user's click would: ExpandNode decides whether it
  // opens. Used by the tree walk and by tests.
  void ExpandItem(QTreeWidgetItem* node);
  void ChangeDirFromTree(QTreeWidgetItem* node);
  void SelectHomeDrive();
  void SyncTreeToPath();

  // The page shown changed (or the pane was just connected): the deferred
  // refresh of that page, or its status line.
  void PageChanged();
  void UpdateStatus();
  // While set, selection changes leave the status line alone.
  void set_bulk_select(bool value) { bulk_select_ = value; }

  // The file list.
  void FillList();
  void SortList();
  void ReverseList();
  void ColumnClicked(int column);
  void EnterSelectedDir();
  void SelectAllDirs();
  void SelectAllFiles();
  // Both at once: Ctrl+A in the list.
  void SelectAllEntries();
  // Leaving the filespec edit (or Enter in it): refill when it was changed.
  void FileSpecExit();
  // The most rows one list holds (tests make it small).
  void set_row_limit(std::int32_t limit) { row_limit_ = limit; }

  // Keys and cursor. Ctrl+PgUp, Alt+Up: the parent directory, with the
  // cursor on the one just left.
  void GoUp();
  // Puts the cursor, and the selection, on a row (by its name: false when no
  // entry has it).
  bool SetCurrentRow(const std::string& name);
  void SetCurrentRow(int row);
  // Insert and Space: marks or unmarks the cursor row and moves down.
  void ToggleCurrentRow();
  // + and -: marks or unmarks the files that `patterns` match.
  void MarkFiles(const duplane::NamePatterns& patterns, bool select);
  // The header's arrow on the sort column, pointing the way it sorts.
  void ShowSortIndicator();

  // The directory panel as an edit (a click, Ctrl+L): connected once the
  // window has built the pane's menus.
  void ConnectTypedPath();
  // A typed path: go there, or say it is not there and stay.
  void GoToTypedPath(const QString& typed);

  // Reads the list again with the same entries marked and under the cursor.
  void RefillKeepingMarks();

  // A new connection: no directory yet, sorted by name, both pages to be read.
  void StartOver();
  // The connection ended: empty list and tree, "<Disconnected>".
  void ShowDisconnected();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ConnectEvents();
  void PageControlChange();
  bool IconsInUse() const;
  void SetNodeIcon(QTreeWidgetItem* node);
  void DeleteChildren(QTreeWidgetItem* node);
  std::vector<bool> RememberSelection() const;
  void RestoreSelection(const std::vector<bool>& selected);
  void BulkSelectRows(int first, int count);
  // Changes the side's directory to `target` and takes the side's answer as
  // the pane's path; a refused change names the drive the pane was on.
  void ChangeDirTo(const std::string& target);
  // Goes to `target` from the list and reads the list there.
  void ListDirTo(const std::string& target);
  // Ctrl+PgUp, Alt+Up, Insert and Space in the list; true when the key was
  // used.
  bool ListKey(QKeyEvent* event);
  // After a page switch from inside the page: the focus to the page's view.
  void FocusShownView();
  // The Local list's directory watch, and what a change outside brings.
  void WatchDir();
  void DirChangedOutside();

  const Side side_;
  PaneHost& host_;
  TPane pane_;
  PaneControls controls_;
  QPointer<QWidget> panel_;  // controls_.panel, while it exists
  ImageList image_list_;
  bool bulk_select_ = false;
  bool filespec_changed_ = false;
  bool in_expand_item_ = false;
  std::int32_t row_limit_;
  bool reading_ = false;  // FillList runs
  // The filespec the list was last read with, for the status line's note.
  QString filled_spec_;
  QFileSystemWatcher* watcher_ = nullptr;  // Local only
  QTimer* settle_ = nullptr;
};

}  // namespace duplane
