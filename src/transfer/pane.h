// The record of one pane: the rows of its file list as typed values, the sort
// column, the row counts, the side's current directory and the two stale
// flags. The window owns one per side and makes the texts; the transfers read
// the selected rows' names, sizes and kinds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "localfs/find_record.h"

namespace duplane {

enum PaneColumn { kColName = 0, kColSize, kColAttr, kColModified, kColAccessed, kColCreated };
constexpr int kPaneColumns = 6;

// What a row stands for: the two special rows ("<parent>", "<root>") on top,
// then the directories, then the files.
enum class RowKind : std::uint8_t { kParent, kRoot, kDirectory, kFile };

struct PaneRow {
  // As listed; ".." and "\" for the special rows.
  std::string name;
  RowKind kind = RowKind::kFile;
  std::uint64_t size = 0;  // files only, as the find record gave it
  std::uint32_t attributes = 0;
  FileTime modified = 0;
  FileTime accessed = 0;
  FileTime created = 0;

  // Directories and both special rows.
  bool IsDirectory() const { return kind != RowKind::kFile; }
  bool IsSpecial() const { return kind == RowKind::kParent || kind == RowKind::kRoot; }
  // The size in bytes as a signed count; a size no file can have (2^63 or
  // more) counts as 0.
  std::int64_t Bytes() const;
};

// A row of each kind from a find record.
PaneRow DirectoryRow(const FindRecord& record);
PaneRow FileRow(const FindRecord& record);

struct TPane {
  std::vector<PaneRow> Rows;
  // Absolute index of the home drive's node in the tree; 0 when none matched.
  std::int32_t HomeNodeIndex = 0;
  // 1-based sort column (1 Name .. 6 Created); negative = descending; 0 = unsorted.
  std::int32_t SortColumn = 1;
  std::int32_t SpecialCount = 0;  // 0 or 2: "<parent>" and "<root>"
  std::int32_t DirCount = 0;
  std::int32_t FileCount = 0;
  // The side's current directory as LinkGetDir reported it, e.g. C:\WINDOWS.
  std::string Path;
  bool list_stale = false;  // changed through the tree: refill when "Files" shows
  bool tree_stale = false;  // changed through the list: sync when "Tree" shows

  std::int32_t RowCount() const { return SpecialCount + DirCount + FileCount; }
  std::int32_t FirstDirRow() const { return SpecialCount; }
  std::int32_t FirstFileRow() const { return SpecialCount + DirCount; }
  // The row, or null past the rows listed so far.
  const PaneRow* RowAt(std::int32_t row) const {
    return row >= 0 && static_cast<std::size_t>(row) < Rows.size() ? &Rows[row] : nullptr;
  }
};

}  // namespace duplane
