// Reaching a real parallel port on Windows: TIOPort, through the IOPort driver
// on NT and with the port instructions on the Windows 95 family. A port that
// cannot be reached is reported with its address and TIOPort's own message.
#include "port/port_access.h"
#include "port/system_ports.h"
#include "port/tioport.h"

namespace duplane {

std::uint16_t LptBaseAddress(int number) {
  // The addresses the BIOS gives LPT1 to LPT3 on nearly every PC.
  static const std::uint16_t kBases[3] = {0x378, 0x278, 0x3BC};
  return number >= 1 && number <= 3 ? kBases[number - 1] : 0;
}

const char kSystemPortsRoot[] = "";

// Windows keeps no list of port addresses that a program can read as simply.
std::vector<SystemPort> ListSystemPorts() { return {}; }
std::vector<std::string> PortDrivers(int) { return {}; }
std::string PortHolder(int) { return ""; }

std::unique_ptr<PortAccess> OpenHardwarePort(std::uint16_t base, std::string* error,
                                             std::string* access) {
  try {
    IOPortModule& module = SystemIOPortModule();
    auto port = std::make_unique<TIOPort>(module);
    if (access) *access = module.is_nt() ? "the IOPort driver (IOPORT.SYS)" : "port instructions";
    return port;
  } catch (const EIOPortError& failure) {
    if (error) {
      *error = "Cannot reach the parallel port at " + HexAddress(base) + ": " + failure.what();
    }
    return nullptr;
  }
}

}  // namespace duplane
