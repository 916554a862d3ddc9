// Symbolic links met on the way to a path that is about to be written: a link
// may lead anywhere on its PC, out of the directory the user chose, so nothing
// that creates or renames goes through one. Asked with LinkFileGetAttr, which
// every Remote Module answers: a link carries the reparse bit (0x400), as on
// Windows, whatever the module's own path walk does with links.
#pragma once

#include <cstdint>
#include <string>

#include "link/link.h"

namespace duplane {

// Attributes as LinkFileGetAttr answers them: those of a link (-1 is none).
bool IsLinkAttributes(std::int32_t attributes);

// The first directory on the way to `path` (every part before its last name,
// drive and root left out) that is a link on that side; empty when none is.
// The last name itself is not looked at: the operations that write it never
// follow a link there.
std::string LinkOnTheWay(Link& link, Side side, const std::string& path);

}  // namespace duplane
