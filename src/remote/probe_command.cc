// The probe command line. Without a named port only the ports the kernel
// lists are tested: writing to an I/O address nobody named could reach a
// device that is not a parallel port at all.
#include "remote/probe_command.h"

#include <cstdio>
#include <vector>

#include "port/port_access.h"
#include "port/port_probe.h"
#include "port/system_ports.h"

namespace duplane {

int RunProbeCommand(const RemoteOptions& options) {
  std::vector<std::uint16_t> bases;
  if (options.base != 0) {
    bases.push_back(options.base);
  } else if (options.lpt != 0) {
    bases.push_back(LptBaseAddress(options.lpt));
  } else {
    for (const SystemPort& port : ListSystemPorts()) bases.push_back(port.base);
  }
  if (bases.empty()) {
    std::printf(
        "No parallel port found: %s. To try a port the system does not list, name it "
        "with --lpt N or --base ADDR.\n",
        DescribeSystemPorts({}).c_str());
    return 1;
  }
  const auto print = [](const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  };
  bool all_passed = true;
  for (std::size_t i = 0; i < bases.size(); ++i) {
    if (i > 0) print("");
    all_passed = ProbePort(bases[i], print) && all_passed;
  }
  return all_passed ? 0 : 1;
}

}  // namespace duplane
