// Byte-wide access to the I/O registers of a parallel port. The link layer, and
// everything above it, reaches the cable only through these two calls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace duplane {

class PortAccess {
 public:
  virtual ~PortAccess() = default;
  virtual std::uint8_t ReadPort(std::uint32_t address) = 0;
  virtual void WritePort(std::uint32_t address, std::uint8_t value) = 0;
  // The first access that failed, with its reason ("" when none did): an
  // access gives no result of its own, so a port that stops answering is
  // reported where the link is found lost.
  virtual std::string Fault() const { return ""; }
};

// Opens the hardware port whose data register sits at `base`: on Linux the
// ppdev device of the port the kernel lists at that address, direct I/O
// (ioperm) only for an address the kernel does not list; the IOPORT.SYS
// driver on Windows. `access`, when given, receives the way taken. Returns
// null and a one-line reason naming the port when it cannot be reached.
std::unique_ptr<PortAccess> OpenHardwarePort(std::uint16_t base, std::string* error,
                                             std::string* access = nullptr);

// The base address of LPT`number` (1-based) as the system reports it, or 0.
std::uint16_t LptBaseAddress(int number);

}  // namespace duplane
