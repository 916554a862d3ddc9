// Looking for links on the way to a path, one directory at a time from the
// top, so the first link met is the one named.
#include "transfer/link_on_path.h"

#include "localfs/find_record.h"

namespace duplane {

bool IsLinkAttributes(std::int32_t attributes) {
  return attributes != -1 && (attributes & kAttrReparsePoint) != 0;
}

std::string LinkOnTheWay(Link& link, Side side, const std::string& path) {
  for (std::size_t end = path.find_first_of("\\/"); end != std::string::npos;
       end = path.find_first_of("\\/", end + 1)) {
    const std::string dir = path.substr(0, end);
    // "" is the root of the current drive, "X:" a drive's current directory:
    // neither is a name that could be a link.
    const bool drive = dir.size() == 2 && dir[1] == ':';
    if (dir.empty() || drive) continue;
    if (IsLinkAttributes(link.LinkFileGetAttr(side, dir))) return dir;
  }
  return std::string();
}

}  // namespace duplane
