// The texts that name ports in messages, on every system.
#include "port/system_ports.h"

#include <cstdio>

#include "port/port_access.h"

namespace duplane {

std::string HexAddress(std::uint16_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%03X", address);
  return text;
}

std::uint16_t LptBaseAddress(int number) {
  // The addresses the BIOS gives LPT1 to LPT3 on nearly every PC, where the
  // system lists no such port.
  static constexpr std::uint16_t kDefaultLptBases[3] = {0x378, 0x278, 0x3BC};
  if (number < 1 || number > 3) return 0;
  for (const SystemPort& port : ListSystemPorts()) {
    if (port.number == number - 1) return port.base;
  }
  return kDefaultLptBases[number - 1];
}

std::string DescribeSystemPorts(const std::vector<SystemPort>& ports) {
  if (ports.empty()) return NoSystemPortsText();
  std::string text;
  for (const SystemPort& port : ports) {
    if (!text.empty()) text += ", ";
    text += port.name + " at " + HexAddress(port.base);
  }
  return "the system has " + text;
}

}  // namespace duplane
