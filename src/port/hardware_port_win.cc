// Reaching a real parallel port on Windows: TIOPort, through the IOPort driver
// on NT and with the port instructions on the Windows 95 family. A port that
// cannot be reached is reported with its address and TIOPort's own message.
#include "port/port_access.h"
#include "port/system_ports.h"
#include "port/tioport.h"

namespace duplane {

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
