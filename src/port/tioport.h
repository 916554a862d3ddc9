// Windows port access: TIOPort gives byte-wide access to the I/O ports. On the
// Windows 95 family it runs the processor's IN and OUT instructions itself; on
// Windows NT, where a program may not, it goes through the kernel driver
// IOPORT.SYS, which it installs and starts as the service "IOPort" and then
// reaches through the device \\.\IOPort with two control codes.
//
// The logic is plain C++ over TIOPortSystem, the handful of system calls it
// makes, so the service handling and the request encoding are tested on any
// platform against a stand-in; the real calls are in tioport_system_win.cc.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "port/port_access.h"

namespace duplane {

class EIOPortError : public std::runtime_error {
 public:
  explicit EIOPortError(const std::string& message) : std::runtime_error(message) {}
};

extern const char kIOPortStartFailure[];
extern const char kIOPortOpenFailure[];

// Driver requests (METHOD_BUFFERED, device type 0xA000).
constexpr std::uint32_t kIoctlReadPort = 0xA0006800;   // function 0xA00, read access
constexpr std::uint32_t kIoctlWritePort = 0xA000A80C;  // function 0xA03, write access

// Service Control Manager values the driver installation uses.
constexpr std::uint32_t kScManagerConnect = 0x0001;
constexpr std::uint32_t kScManagerCreateService = 0x0002;
constexpr std::uint32_t kServiceQueryStatus = 0x0004;
constexpr std::uint32_t kServiceStart = 0x0010;
constexpr std::uint32_t kServiceAllAccess = 0xF01FF;
constexpr std::uint32_t kServiceKernelDriver = 1;
constexpr std::uint32_t kServiceAutoStart = 2;
constexpr std::uint32_t kServiceErrorNormal = 1;
constexpr std::uint32_t kServiceRunning = 4;

// The system calls of TIOPort. Handles are opaque numbers; 0 is a failed
// service handle and kInvalidHandle a failed file handle, as on Windows.
class TIOPortSystem {
 public:
  using Handle = std::uintptr_t;
  static constexpr Handle kInvalidHandle = ~static_cast<Handle>(0);

  struct ServiceSpec {
    std::string name, display_name;
    std::uint32_t access, type, start, error_control;
    std::string binary_path;
  };

  virtual ~TIOPortSystem() = default;
  // Platform identifier 2 (VER_PLATFORM_WIN32_NT).
  virtual bool IsNt() = 0;
  // GetSystemDirectoryA: the length written, or the size needed, or 0.
  virtual std::uint32_t GetSystemDirectory(char* buffer, std::uint32_t size) = 0;
  virtual Handle OpenSCManager(std::uint32_t access) = 0;
  virtual Handle OpenService(Handle manager, const std::string& name, std::uint32_t access) = 0;
  virtual Handle CreateService(Handle manager, const ServiceSpec& service_def) = 0;
  virtual bool QueryServiceStatus(Handle service, std::uint32_t* current_state) = 0;
  virtual bool StartService(Handle service) = 0;
  virtual void CloseServiceHandle(Handle handle) = 0;
  // CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ |
  // FILE_SHARE_WRITE, no security, OPEN_EXISTING, 0, no template).
  virtual Handle OpenDevice(const std::string& name) = 0;
  virtual void DeviceIoControl(Handle device, std::uint32_t code, const void* in,
                               std::uint32_t in_size, void* out, std::uint32_t out_size) = 0;
  virtual void CloseHandle(Handle handle) = 0;
  // The processor's port instructions (the Windows 95 family only).
  virtual std::uint8_t In(std::uint16_t port) = 0;
  virtual void Out(std::uint16_t port, std::uint8_t value) = 0;
};

// The module-level state and operations, shared by every TIOPort on one
// system: the NT flag (set at module start) and the driver handle.
class IOPortModule {
 public:
  explicit IOPortModule(TIOPortSystem& system);
  // Module end closes the driver if it is still open.
  ~IOPortModule();
  IOPortModule(const IOPortModule&) = delete;
  IOPortModule& operator=(const IOPortModule&) = delete;

  // Does nothing unless on NT with the driver closed; installs (or starts)
  // the driver service and opens the device. Raises EIOPortError.
  void OpenDriver();
  void CloseDriver();
  bool InstallDriver();
  std::string DriverPath();

  bool is_nt() const { return is_nt_; }
  bool driver_open() const { return driver_ != TIOPortSystem::kInvalidHandle; }
  std::uint8_t ReadPort(std::uint32_t address);
  void WritePort(std::uint32_t address, std::uint8_t value);

 private:
  TIOPortSystem& system_;
  bool is_nt_;
  TIOPortSystem::Handle driver_ = TIOPortSystem::kInvalidHandle;
};

// The one module of the real system (Windows only).
IOPortModule& SystemIOPortModule();

class TIOPort : public PortAccess {
 public:
  // Create: opens the driver on NT; raises EIOPortError when that fails.
  explicit TIOPort(IOPortModule& module);
  // Destroy: closes the shared driver handle.
  ~TIOPort() override;

  std::string About() const { return "TIOPort 1.1: byte-wide I/O port access"; }

  std::uint8_t ReadPort(std::uint32_t address) override { return module_.ReadPort(address); }
  void WritePort(std::uint32_t address, std::uint8_t value) override {
    module_.WritePort(address, value);
  }

 private:
  IOPortModule& module_;
};

}  // namespace duplane
