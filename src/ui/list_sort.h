// Ordering the rows of a pane record: the quicksort of one row range by one
// column, and reversing a range. Whole rows move and a selection flag per row
// moves with its row, so the same entries stay selected.
#pragma once

#include <vector>

#include "transfer/pane.h"

namespace duplane {

// Sorts rows `first`..`last` (inclusive) ascending by the 1-based column `key`:
// Size (2) as signed 64-bit numbers, every other column by the text the list
// shows, in lower case, compared byte by byte. `selected` has one flag per row of the pane.
void SortRange(TPane& pane, std::vector<bool>& selected, int first, int last, int key);

// Reverses rows `first`..`last` (inclusive).
void ReverseRange(TPane& pane, std::vector<bool>& selected, int first, int last);

}  // namespace duplane
