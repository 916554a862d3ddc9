// Conversions between Unix time and the two Windows time forms on the wire:
// FILETIME (100 ns units since 1601, UTC) and the packed DOS date-time.
#pragma once

#include <cstdint>
#include <ctime>

#include "localfs/find_record.h"

namespace duplane {

constexpr std::uint64_t kFileTimeUnixEpoch = 116444736000000000ull;

FileTime FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds);
// Seconds and nanoseconds since 1970 of a FILETIME (may be negative for pre-1970).
void UnixFromFileTime(FileTime time, std::int64_t* seconds, std::int64_t* nanoseconds);
// The local-time DOS date-time of a Unix time; -1 when it cannot be packed
// (before 1980 or after 2107).
std::int32_t DosDateTime(std::time_t seconds);

}  // namespace duplane
