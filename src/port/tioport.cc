// TIOPort's logic: the driver service's installation, the device, and one
// fixed-size request per port access on NT. Every access is one call into
// the kernel already, so nothing is added around it: no result checks, no
// buffering.
#include "port/tioport.h"

#include <vector>

namespace duplane {

const char kIOPortStartFailure[] =
    "Can't start IOPort driver. Make sure you have IOPORT.SYS driver copied in your "
    "WINNT\\SYSTEM32\\DRIVERS directory and you have Administrator's rights";
const char kIOPortOpenFailure[] = "Can't open IOPort";

namespace {

constexpr char kServiceName[] = "IOPort";
constexpr char kDeviceName[] = "\\\\.\\IOPort";

void PutLe32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Closes a service handle when the installation returns, whatever the outcome.
class ServiceHandle {
 public:
  ServiceHandle(TIOPortSystem& system, TIOPortSystem::Handle handle)
      : system_(system), handle_(handle) {}
  ~ServiceHandle() {
    if (handle_ != 0) system_.CloseServiceHandle(handle_);
  }
  ServiceHandle(const ServiceHandle&) = delete;
  ServiceHandle& operator=(const ServiceHandle&) = delete;
  TIOPortSystem::Handle get() const { return handle_; }
  void Reset(TIOPortSystem::Handle handle) {
    if (handle_ != 0) system_.CloseServiceHandle(handle_);
    handle_ = handle;
  }

 private:
  TIOPortSystem& system_;
  TIOPortSystem::Handle handle_;
};

}  // namespace

IOPortModule::IOPortModule(TIOPortSystem& system) : system_(system), is_nt_(system.IsNt()) {}

IOPortModule::~IOPortModule() { CloseDriver(); }

std::string IOPortModule::DriverPath() {
  std::vector<char> buffer(260);
  std::uint32_t length =
      system_.GetSystemDirectory(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
  if (length > buffer.size()) {
    buffer.resize(length);
    length = system_.GetSystemDirectory(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
  }
  if (length == 0) return "C:\\WINNT\\SYSTEM32\\DRIVERS\\IOPORT.SYS";
  if (length > buffer.size()) length = static_cast<std::uint32_t>(buffer.size());
  return std::string(buffer.data(), length) + "\\DRIVERS\\IOPORT.SYS";
}

bool IOPortModule::InstallDriver() {
  ServiceHandle manager(system_, system_.OpenSCManager(kScManagerCreateService));
  if (manager.get() == 0) manager.Reset(system_.OpenSCManager(kScManagerConnect));
  if (manager.get() == 0) return false;
  ServiceHandle service(system_, system_.OpenService(manager.get(), kServiceName,
                                                     kServiceQueryStatus | kServiceStart));
  if (service.get() == 0) {
    service.Reset(system_.OpenService(manager.get(), kServiceName, kServiceQueryStatus));
  }
  if (service.get() == 0) {
    const TIOPortSystem::ServiceSpec service_def{
        kServiceName,      kServiceName,        kServiceAllAccess, kServiceKernelDriver,
        kServiceAutoStart, kServiceErrorNormal, DriverPath()};
    service.Reset(system_.CreateService(manager.get(), service_def));
    if (service.get() == 0) return false;
  }
  std::uint32_t state = 0;
  if (!system_.QueryServiceStatus(service.get(), &state)) return false;
  return state == kServiceRunning || system_.StartService(service.get());
}

void IOPortModule::OpenDriver() {
  if (!is_nt_ || driver_open()) return;
  if (!InstallDriver()) throw EIOPortError(kIOPortStartFailure);
  driver_ = system_.OpenDevice(kDeviceName);
  if (!driver_open()) throw EIOPortError(kIOPortOpenFailure);
}

void IOPortModule::CloseDriver() {
  if (!is_nt_) return;
  if (driver_open()) system_.CloseHandle(driver_);
  driver_ = TIOPortSystem::kInvalidHandle;
}

std::uint8_t IOPortModule::ReadPort(std::uint32_t address) {
  if (!is_nt_) return system_.In(static_cast<std::uint16_t>(address));
  std::uint8_t in[4];
  std::uint8_t out[4] = {};
  PutLe32(in, address);
  system_.DeviceIoControl(driver_, kIoctlReadPort, in, sizeof in, out, sizeof out);
  return out[0];
}

void IOPortModule::WritePort(std::uint32_t address, std::uint8_t value) {
  if (!is_nt_) {
    system_.Out(static_cast<std::uint16_t>(address), value);
    return;
  }
  std::uint8_t in[8];
  PutLe32(in, address);
  PutLe32(in + 4, value);
  system_.DeviceIoControl(driver_, kIoctlWritePort, in, sizeof in, nullptr, 0);
}

TIOPort::TIOPort(IOPortModule& module) : module_(module) { module_.OpenDriver(); }

TIOPort::~TIOPort() { module_.CloseDriver(); }

}  // namespace duplane
