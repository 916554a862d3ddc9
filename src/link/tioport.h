// Windows port access: the processor's IN/OUT instructions on the Windows 95
// family, the IOPORT.SYS kernel driver (service "IOPort", device \\.\IOPort)
// on Windows NT. Compiled only on Windows.
#pragma once

#ifdef _WIN32

#include <stdexcept>
#include <string>

#include "link/port_access.h"

namespace duplane {

class EIOPortError : public std::runtime_error {
 public:
  explicit EIOPortError(const std::string& message) : std::runtime_error(message) {}
};

class TIOPort : public PortAccess {
 public:
  // Opens the driver on NT (installing and starting its service when needed);
  // raises EIOPortError when that fails.
  TIOPort();
  ~TIOPort() override;

  std::string About() const { return "TIOPort 1.1: byte-wide I/O port access"; }

  std::uint8_t ReadPort(std::uint32_t address) override;
  void WritePort(std::uint32_t address, std::uint8_t value) override;
};

// Module-level driver handling, shared by every TIOPort.
void OpenDriver();
void CloseDriver();
bool InstallDriver();
std::string DriverPath();

}  // namespace duplane

#endif  // _WIN32
