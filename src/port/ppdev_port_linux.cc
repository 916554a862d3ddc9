// A parallel port through the kernel's ppdev driver (/dev/parportN).
//
// Claiming: an exclusive claim keeps every other driver off the port while
// the link runs, but the kernel refuses it (ENXIO, "No such device or
// address", from PPCLAIM after PPEXCL) whenever another driver is registered
// on the port, which the printer driver lp is by default. Then the port is
// claimed without exclusivity: lp only takes the port while it prints, and
// cannot while our claim stands. A port that another program holds claimed
// right now is not claimed at all, since the kernel would block the claim
// until that program lets go.
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "port/hardware_ports_linux.h"
#include "port/port_registers.h"

namespace duplane {
namespace {

// The ioctl's name and the reason, in one clause.
std::string IoctlFailure(const char* name, const std::string& device, int err) {
  return std::string(name) + " on " + device + " failed: " + std::strerror(err);
}

class PpdevPort : public PortAccess {
 public:
  PpdevPort(int fd, std::uint16_t base, std::string device)
      : fd_(fd), base_(base), device_(std::move(device)) {}
  ~PpdevPort() override {
    ioctl(fd_, PPRELEASE);
    close(fd_);
  }
  std::uint8_t ReadPort(std::uint32_t address) override {
    unsigned char value = 0xFF;
    if (address == base_ + kLptData) {
      Check(ioctl(fd_, PPRDATA, &value), "PPRDATA");
    } else if (address == base_ + kLptStatus) {
      Check(ioctl(fd_, PPRSTATUS, &value), "PPRSTATUS");
    } else if (address == base_ + kLptControl) {
      Check(ioctl(fd_, PPRCONTROL, &value), "PPRCONTROL");
    }
    return value;
  }
  void WritePort(std::uint32_t address, std::uint8_t value) override {
    unsigned char byte = value;
    if (address == base_ + kLptData) {
      Check(ioctl(fd_, PPWDATA, &byte), "PPWDATA");
    } else if (address == base_ + kLptControl) {
      Check(ioctl(fd_, PPWCONTROL, &byte), "PPWCONTROL");
    }
  }
  std::string Fault() const override { return fault_; }

 private:
  void Check(int result, const char* name) {
    if (result != 0 && fault_.empty()) fault_ = IoctlFailure(name, device_, errno);
  }

  int fd_;
  std::uint16_t base_;
  std::string device_;
  std::string fault_;
};

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

// Why `device` could not be opened, and what to do about it.
std::string OpenFailure(const std::string& device, int err) {
  if (err == EACCES || err == EPERM) {
    return "permission denied on " + device +
           ": add the user to group lp (sudo usermod -aG lp $USER) and log in again";
  }
  if (err == ENOENT || err == ENODEV || err == ENXIO) {
    return device + " does not exist: load the ppdev driver (sudo modprobe ppdev)";
  }
  return "cannot open " + device + ": " + std::strerror(err);
}

// Opens `device` and claims it, exclusively when `exclusive`; the open file
// or -1 with errno of the step that failed and that step's name.
int OpenAndClaim(const std::string& device, bool exclusive, const char** step) {
  *step = "open";
  const int fd = open(device.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return -1;
  *step = "PPEXCL";
  if (!exclusive || ioctl(fd, PPEXCL) == 0) {
    *step = "PPCLAIM";
    if (ioctl(fd, PPCLAIM) == 0) return fd;
  }
  const int err = errno;
  close(fd);
  errno = err;
  return -1;
}

// Why the port could not be claimed at all, naming what holds it.
std::string ClaimFailure(const SystemPort& port, const std::string& device, int err) {
  const std::vector<std::string> drivers = PortDrivers(port.number);
  const std::string holder = PortHolder(port.number);
  std::string text = IoctlFailure("PPCLAIM", device, err);
  if (!holder.empty()) text = device + " is in use by " + holder;
  if (!drivers.empty())
    text += " (drivers registered on " + port.name + ": " + Joined(drivers) + ")";
  bool lp = holder == "lp";
  for (const std::string& driver : drivers) lp = lp || driver == "lp";
  text += lp ? ": free the port by unloading the printer driver (sudo rmmod lp)"
             : ": end the program that uses the port and try again";
  return text;
}

}  // namespace

std::unique_ptr<PortAccess> OpenPpdev(const SystemPort& port, std::string* access,
                                      std::string* reason) {
  const std::string device = "/dev/" + port.name;
  const char* step = "";
  bool exclusive = true;
  int fd = OpenAndClaim(device, /*exclusive=*/true, &step);
  if (fd < 0 && errno == ENXIO && std::strcmp(step, "PPCLAIM") == 0) {
    // Another driver is registered. Sharing works while nobody holds the
    // port; a claim on a held port would wait for its holder.
    exclusive = false;
    if (!PortHolder(port.number).empty()) {
      *reason = ClaimFailure(port, device, EBUSY);
      return nullptr;
    }
    fd = OpenAndClaim(device, /*exclusive=*/false, &step);
  }
  if (fd < 0) {
    const int err = errno;
    if (std::strcmp(step, "open") == 0) {
      *reason = OpenFailure(device, err);
    } else if (std::strcmp(step, "PPCLAIM") == 0) {
      *reason = ClaimFailure(port, device, err);
    } else {
      *reason = IoctlFailure(step, device, err);
    }
    return nullptr;
  }
  // Plain compatibility mode with the data lines driven: bidirectional ports
  // may come up reading instead of driving them.
  int mode = IEEE1284_MODE_COMPAT;
  int forward = 0;
  const char* failed = nullptr;
  if (ioctl(fd, PPSETMODE, &mode) != 0) {
    failed = "PPSETMODE";
  } else if (ioctl(fd, PPDATADIR, &forward) != 0) {
    failed = "PPDATADIR";
  }
  if (failed != nullptr) {
    *reason = IoctlFailure(failed, device, errno);
    ioctl(fd, PPRELEASE);
    close(fd);
    return nullptr;
  }
  *access = "ppdev " + device +
            (exclusive ? ", claimed exclusively"
                       : ", claimed beside the drivers registered on it (" +
                             Joined(PortDrivers(port.number)) + ")");
  return std::make_unique<PpdevPort>(fd, port.base, device);
}

}  // namespace duplane
