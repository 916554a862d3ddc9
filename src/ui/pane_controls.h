// The controls of one pane (header, page control with "Tree" and "Files",
// tree, toolbar, filespec, list, directory and status panels), built the same
// way for both sides under the resource names of that side.
#pragma once

#include "link/link.h"
#include "ui/directory_panel.h"
#include "ui/file_list_view.h"

class QLabel;
class QLineEdit;
class QTabWidget;
class QToolButton;
class QTreeView;
class QTreeWidget;
class QWidget;

namespace duplane {

class PaneListModel;
struct TPane;

struct PaneControls {
  QWidget* panel = nullptr;  // LeftPanel / RightPanel
  QLabel* header = nullptr;
  QTabWidget* page_control = nullptr;
  QTreeWidget* tree = nullptr;
  QWidget* toolbar = nullptr;
  QToolButton* sel_dirs_btn = nullptr;
  QToolButton* sel_files_btn = nullptr;
  QToolButton* copy_btn = nullptr;
  QToolButton* move_btn = nullptr;
  QToolButton* delete_btn = nullptr;
  QToolButton* refresh_btn = nullptr;
  QWidget* filespec_panel = nullptr;  // Panel1 / Panel2
  QLineEdit* filespec = nullptr;
  FileListView* list = nullptr;
  PaneListModel* model = nullptr;
  DirectoryPanel* dir = nullptr;
  QLabel* status = nullptr;
};

// Page indexes of the page controls.
inline constexpr int kTreePage = 0;
inline constexpr int kFilesPage = 1;

PaneControls BuildPaneControls(Side side, TPane& pane, QWidget* parent);

}  // namespace duplane
