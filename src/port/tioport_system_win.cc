// The real system calls under TIOPort: the Service Control Manager, the
// IOPort device, and the processor's port instructions. ANSI calls, as the
// driver's service and device names are plain ASCII.
#include <windows.h>

#include "port/tioport.h"

namespace duplane {
namespace {

class WindowsIOPortSystem : public TIOPortSystem {
 public:
  bool IsNt() override {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
  }
  std::uint32_t GetSystemDirectory(char* buffer, std::uint32_t size) override {
    return GetSystemDirectoryA(buffer, size);
  }
  Handle OpenSCManager(std::uint32_t access) override {
    return reinterpret_cast<Handle>(OpenSCManagerA(nullptr, nullptr, access));
  }
  Handle OpenService(Handle manager, const std::string& name, std::uint32_t access) override {
    return reinterpret_cast<Handle>(
        OpenServiceA(reinterpret_cast<SC_HANDLE>(manager), name.c_str(), access));
  }
  Handle CreateService(Handle manager, const ServiceSpec& service_def) override {
    return reinterpret_cast<Handle>(CreateServiceA(
        reinterpret_cast<SC_HANDLE>(manager), service_def.name.c_str(),
        service_def.display_name.c_str(), service_def.access, service_def.type, service_def.start,
        service_def.error_control, service_def.binary_path.c_str(), nullptr, nullptr, nullptr,
        nullptr, nullptr));
  }
  bool QueryServiceStatus(Handle service, std::uint32_t* current_state) override {
    SERVICE_STATUS status = {};
    if (!::QueryServiceStatus(reinterpret_cast<SC_HANDLE>(service), &status)) return false;
    *current_state = status.dwCurrentState;
    return true;
  }
  bool StartService(Handle service) override {
    return StartServiceA(reinterpret_cast<SC_HANDLE>(service), 0, nullptr) != 0;
  }
  void CloseServiceHandle(Handle handle) override {
    ::CloseServiceHandle(reinterpret_cast<SC_HANDLE>(handle));
  }
  Handle OpenDevice(const std::string& name) override {
    return reinterpret_cast<Handle>(CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_EXISTING, 0, nullptr));
  }
  void DeviceIoControl(Handle device, std::uint32_t code, const void* in, std::uint32_t in_size,
                       void* out, std::uint32_t out_size) override {
    DWORD returned = 0;
    ::DeviceIoControl(reinterpret_cast<HANDLE>(device), code, const_cast<void*>(in), in_size, out,
                      out_size, &returned, nullptr);
  }
  void CloseHandle(Handle handle) override { ::CloseHandle(reinterpret_cast<HANDLE>(handle)); }
  std::uint8_t In(std::uint16_t port) override {
    std::uint8_t value;
    __asm__ __volatile__("inb %1, %0" : "=a"(value) : "Nd"(port));
    return value;
  }
  void Out(std::uint16_t port, std::uint8_t value) override {
    __asm__ __volatile__("outb %0, %1" : : "a"(value), "Nd"(port));
  }
};

}  // namespace

IOPortModule& SystemIOPortModule() {
  static WindowsIOPortSystem system;
  static IOPortModule module(system);
  return module;
}

}  // namespace duplane
