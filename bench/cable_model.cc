// The real-cable model and the system-call measurement.
#include "cable_model.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

#include "bench_figures.h"

namespace duplane {

double CableModel::PathAccesses(const WireCounts& counts) {
  const double nibbles = 2.0 * static_cast<double>(counts.wire_bytes());
  return kAccessesPerNibble * nibbles +
         kAccessesPerExchange * static_cast<double>(counts.exchanges);
}

double CableModel::Seconds(const WireCounts& counts) const {
  return PathAccesses(counts) * PerAccessUs() / 1e6;
}

double MeasureIoctlMicroseconds() {
  // A pseudo-terminal master answers TIOCGPTN from its driver, much as ppdev
  // answers PPRSTATUS; /dev/null (which refuses every ioctl) still shows the
  // system call's own cost.
  int fd = ::open("/dev/ptmx", O_RDWR | O_NOCTTY | O_CLOEXEC);
  unsigned long request = TIOCGPTN;
  if (fd < 0) {
    fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    request = TIOCGWINSZ;
  }
  if (fd < 0) return 0;
  constexpr int kCalls = 100000;
  double best = 1e9;
  for (int round = 0; round < 5; ++round) {
    unsigned char buffer[64] = {};
    const double start = Now();
    for (int i = 0; i < kCalls; ++i) ioctl(fd, request, buffer);
    best = std::min(best, (Now() - start) / kCalls * 1e6);
  }
  ::close(fd);
  return best;
}

}  // namespace duplane
