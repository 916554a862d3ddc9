// Spreads, load average and CPU time for the benchmarks.
#include "bench_figures.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace duplane {

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return "load " + one + " " + five + " " + fifteen;
}

Spread SpreadOf(std::vector<double> values) {
  Spread spread;
  if (values.empty()) return spread;
  std::sort(values.begin(), values.end());
  spread.min = values.front();
  spread.max = values.back();
  const std::size_t middle = values.size() / 2;
  spread.median = values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
  return spread;
}

std::string Describe(const Spread& spread, const char* format) {
  char min[32], median[32], max[32];
  std::snprintf(min, sizeof min, format, spread.min);
  std::snprintf(median, sizeof median, format, spread.median);
  std::snprintf(max, sizeof max, format, spread.max);
  return std::string("min ") + min + " / median " + median + " / max " + max;
}

double CpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(in, line);
  // The command name may hold spaces; the fields after it are plain.
  const std::size_t close = line.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(line.substr(close + 2));
  std::string skip;
  for (int field = 3; field < 14; ++field) fields >> skip;
  double user = 0, system = 0;
  fields >> user >> system;
  return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace duplane
