// Reaching a real parallel port on Linux: the ppdev device whose base address
// matches, claimed exclusively; direct port I/O (ioperm) as the fallback for
// root; a plain reason naming the port when neither works.
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "link/port_access.h"

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define DUPLANE_HAVE_IOPERM 1
#endif

namespace duplane {
namespace {

constexpr int kMaxParports = 8;
constexpr std::uint16_t kDefaultLptBases[3] = {0x378, 0x278, 0x3BC};

std::string Hex(std::uint16_t base) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%03X", base);
  return text;
}

// First number of /proc/sys/dev/parport/parportN/base-addr, or -1.
long ProcBaseAddress(int index) {
  std::ifstream in("/proc/sys/dev/parport/parport" + std::to_string(index) + "/base-addr");
  long base = -1;
  if (!(in >> base)) return -1;
  return base;
}

class PpdevPort : public PortAccess {
 public:
  PpdevPort(int fd, std::uint16_t base) : fd_(fd), base_(base) {}
  ~PpdevPort() override {
    ioctl(fd_, PPRELEASE);
    close(fd_);
  }
  std::uint8_t ReadPort(std::uint32_t address) override {
    unsigned char value = 0xFF;
    if (address == base_) {
      ioctl(fd_, PPRDATA, &value);
    } else if (address == base_ + 1u) {
      ioctl(fd_, PPRSTATUS, &value);
    } else if (address == base_ + 2u) {
      ioctl(fd_, PPRCONTROL, &value);
    }
    return value;
  }
  void WritePort(std::uint32_t address, std::uint8_t value) override {
    unsigned char byte = value;
    if (address == base_) {
      ioctl(fd_, PPWDATA, &byte);
    } else if (address == base_ + 2u) {
      ioctl(fd_, PPWCONTROL, &byte);
    }
  }

 private:
  int fd_;
  std::uint16_t base_;
};

#ifdef DUPLANE_HAVE_IOPERM
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
#endif

std::unique_ptr<PortAccess> OpenPpdev(int index, std::uint16_t base, std::string* reason) {
  const std::string device = "/dev/parport" + std::to_string(index);
  const int fd = open(device.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    if (err == EACCES || err == EPERM) {
      *reason = "permission denied on " + device + ": add the user to group lp and log in again";
    } else if (err == ENOENT) {
      *reason = device + " does not exist: load the ppdev module (modprobe ppdev)";
    } else {
      *reason = device + ": " + std::strerror(err);
    }
    return nullptr;
  }
  if (ioctl(fd, PPEXCL) != 0 || ioctl(fd, PPCLAIM) != 0) {
    const int err = errno;
    *reason = err == EBUSY ? device + " is in use by another program (a printer driver?)"
                           : device + " cannot be claimed: " + std::strerror(err);
    close(fd);
    return nullptr;
  }
  int mode = IEEE1284_MODE_COMPAT;
  ioctl(fd, PPSETMODE, &mode);
  return std::make_unique<PpdevPort>(fd, base);
}

}  // namespace

std::uint16_t LptBaseAddress(int number) {
  if (number < 1 || number > 3) return 0;
  const long base = ProcBaseAddress(number - 1);
  if (base > 0 && base <= 0xFFFF) return static_cast<std::uint16_t>(base);
  return kDefaultLptBases[number - 1];
}

std::unique_ptr<PortAccess> OpenHardwarePort(std::uint16_t base, std::string* error) {
  const std::string name = "parallel port at " + Hex(base);
  std::string reason;
  for (int index = 0; index < kMaxParports; ++index) {
    if (ProcBaseAddress(index) != base) continue;
    if (auto port = OpenPpdev(index, base, &reason)) return port;
    break;
  }
  if (reason.empty()) reason = "no such port (no /dev/parportN has this base address)";
#ifdef DUPLANE_HAVE_IOPERM
  if (geteuid() == 0 && ioperm(base, 3, 1) == 0) return std::make_unique<DirectIoPort>(base);
#endif
  if (error) *error = "Cannot reach the " + name + ": " + reason;
  return nullptr;
}

}  // namespace duplane
