// Values the file operations take and give, the same on this PC and on the
// far one: the local branch acts on them and the link carries them unchanged.
#pragma once

#include <cstdint>

namespace duplane {

// Delete modes of LinkDeleteFile.
constexpr std::int32_t kDeleteRecycle = 0;
constexpr std::int32_t kDeleteNormal = 1;
constexpr std::int32_t kDeleteWipe = 2;

}  // namespace duplane
