// Choosing the way to a real parallel port on Linux. A port the kernel knows
// (one of its /proc/sys/dev/parport entries has that base address) is reached
// only through its ppdev device: the kernel's driver owns it, and driving its
// registers behind that driver's back would fight lp or another program.
// Direct I/O is for an address the kernel does not know.
#include "port/hardware_ports_linux.h"
#include "port/port_access.h"

namespace duplane {

std::unique_ptr<PortAccess> OpenHardwarePort(std::uint16_t base, std::string* error,
                                             std::string* access) {
  std::string way;
  std::string reason;
  const std::vector<SystemPort> ports = ListSystemPorts();
  std::unique_ptr<PortAccess> port;
  bool known = false;
  for (const SystemPort& candidate : ports) {
    if (candidate.base != base) continue;
    known = true;
    port = OpenPpdev(candidate, &way, &reason);
    break;
  }
  if (!known) {
    port = OpenDirectIo(base, &way, &reason);
    if (!port)
      reason = "no parallel port found there; " + DescribeSystemPorts(ports) + "; " + reason;
  }
  if (port) {
    if (access) *access = way;
    return port;
  }
  if (error) *error = "Cannot reach the parallel port at " + HexAddress(base) + ": " + reason;
  return nullptr;
}

}  // namespace duplane
