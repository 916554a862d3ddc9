// TIOPort: the Windows port-access component. On NT every access is one
// DeviceIoControl call into IOPORT.SYS, so nothing is added around the call:
// no result checks, no buffering, one fixed-size request per access.
#include <windows.h>

#include <vector>

#include "link/system_ports.h"
#include "link/tioport.h"

#if defined(_MSC_VER)
#include <intrin.h>
#endif

namespace duplane {
namespace {

constexpr DWORD kIoctlReadPort = 0xA0006800;   // function 0xA00, read access
constexpr DWORD kIoctlWritePort = 0xA000A80C;  // function 0xA03, write access

const char kStartFailure[] =
    "Can't start IOPort driver. Make sure you have IOPORT.SYS driver copied in your "
    "WINNT\\SYSTEM32\\DRIVERS directory and you have Administrator's rights";
const char kOpenFailure[] = "Can't open IOPort";

bool IsNt() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma warning(suppress : 4996)
  GetVersionExA(&info);
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

const bool g_is_nt = IsNt();
HANDLE g_driver = INVALID_HANDLE_VALUE;

struct DriverCloser {
  ~DriverCloser() { CloseDriver(); }
} g_driver_closer;

std::uint8_t InByte(std::uint16_t port) {
#if defined(_MSC_VER)
  return __inbyte(port);
#else
  std::uint8_t value;
  __asm__ __volatile__("inb %1, %0" : "=a"(value) : "Nd"(port));
  return value;
#endif
}

void OutByte(std::uint16_t port, std::uint8_t value) {
#if defined(_MSC_VER)
  __outbyte(port, value);
#else
  __asm__ __volatile__("outb %0, %1" : : "a"(value), "Nd"(port));
#endif
}

}  // namespace

std::string DriverPath() {
  std::vector<char> buffer(260);
  UINT length = GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
  if (length > buffer.size()) {
    buffer.resize(length);
    length = GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
  }
  if (length == 0) return "C:\\WINNT\\SYSTEM32\\DRIVERS\\IOPORT.SYS";
  return std::string(buffer.data(), length) + "\\DRIVERS\\IOPORT.SYS";
}

bool InstallDriver() {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE);
  if (!manager) manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (!manager) return false;
  SC_HANDLE service = OpenServiceA(manager, "IOPort", SERVICE_QUERY_STATUS | SERVICE_START);
  if (!service) service = OpenServiceA(manager, "IOPort", SERVICE_QUERY_STATUS);
  if (!service) {
    const std::string path = DriverPath();
    service = CreateServiceA(manager, "IOPort", "IOPort", SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER,
                             SERVICE_AUTO_START, SERVICE_ERROR_NORMAL, path.c_str(), nullptr,
                             nullptr, nullptr, nullptr, nullptr);
    if (!service) {
      CloseServiceHandle(manager);
      return false;
    }
  }
  bool result = false;
  SERVICE_STATUS status{};
  if (QueryServiceStatus(service, &status)) {
    result = status.dwCurrentState == SERVICE_RUNNING || StartServiceA(service, 0, nullptr);
  }
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return result;
}

void OpenDriver() {
  if (!g_is_nt || g_driver != INVALID_HANDLE_VALUE) return;
  if (!InstallDriver()) throw EIOPortError(kStartFailure);
  g_driver = CreateFileA("\\\\.\\IOPort", GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (g_driver == INVALID_HANDLE_VALUE) throw EIOPortError(kOpenFailure);
}

void CloseDriver() {
  if (!g_is_nt) return;
  if (g_driver != INVALID_HANDLE_VALUE) CloseHandle(g_driver);
  g_driver = INVALID_HANDLE_VALUE;
}

TIOPort::TIOPort() { OpenDriver(); }

TIOPort::~TIOPort() { CloseDriver(); }

std::uint8_t TIOPort::ReadPort(std::uint32_t address) {
  if (!g_is_nt) return InByte(static_cast<std::uint16_t>(address));
  DWORD in = address;
  DWORD out = 0;
  DWORD returned = 0;
  DeviceIoControl(g_driver, kIoctlReadPort, &in, sizeof in, &out, sizeof out, &returned, nullptr);
  return static_cast<std::uint8_t>(out & 0xFF);
}

void TIOPort::WritePort(std::uint32_t address, std::uint8_t value) {
  if (!g_is_nt) {
    OutByte(static_cast<std::uint16_t>(address), value);
    return;
  }
  DWORD in[2] = {address, value};
  DWORD returned = 0;
  DeviceIoControl(g_driver, kIoctlWritePort, in, sizeof in, nullptr, 0, &returned, nullptr);
}

std::uint16_t LptBaseAddress(int number) {
  static const std::uint16_t kBases[3] = {0x378, 0x278, 0x3BC};
  return number >= 1 && number <= 3 ? kBases[number - 1] : 0;
}

const char kSystemPortsRoot[] = "";

// Windows keeps no list of port addresses that a program can read as simply.
std::vector<SystemPort> ListSystemPorts() { return {}; }
std::vector<std::string> PortDrivers(int) { return {}; }
std::string PortHolder(int) { return ""; }

std::unique_ptr<PortAccess> OpenHardwarePort(std::uint16_t base, std::string* error,
                                             std::string* access) {
  (void)base;
  try {
    auto port = std::make_unique<TIOPort>();
    if (access) *access = g_is_nt ? "the IOPort driver (IOPORT.SYS)" : "port instructions";
    return port;
  } catch (const EIOPortError& failure) {
    if (error) *error = failure.what();
    return nullptr;
  }
}

}  // namespace duplane
