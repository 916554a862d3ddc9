// The texts that name ports in messages, on every system.
#include "port/system_ports.h"

#include <cstdio>

namespace duplane {

std::string HexAddress(std::uint16_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%03X", address);
  return text;
}

std::string DescribeSystemPorts(const std::vector<SystemPort>& ports) {
  if (ports.empty()) {
    if (kSystemPortsRoot[0] == '\0') return "the system lists no parallel ports";
    return std::string("the system lists no parallel ports in ") + kSystemPortsRoot +
           " (load the port driver: sudo modprobe parport_pc)";
  }
  std::string text;
  for (const SystemPort& port : ports) {
    if (!text.empty()) text += ", ";
    text += port.name + " at " + HexAddress(port.base);
  }
  return "the system has " + text;
}

}  // namespace duplane
