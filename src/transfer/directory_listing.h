// Reading one directory of either side into a pane record, the way the file
// list shows it: the "<parent>" and "<root>" rows on top when the directory
// has a parent, then the directories, then the files, each in search order.
// Every entry is one exchange over the cable, so a read reports each entry to
// a callback that may stop it (the window shows a count and a Cancel button),
// and a read never holds more rows than a limit.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "link/link.h"
#include "transfer/pane.h"
#include "transfer/search_slots.h"

namespace duplane {

// The rows a list holds at the most: a directory that seems to have no end (a
// Remote Module that answers every LinkFindNext with another entry) stops
// there instead of filling the memory.
inline constexpr std::int32_t kListingRowLimit = 100000;

struct ListingOptions {
  // "*.*" lists every file; any other pattern lists the files that match it
  // (the directories are listed whatever it says). A pattern that is more
  // than one name (..\*, C:*) would list another directory's files as this
  // one's, so it lists no file at all.
  std::string file_spec = "*.*";
  std::int32_t row_limit = std::numeric_limits<std::int32_t>::max();
  // Called after each entry with the rows held so far; false stops the read.
  std::function<bool(std::int32_t rows)> progress;
};

enum class ListingEnd {
  kComplete,
  kNoSlot,        // every search slot was taken: nothing was read
  kStopped,       // the progress callback said stop; the rows read so far stay
  kLimitReached,  // row_limit rows are held; the rest was not read
};

// Replaces `pane`'s rows and counts with directory `path` of `side` (a path as
// LinkGetDir gives it). The rest of the record (path, sort, stale flags) is
// left as it is.
ListingEnd ReadListing(Link& link, SearchSlots& slots, Side side, const std::string& path,
                       const ListingOptions& options, TPane* pane);

}  // namespace duplane
