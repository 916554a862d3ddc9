// What the window remembers of its two panes between runs, kept in the same
// settings store as the window's own values: each pane's directory, sort
// column and direction, filespec, column widths and page. A value equal to
// its default is not stored (and an old one is removed), so a window that
// was never used leaves the store as it always was.
#pragma once

#include <QString>
#include <array>
#include <string>
#include <vector>

class QSettings;

namespace duplane {

struct PaneSettings {
  QString dir;          // empty: none remembered
  int sort_column = 1;  // as TPane::SortColumn: 1..6, negative descending
  QString file_spec = QStringLiteral("*.*");
  std::vector<int> column_widths;  // empty: the widths the window works out
  int page = 0;                    // 0 "Tree", 1 "Files"
};

struct RememberedPanes {
  std::array<PaneSettings, 2> panes;  // Local, Remote
  // The Remote Module the Remote directory belongs to (RemoteModuleIdentity);
  // the directory is only offered again to the same module.
  QString remote_module;
};

// Reads the pane values; anything missing or unreadable gives the default.
RememberedPanes LoadPanesFrom(QSettings& store);
// Writes the pane values after the window's own, as text like them.
void SavePanesTo(QSettings& store, const RememberedPanes& panes);

// How a Remote Module is known again on a later connection: its drive
// letters, its home drive and the size of that drive, which the program asks
// for anyway or at the price of one exchange. Two PCs alike in all three are
// taken for one; the worst that follows is a first directory that exists on
// both, never a change to any file.
QString RemoteModuleIdentity(const std::string& drives, char home, long long home_size);

}  // namespace duplane
