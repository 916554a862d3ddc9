// Reaching a real parallel port on Windows: TIOPort, through the IOPort driver
// on NT and with the port instructions on the Windows 95 family. A port that
// cannot be reached is reported with its address and TIOPort's own message.
#include <cstdio>

#include "link/port_access.h"
#include "link/tioport.h"

namespace duplane {

std::uint16_t LptBaseAddress(int number) {
  // The addresses the BIOS gives LPT1 to LPT3 on nearly every PC.
  static const std::uint16_t kBases[3] = {0x378, 0x278, 0x3BC};
  return number >= 1 && number <= 3 ? kBases[number - 1] : 0;
}

std::unique_ptr<PortAccess> OpenHardwarePort(std::uint16_t base, std::string* error) {
  try {
    return std::make_unique<TIOPort>(SystemIOPortModule());
  } catch (const EIOPortError& failure) {
    char name[16];
    std::snprintf(name, sizeof name, "0x%03X", base);
    if (error)
      *error = std::string("Cannot reach the parallel port at ") + name + ": " + failure.what();
    return nullptr;
  }
}

}  // namespace duplane
