// The parallel ports Windows lists: the present devices of the class Ports
// (COM & LPT) whose port name is LPTn, each with the first I/O range the
// system gave it, as the Device Manager shows them. Nobody but Windows itself
// says which program holds a port, so there are no drivers or holders to name.
#include <windows.h>
// The setup headers need windows.h first.
#include <cfgmgr32.h>
#include <setupapi.h>

#include <algorithm>
#include <cwctype>
#include <vector>

#include "port/system_ports.h"

namespace duplane {
namespace {

// The device setup class Ports (COM & LPT).
const GUID kPortsClass = {
    0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

// "LPT1" gives 1; COM ports, which share the class, and anything else 0.
int LptNumber(const std::wstring& name) {
  if (name.size() < 4 || name.size() > 5 || std::towupper(name[0]) != L'L' ||
      std::towupper(name[1]) != L'P' || std::towupper(name[2]) != L'T') {
    return 0;
  }
  int number = 0;
  for (std::size_t i = 3; i < name.size(); ++i) {
    if (name[i] < L'0' || name[i] > L'9') return 0;
    number = number * 10 + (name[i] - L'0');
  }
  return number;
}

std::wstring PortName(HDEVINFO devices, SP_DEVINFO_DATA* device) {
  HKEY key = SetupDiOpenDevRegKey(devices, device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
  if (key == INVALID_HANDLE_VALUE) return L"";
  wchar_t name[16] = {};
  DWORD size = sizeof name - sizeof name[0];
  DWORD type = 0;
  const bool read = RegQueryValueExW(key, L"PortName", nullptr, &type,
                                     reinterpret_cast<BYTE*>(name), &size) == ERROR_SUCCESS;
  RegCloseKey(key);
  return read && type == REG_SZ ? name : L"";
}

// The start of the device's first I/O range: the one it was given, or the
// one the firmware set up when nothing was given yet.
bool FirstIoBase(DEVINST device, std::uint16_t* base) {
  for (const ULONG kind : {ALLOC_LOG_CONF, BOOT_LOG_CONF}) {
    LOG_CONF config;
    if (CM_Get_First_Log_Conf(&config, device, kind) != CR_SUCCESS) continue;
    RES_DES range;
    bool found = false;
    if (CM_Get_Next_Res_Des(&range, config, ResType_IO, nullptr, 0) == CR_SUCCESS) {
      ULONG size = 0;
      if (CM_Get_Res_Des_Data_Size(&size, range, 0) == CR_SUCCESS && size >= sizeof(IO_DES)) {
        std::vector<char> data(size);
        IO_DES io;
        if (CM_Get_Res_Des_Data(range, data.data(), size, 0) == CR_SUCCESS) {
          std::copy(data.begin(), data.begin() + sizeof io, reinterpret_cast<char*>(&io));
          found = io.IOD_Alloc_Base > 0 && io.IOD_Alloc_Base <= 0xFFFF;
          if (found) *base = static_cast<std::uint16_t>(io.IOD_Alloc_Base);
        }
      }
      CM_Free_Res_Des_Handle(range);
    }
    CM_Free_Log_Conf_Handle(config);
    if (found) return true;
  }
  return false;
}

}  // namespace

const char kSystemPortsRoot[] = "";

std::string NoSystemPortsText() {
  return "Windows lists no parallel port (the Device Manager shows no LPT port under Ports (COM "
         "& LPT)); LPT1 to LPT3 are usually at 0x378, 0x278 and 0x3BC";
}

std::vector<SystemPort> ListSystemPorts() {
  std::vector<SystemPort> ports;
  HDEVINFO devices = SetupDiGetClassDevsW(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
  if (devices == INVALID_HANDLE_VALUE) return ports;
  SP_DEVINFO_DATA device;
  device.cbSize = sizeof device;
  for (DWORD i = 0; SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
    const int lpt = LptNumber(PortName(devices, &device));
    std::uint16_t base = 0;
    if (lpt == 0 || !FirstIoBase(device.DevInst, &base)) continue;
    SystemPort port;
    port.number = lpt - 1;  // as on Linux, where LPT1 is parport0
    port.name = "LPT" + std::to_string(lpt);
    port.base = base;
    ports.push_back(port);
  }
  SetupDiDestroyDeviceInfoList(devices);
  std::sort(ports.begin(), ports.end(),
            [](const SystemPort& a, const SystemPort& b) { return a.number < b.number; });
  return ports;
}

std::vector<std::string> PortDrivers(int) { return {}; }
std::string PortHolder(int) { return ""; }

}  // namespace duplane
