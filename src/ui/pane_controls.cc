// Pane construction. Names follow the window resource so tests and
// screenshots find every control by its objectName.
#include "ui/pane_controls.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/file_list_view.h"
#include "ui/pane_list_model.h"

namespace duplane {
namespace {

template <typename Label = QLabel>
Label* LoweredPanel(const char* name, QWidget* parent) {
  auto* label = new Label(parent);
  label->setObjectName(name);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setTextFormat(Qt::PlainText);  // a directory may be called <b>
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setMinimumWidth(1);  // long paths must not widen the pane
  // As high when empty as with text, so the pages do not jump.
  label->setMinimumHeight(label->fontMetrics().height() + 2 * label->frameWidth() + 4);
  return label;
}

QToolButton* SpeedButton(const QString& name, QStyle::StandardPixmap icon, const char* hint,
                         QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setFixedSize(30, 30);
  button->setAutoRaise(true);
  button->setIcon(QApplication::style()->standardIcon(icon));
  button->setToolTip(QString::fromLatin1(hint));
  return button;
}

// Column widths come from sample texts in the list's own font, so they fit the
// longest usual value of each column. Names are no longer eight and three
// letters: the Name column takes a name of today's length, yet leaves the Size
// column in view beside it at the window's design size.
void SetColumnWidths(QTreeView* list) {
  static const char* const kSamples[kPaneColumns] = {
      "XMinutes of 2001.docX",  "X4000000000X", "XadshrX",
      "X0000-00-00  00:00:00X", "X0000-00-00X", "X0000-00-00  00:00:00.00X"};
  const QFontMetrics metrics(list->font());
  for (int c = 0; c < kPaneColumns; ++c) {
    list->header()->resizeSection(c, metrics.horizontalAdvance(QString::fromLatin1(kSamples[c])));
  }
}

}  // namespace

PaneControls BuildPaneControls(Side side, TPane& pane, QWidget* parent) {
  PaneControls p;
  const QString prefix = side == Side::kLocal ? "Local" : "Remote";
  const QString letter = side == Side::kLocal ? "L" : "R";

  p.panel = new QWidget(parent);
  p.panel->setObjectName(side == Side::kLocal ? "LeftPanel" : "RightPanel");

  p.header = new QLabel(side == Side::kLocal ? "Local PC" : "Remote PC", p.panel);
  p.header->setObjectName(prefix + "Header");
  QFont bold = p.header->font();
  bold.setBold(true);
  p.header->setFont(bold);
  p.header->setAlignment(Qt::AlignCenter);
  p.header->setFrameStyle(QFrame::Panel | QFrame::Raised);

  p.page_control = new QTabWidget(p.panel);
  p.page_control->setObjectName(prefix + "PageControl");
  p.page_control->setStyleSheet("QTabBar::tab { min-width: 75px; }");

  auto* tree_page = new QWidget;
  tree_page->setObjectName(letter + "TreeTS");
  p.tree = new QTreeWidget(tree_page);
  p.tree->setObjectName(prefix + "Tree");
  p.tree->setHeaderHidden(true);
  p.tree->setIndentation(19);
  p.tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  p.tree->setSelectionMode(QAbstractItemView::SingleSelection);
  p.tree->setRootIsDecorated(true);
  if (side == Side::kRemote) {
    // The Remote tree hides its selection while it does not have the focus.
    p.tree->setStyleSheet(
        "QTreeWidget::item:selected:!focus { background: transparent; color: palette(text); }");
  }
  auto* tree_layout = new QVBoxLayout(tree_page);
  tree_layout->setContentsMargins(0, 0, 0, 0);
  tree_layout->addWidget(p.tree);
  p.page_control->addTab(tree_page, "Tree");

  auto* files_page = new QWidget;
  files_page->setObjectName(letter + "FilesTS");
  p.toolbar = new QWidget(files_page);
  p.toolbar->setObjectName(prefix + "Toolbar");
  p.toolbar->setFixedHeight(40);
  auto* tool_layout = new QHBoxLayout(p.toolbar);
  tool_layout->setContentsMargins(4, 5, 4, 5);
  tool_layout->setSpacing(0);
  p.sel_dirs_btn =
      SpeedButton(letter + "SelDirsBtn", QStyle::SP_DirIcon, "Select all directories", p.toolbar);
  p.sel_files_btn =
      SpeedButton(letter + "SelFilesBtn", QStyle::SP_FileIcon, "Select all files", p.toolbar);
  p.copy_btn = SpeedButton(
      letter + "CopyBtn", QStyle::SP_DialogSaveButton,
      side == Side::kLocal ? "Copy selected files to Remote PC" : "Copy selected files to Local PC",
      p.toolbar);
  p.move_btn = SpeedButton(
      letter + "MoveBtn", side == Side::kLocal ? QStyle::SP_ArrowRight : QStyle::SP_ArrowLeft,
      side == Side::kLocal ? "Move selected files to Remote PC" : "Move selected files to Local PC",
      p.toolbar);
  p.delete_btn = SpeedButton(letter + "DeleteBtn", QStyle::SP_TrashIcon,
                             side == Side::kLocal ? "Delete selected files on Local PC"
                                                  : "Delete selected files on Remote PC",
                             p.toolbar);
  p.refresh_btn = SpeedButton(
      letter + "RefreshBtn", QStyle::SP_BrowserReload,
      side == Side::kLocal ? "Refresh local file list" : "Refresh remote file list", p.toolbar);
  for (QToolButton* b :
       {p.sel_dirs_btn, p.sel_files_btn, p.copy_btn, p.move_btn, p.delete_btn, p.refresh_btn}) {
    tool_layout->addWidget(b);
  }
  tool_layout->addStretch();

  p.filespec_panel = new QWidget(files_page);
  p.filespec_panel->setObjectName(side == Side::kLocal ? "Panel1" : "Panel2");
  auto* spec_layout = new QHBoxLayout(p.filespec_panel);
  spec_layout->setContentsMargins(0, 0, 0, 0);
  spec_layout->addWidget(new QLabel("  Filespec:", p.filespec_panel));
  p.filespec = new QLineEdit("*.*", p.filespec_panel);
  p.filespec->setObjectName(letter + "FileSpec");
  spec_layout->addWidget(p.filespec, 1);

  p.list = new FileListView(files_page);
  p.list->setObjectName(prefix + "List");
  p.model = new PaneListModel(pane, p.list);
  p.list->setModel(p.model);
  p.list->setRootIsDecorated(false);
  p.list->setItemsExpandable(false);
  p.list->setUniformRowHeights(true);
  p.list->setAllColumnsShowFocus(true);
  p.list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  p.list->setSelectionBehavior(QAbstractItemView::SelectRows);
  p.list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  p.list->header()->setStretchLastSection(false);
  p.list->header()->setSectionsMovable(false);
  SetColumnWidths(p.list);

  auto* files_layout = new QVBoxLayout(files_page);
  files_layout->setContentsMargins(0, 0, 0, 0);
  files_layout->setSpacing(0);
  files_layout->addWidget(p.toolbar);
  files_layout->addWidget(p.filespec_panel);
  files_layout->addWidget(p.list, 1);
  p.page_control->addTab(files_page, "Files");
  p.page_control->setCurrentIndex(kTreePage);

  p.dir = LoweredPanel<DirectoryPanel>(side == Side::kLocal ? "LocalDir" : "RemoteDir", p.panel);
  p.status = LoweredPanel(side == Side::kLocal ? "LocalStatus" : "RemoteStatus", p.panel);
  p.dir->editor()->setObjectName(prefix + "DirEdit");
  if (side == Side::kRemote) p.dir->SetText("<Disconnected>");

  auto* layout = new QVBoxLayout(p.panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  layout->addWidget(p.header);
  layout->addWidget(p.page_control, 1);
  layout->addWidget(p.dir);
  layout->addWidget(p.status);
  return p;
}

}  // namespace duplane
