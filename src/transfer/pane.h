// The record of one pane: the rows of its file list as six text columns, the
// sort column, the row counts, the side's current directory and the two stale
// flags. The window owns one per side; the transfers read the rows.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace duplane {

enum PaneColumn { kColName = 0, kColSize, kColAttr, kColModified, kColAccessed, kColCreated };
constexpr int kPaneColumns = 6;

struct TPane {
  // Row i of the list is string i of each column.
  std::array<std::vector<std::string>, kPaneColumns> Columns;
  // Absolute index of the home drive's node in the tree; 0 when none matched.
  std::int32_t HomeNodeIndex = 0;
  // 1-based sort column (1 Name .. 6 Created); negative = descending; 0 = unsorted.
  std::int32_t SortColumn = 1;
  std::int32_t SpecialCount = 0;  // 0 or 2: "<parent>" and "<root>"
  std::int32_t DirCount = 0;
  std::int32_t FileCount = 0;
  // Files of the directory that the filespec kept out of the list.
  std::int32_t HiddenFiles = 0;
  // The side's current directory as LinkGetDir reported it, e.g. C:\WINDOWS.
  std::string Path;
  bool list_stale = false;  // changed through the tree: refill when "Files" shows
  bool tree_stale = false;  // changed through the list: sync when "Tree" shows

  std::int32_t RowCount() const { return SpecialCount + DirCount + FileCount; }
  std::int32_t FirstDirRow() const { return SpecialCount; }
  std::int32_t FirstFileRow() const { return SpecialCount + DirCount; }
};

}  // namespace duplane
