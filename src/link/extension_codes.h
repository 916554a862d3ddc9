// The operation codes two Duplane ends add to the command protocol, and the
// limits both ends hold them to. docs/protocol-extensions.md describes every
// field; the program sends none of these codes before the Remote Module has
// answered the probe below with true.
#pragma once

#include <cstdint>

namespace duplane {

// A path no file system holds: a module that knows only the plain codes
// answers LinkFileExists of it with false; ours answers true.
constexpr const char* kExtensionsProbePath = "\\\\?\\duplane\\extensions\\1";

enum ExtensionCode : std::uint8_t {
  kExtFileReadPacked = 33,
  kExtFileWritePacked = 34,
  kExtFindFirstBatch = 35,
  kExtFindNextBatch = 36,
  kExtListSubDirsBatch = 37,
  kExtRangeCrc = 38,
};
constexpr std::uint8_t kFirstExtensionCode = kExtFileReadPacked;
constexpr std::uint8_t kLastExtensionCode = kExtRangeCrc;

// Entries per listing batch: the module takes the count the program asks for
// into 1..kMaxBatchEntries, and stops earlier once the batch's plain bytes
// would pass kMaxBatchPlain.
constexpr std::int32_t kMaxBatchEntries = 4096;
constexpr std::int32_t kMaxBatchPlain = 256 * 1024;
// The plain bytes of one sub-directory batch. A directory whose names need
// more is answered with kSubDirsTooMany, and the program asks with code 32.
constexpr std::int32_t kMaxSubDirsPlain = 16 * 1024 * 1024;
constexpr std::int32_t kSubDirsTooMany = -2;
// Bytes one range-CRC request folds at most: the module's disk must get
// through them well inside the program's 10 s wait.
constexpr std::int64_t kMaxRangeCrcSpan = 16 * 1024 * 1024;

}  // namespace duplane
