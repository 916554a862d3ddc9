// Figures that hold on a shared machine: the spread of repeated runs, the load
// average to print beside every wall-clock figure, and CPU time per process.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace duplane {

// Seconds on the monotonic clock.
double Now();

// "load 1.02 0.87 0.55" from /proc/loadavg.
std::string LoadAverage();

struct Spread {
  double min = 0, median = 0, max = 0;
};
Spread SpreadOf(std::vector<double> values);
// "min 812 / median 903 / max 1044", each printed with `format` ("%.0f").
std::string Describe(const Spread& spread, const char* format);

// User plus system CPU seconds a process has used so far.
double CpuSeconds(pid_t pid);

}  // namespace duplane
