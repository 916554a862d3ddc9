// What the engines need from a pane, and nothing more: its directory, its
// selection as typed entries, and the two calls that follow a change on disk
// (the tree is stale, the list is refilled). The window answers from its list
// views, the command line and the tests from plain records; none hands out the
// pane itself, so an engine cannot reach the rows, the sort or the widgets.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/link.h"
#include "transfer/pane.h"

namespace duplane {

// One selected row of a pane's list.
struct PaneEntry {
  std::string name;       // as listed; the engines check it names one entry
  std::int64_t size = 0;  // bytes; 0 for a directory
  bool is_directory = false;
};

// The selection of one pane at the moment an operation starts.
struct PaneSelection {
  std::string file_spec = "*.*";       // filters the files of selected directories
  std::vector<PaneEntry> files;        // in list order
  std::vector<PaneEntry> directories;  // in list order; "<parent>"/"<root>" never
};

class PaneAccess {
 public:
  virtual ~PaneAccess() = default;

  // The side's current directory as LinkGetDir reported it; empty when none.
  virtual std::string PanePath(Side side) = 0;
  // The side's selection and filespec as they stand.
  virtual PaneSelection TakeSelection(Side side) = 0;
  // Directories changed under the side's list: its tree is resynchronised when
  // it shows next.
  virtual void MarkTreeStale(Side side) = 0;
  // Rereads the side's directory into its list (and panels, status line).
  virtual void Refill(Side side) = 0;
};

// The selection of `pane` as its rows read: the selected files of the file
// range and the selected directories of the directory range. Shared by every
// pane owner that keeps a TPane record.
PaneSelection SelectionOf(const TPane& pane, const std::string& file_spec,
                          const std::function<bool(std::int32_t row)>& is_selected);

}  // namespace duplane
