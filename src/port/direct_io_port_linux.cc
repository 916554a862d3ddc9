// A parallel port reached with the processor's port instructions (ioperm),
// for a port no kernel driver knows about. It needs CAP_SYS_RAWIO, and a
// kernel in lockdown (as Secure Boot sets it up) refuses it even to root.
// Nothing answers at an address without a port, and its reads give 0xFF:
// the data register must hold what is written before the link waits on it.
#include <cerrno>
#include <cstring>

#include "port/hardware_ports_linux.h"
#include "port/port_registers.h"

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define DUPLANE_HAVE_IOPERM 1
#endif

namespace duplane {

#ifdef DUPLANE_HAVE_IOPERM
namespace {

class DirectIoPort : public PortAccess {
 public:
  explicit DirectIoPort(std::uint16_t base) : base_(base) {}
  ~DirectIoPort() override { ioperm(base_, 3, 0); }
  std::uint8_t ReadPort(std::uint32_t address) override {
    return inb(static_cast<unsigned short>(address));
  }
  void WritePort(std::uint32_t address, std::uint8_t value) override {
    outb(value, static_cast<unsigned short>(address));
  }

 private:
  std::uint16_t base_;
};

// Writes two patterns to the data register, with the data lines driven, and
// reads each back. The register is left at 0.
bool PortAnswers(PortAccess& port, std::uint16_t base) {
  port.WritePort(base + kLptControl, kControlIdle);
  bool answers = true;
  for (std::uint8_t pattern : {0x55, 0xAA}) {
    port.WritePort(base + kLptData, pattern);
    answers = answers && port.ReadPort(base + kLptData) == pattern;
  }
  port.WritePort(base + kLptData, 0x00);
  return answers;
}

}  // namespace

std::unique_ptr<PortAccess> OpenDirectIo(std::uint16_t base, std::string* access,
                                         std::string* reason) {
  if (ioperm(base, 3, 1) != 0) {
    const int err = errno;
    *reason = "direct port I/O refused (" + std::string(std::strerror(err)) +
              "): it needs root with CAP_SYS_RAWIO and a kernel not in lockdown";
    return nullptr;
  }
  auto port = std::make_unique<DirectIoPort>(base);
  if (!PortAnswers(*port, base)) {
    *reason = "no port answers there (its data register does not keep 0x55 and 0xAA)";
    return nullptr;
  }
  *access = "direct port I/O (ioperm)";
  return port;
}

#else

std::unique_ptr<PortAccess> OpenDirectIo(std::uint16_t, std::string*, std::string* reason) {
  *reason = "direct port I/O is not available on this processor";
  return nullptr;
}

#endif

}  // namespace duplane
