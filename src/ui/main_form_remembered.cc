// Taking the panes back to where the user left them: at start the Local
// pane's directory, page, sort order, filespec and column widths; at the
// first connection the Remote pane's, its directory only when the same
// Remote Module answers again. A remembered directory that is gone is passed over silently, and
// the pane starts at its home drive as it always has.
#include <QHeaderView>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTreeView>
#include <QTreeWidget>

#include "link/link.h"
#include "ui/main_form.h"

namespace duplane {

void TForm1::NoteDefaultColumnWidths() {
  for (Side side : {Side::kLocal, Side::kRemote}) {
    QHeaderView* header = Controls(side).list->header();
    std::vector<int>& widths = default_widths_[SideIndex(side)];
    widths.clear();
    for (int c = 0; c < kPaneColumns; ++c) widths.push_back(header->sectionSize(c));
  }
}

void TForm1::ApplyRememberedLayout() {
  for (Side side : {Side::kLocal, Side::kRemote}) {
    const PaneSettings& p = remembered_.panes[SideIndex(side)];
    PaneControls& c = Controls(side);
    c.filespec->setText(p.file_spec);
    if (static_cast<int>(p.column_widths.size()) == kPaneColumns) {
      for (int k = 0; k < kPaneColumns; ++k) c.list->header()->resizeSection(k, p.column_widths[k]);
    }
  }
  Pane(Side::kLocal).record().SortColumn = remembered_.panes[SideIndex(Side::kLocal)].sort_column;
}

void TForm1::RestoreDirectory(Side side, const QString& dir, int page) {
  if (!dir.isEmpty() && link().LinkChDir(side, dir.toStdString()) == 0) {
    Pane(side).record().Path = link().LinkGetDir(side, kCurrentDrive);
    // The tree walks down to it, as after a change in the list; each node it
    // selects makes its directory current, so the pane ends where it shows.
    Pane(side).SyncTreeToPath();
  }
  if (page == kFilesPage && Controls(side).tree->currentItem() != nullptr) {
    Controls(side).page_control->setCurrentIndex(kFilesPage);
  }
}

void TForm1::RestoreRemotePane() {
  const PaneSettings& p = remembered_.panes[SideIndex(Side::kRemote)];
  remote_identity_ = RemoteIdentityNow();
  // Only what the last run left: a reconnection within this run starts on
  // the Remote tree, as a connection always has.
  if (remote_restored_) return;
  remote_restored_ = true;
  if (remote_identity_ == remembered_.remote_module) RestoreDirectory(Side::kRemote, p.dir, p.page);
}

QString TForm1::RemoteIdentityNow() {
  const std::string drives = link().LinkGetDrives(Side::kRemote);
  const char home = link().LinkGetHomeDrive(Side::kRemote);
  const int number = home >= 'A' && home <= 'Z' ? home - 'A' + 1 : 0;
  const long long size =
      number > 0 ? link().LinkDiskSize(Side::kRemote, static_cast<std::uint8_t>(number)) : -1;
  return RemoteModuleIdentity(drives, home, size);
}

void TForm1::RememberPane(Side side) {
  PaneSettings& p = remembered_.panes[SideIndex(side)];
  const TPane& pane = Pane(side).record();
  p.dir = QString::fromStdString(pane.Path);
  p.sort_column = pane.SortColumn;
  p.page = Controls(side).page_control->currentIndex();
  if (side == Side::kRemote) remembered_.remote_module = remote_identity_;
}

void TForm1::SaveRememberedPanes(QSettings& store) {
  RememberPane(Side::kLocal);
  if (connected()) RememberPane(Side::kRemote);
  for (Side side : {Side::kLocal, Side::kRemote}) {
    PaneSettings& p = remembered_.panes[SideIndex(side)];
    PaneControls& c = Controls(side);
    p.file_spec = c.filespec->text();
    std::vector<int> widths;
    for (int k = 0; k < kPaneColumns; ++k) widths.push_back(c.list->header()->sectionSize(k));
    p.column_widths = widths == default_widths_[SideIndex(side)] ? std::vector<int>() : widths;
  }
  SavePanesTo(store, remembered_);
}

}  // namespace duplane
