// FILETIME and DOS date-time arithmetic.
#include "localfs/file_times.h"

namespace duplane {

FileTime FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds) {
  const std::int64_t ticks = seconds * 10000000 + nanoseconds / 100;
  return static_cast<FileTime>(ticks + static_cast<std::int64_t>(kFileTimeUnixEpoch));
}

void UnixFromFileTime(FileTime time, std::int64_t* seconds, std::int64_t* nanoseconds) {
  // Unsigned difference first: FILETIMEs above 2^63 must not overflow a signed type.
  const std::int64_t ticks = static_cast<std::int64_t>(time - kFileTimeUnixEpoch);
  std::int64_t whole = ticks / 10000000;
  std::int64_t rest = ticks % 10000000;
  if (rest < 0) {
    rest += 10000000;
    whole -= 1;
  }
  *seconds = whole;
  *nanoseconds = rest * 100;
}

std::int32_t DosDateTime(std::time_t seconds) {
  std::tm local{};
#ifdef _WIN32
  if (localtime_s(&local, &seconds) != 0) return -1;
#else
  if (localtime_r(&seconds, &local) == nullptr) return -1;
#endif
  const int year = local.tm_year + 1900;
  if (year < 1980 || year > 2107) return -1;
  const std::uint32_t packed = (static_cast<std::uint32_t>(year - 1980) << 25) |
                               (static_cast<std::uint32_t>(local.tm_mon + 1) << 21) |
                               (static_cast<std::uint32_t>(local.tm_mday) << 16) |
                               (static_cast<std::uint32_t>(local.tm_hour) << 11) |
                               (static_cast<std::uint32_t>(local.tm_min) << 5) |
                               static_cast<std::uint32_t>(local.tm_sec / 2);
  return static_cast<std::int32_t>(packed);
}

}  // namespace duplane
