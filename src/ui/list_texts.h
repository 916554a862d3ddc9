// The texts of one file-list row: size, attribute letters and the three time
// columns. Every time text has a fixed width, so sorting the texts sorts the
// times as they show.
#pragma once

#include <cstdint>
#include <string>

#include "localfs/find_record.h"
#include "transfer/pane.h"

namespace duplane {

// "adshr" with "." for each bit that is clear: archive, directory, system,
// hidden, read-only.
std::string AttrText(std::uint32_t attributes);
// Local time "YYYY-MM-DD  hh:mm:ss"; a zero FILETIME gives "0000-00-00  00:00:00".
std::string ModifiedText(FileTime time);
// Local date "YYYY-MM-DD"; a zero FILETIME gives "0000-00-00".
std::string AccessedText(FileTime time);
// Local time with hundredths "YYYY-MM-DD  hh:mm:ss.cc".
std::string CreatedText(FileTime time);

// The text of one cell of the list: the name; "<parent>", "<root>", "<dir>"
// or the size in bytes; the attribute letters; the three times (none for the
// special rows).
std::string CellText(const PaneRow& row, int column);

}  // namespace duplane
