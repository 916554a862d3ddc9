// The two ways to a real parallel port on Linux, which OpenHardwarePort
// chooses between: the kernel's ppdev device of a port the kernel knows, and
// direct port I/O for one it does not. Each gives the port, a short account
// of the way it took (for the self-test's report), or a reason that says what
// to do.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "port/port_access.h"
#include "port/system_ports.h"

namespace duplane {

std::unique_ptr<PortAccess> OpenPpdev(const SystemPort& port, std::string* access,
                                      std::string* reason);

std::unique_ptr<PortAccess> OpenDirectIo(std::uint16_t base, std::string* access,
                                         std::string* reason);

}  // namespace duplane
