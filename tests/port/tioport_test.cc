// TIOPort against a stand-in for the system: the driver service's
// installation in each state the Service Control Manager can be found in, the
// device, and the exact request every port access sends on NT.
#include "port/tioport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <vector>

namespace duplane {
namespace {

class FakeSystem : public TIOPortSystem {
 public:
  // ---- How the system behaves.
  bool nt = true;
  std::set<std::uint32_t> manager_access_granted = {kScManagerConnect, kScManagerCreateService};
  bool service_exists = true;
  std::set<std::uint32_t> service_access_granted = {kServiceQueryStatus | kServiceStart,
                                                    kServiceQueryStatus};
  bool create_allowed = true;
  std::uint32_t service_state = kServiceRunning;
  bool start_works = true;
  bool device_opens = true;
  std::string system_directory = "C:\\WINDOWS\\system32";
  std::uint8_t byte_read = 0x5A;

  // ---- What was asked.
  std::vector<std::string> calls;
  std::vector<ServiceSpec> created;
  struct Request {
    std::uint32_t code;
    std::vector<std::uint8_t> in;
    std::uint32_t out_size;
  };
  std::vector<Request> requests;
  std::set<Handle> open_service_handles;
  int device_opens_count = 0;
  int device_closes = 0;
  std::vector<std::uint32_t> directory_buffer_sizes;

  bool IsNt() override { return nt; }
  std::uint32_t GetSystemDirectory(char* buffer, std::uint32_t size) override {
    directory_buffer_sizes.push_back(size);
    if (system_directory.empty()) return 0;
    const auto length = static_cast<std::uint32_t>(system_directory.size());
    if (length + 1 > size) return length + 1;
    std::memcpy(buffer, system_directory.c_str(), length + 1);
    return length;
  }
  Handle OpenSCManager(std::uint32_t access) override {
    calls.push_back("OpenSCManager " + std::to_string(access));
    return manager_access_granted.count(access) ? Take() : 0;
  }
  Handle OpenService(Handle, const std::string& name, std::uint32_t access) override {
    calls.push_back("OpenService " + name + " " + std::to_string(access));
    return service_exists && service_access_granted.count(access) ? Take() : 0;
  }
  Handle CreateService(Handle, const ServiceSpec& service_def) override {
    calls.push_back("CreateService");
    created.push_back(service_def);
    return create_allowed ? Take() : 0;
  }
  bool QueryServiceStatus(Handle, std::uint32_t* state) override {
    calls.push_back("QueryServiceStatus");
    *state = service_state;
    return true;
  }
  bool StartService(Handle) override {
    calls.push_back("StartService");
    return start_works;
  }
  void CloseServiceHandle(Handle handle) override { open_service_handles.erase(handle); }
  Handle OpenDevice(const std::string& name) override {
    calls.push_back("OpenDevice " + name);
    ++device_opens_count;
    return device_opens ? 0x1000 : kInvalidHandle;
  }
  void DeviceIoControl(Handle, std::uint32_t code, const void* in, std::uint32_t in_size, void* out,
                       std::uint32_t out_size) override {
    const auto* bytes = static_cast<const std::uint8_t*>(in);
    requests.push_back({code, std::vector<std::uint8_t>(bytes, bytes + in_size), out_size});
    if (out_size > 0) std::memset(out, byte_read, out_size);
  }
  void CloseHandle(Handle) override { ++device_closes; }
  std::uint8_t In(std::uint16_t port) override {
    calls.push_back("In " + std::to_string(port));
    return byte_read;
  }
  void Out(std::uint16_t port, std::uint8_t value) override {
    calls.push_back("Out " + std::to_string(port) + " " + std::to_string(value));
  }

  bool Called(const std::string& what) const {
    for (const std::string& call : calls) {
      if (call.rfind(what, 0) == 0) return true;
    }
    return false;
  }

 private:
  Handle Take() {
    const Handle handle = next_++;
    open_service_handles.insert(handle);
    return handle;
  }
  Handle next_ = 1;
};

TEST(TIOPortRequests, EachAccessOnNtIsOneFixedSizeDriverRequest) {
  FakeSystem system;
  IOPortModule module(system);
  TIOPort port(module);
  port.WritePort(0x378, 0xA5);
  EXPECT_EQ(port.ReadPort(0x379), 0x5A);
  ASSERT_EQ(system.requests.size(), 2u);
  EXPECT_EQ(system.requests[0].code, 0xA000A80Cu);
  EXPECT_EQ(system.requests[0].in,
            (std::vector<std::uint8_t>{0x78, 0x03, 0x00, 0x00, 0xA5, 0x00, 0x00, 0x00}));
  EXPECT_EQ(system.requests[0].out_size, 0u);
  EXPECT_EQ(system.requests[1].code, 0xA0006800u);
  EXPECT_EQ(system.requests[1].in, (std::vector<std::uint8_t>{0x79, 0x03, 0x00, 0x00}));
  EXPECT_EQ(system.requests[1].out_size, 4u);
  EXPECT_FALSE(system.Called("In") || system.Called("Out"));
}

TEST(TIOPortRequests, TheWindows95FamilyUsesThePortInstructionsAndNoDriver) {
  FakeSystem system;
  system.nt = false;
  IOPortModule module(system);
  TIOPort port(module);
  port.WritePort(0x378, 0x11);
  EXPECT_EQ(port.ReadPort(0x379), 0x5A);
  EXPECT_EQ(system.calls, (std::vector<std::string>{"Out 888 17", "In 889"}));
  EXPECT_TRUE(system.requests.empty());
}

TEST(TIOPortService, RunningServiceWithQueryAccessOnlyIsUsedAsItIs) {
  FakeSystem system;
  system.manager_access_granted = {kScManagerConnect};
  system.service_access_granted = {kServiceQueryStatus};
  IOPortModule module(system);
  EXPECT_TRUE(module.InstallDriver());
  EXPECT_FALSE(system.Called("CreateService"));
  EXPECT_FALSE(system.Called("StartService"));
  EXPECT_TRUE(system.open_service_handles.empty()) << "a service handle was left open";
}

TEST(TIOPortService, StoppedServiceWithoutStartRightFailsWithTheStartMessage) {
  FakeSystem system;
  system.service_access_granted = {kServiceQueryStatus};
  system.service_state = 1;  // SERVICE_STOPPED
  system.start_works = false;
  IOPortModule module(system);
  try {
    TIOPort port(module);
    FAIL() << "no error for a service that cannot be started";
  } catch (const EIOPortError& error) {
    EXPECT_STREQ(error.what(), kIOPortStartFailure);
  }
  EXPECT_TRUE(system.Called("StartService"));
  EXPECT_FALSE(system.Called("OpenDevice"));
  EXPECT_TRUE(system.open_service_handles.empty());
}

TEST(TIOPortService, MissingServiceIsCreatedAsAnAutoStartKernelDriverAndStarted) {
  FakeSystem system;
  system.service_exists = false;
  system.service_state = 1;
  IOPortModule module(system);
  TIOPort port(module);
  ASSERT_EQ(system.created.size(), 1u);
  const TIOPortSystem::ServiceSpec& service_def = system.created[0];
  EXPECT_EQ(service_def.name, "IOPort");
  EXPECT_EQ(service_def.display_name, "IOPort");
  EXPECT_EQ(service_def.access, 0xF01FFu);
  EXPECT_EQ(service_def.type, 1u);
  EXPECT_EQ(service_def.start, 2u);
  EXPECT_EQ(service_def.error_control, 1u);
  EXPECT_EQ(service_def.binary_path, "C:\\WINDOWS\\system32\\DRIVERS\\IOPORT.SYS");
  EXPECT_TRUE(system.Called("StartService"));
  EXPECT_TRUE(system.Called("OpenDevice \\\\.\\IOPort"));
  EXPECT_TRUE(system.open_service_handles.empty());
}

TEST(TIOPortService, NoServiceManagerOrNoRightToCreateMeansNoDriver) {
  FakeSystem unreachable;
  unreachable.manager_access_granted.clear();
  IOPortModule first(unreachable);
  EXPECT_FALSE(first.InstallDriver());
  EXPECT_EQ(unreachable.calls, (std::vector<std::string>{"OpenSCManager 2", "OpenSCManager 1"}));

  FakeSystem no_right;
  no_right.service_exists = false;
  no_right.create_allowed = false;
  IOPortModule second(no_right);
  EXPECT_FALSE(second.InstallDriver());
  EXPECT_TRUE(no_right.open_service_handles.empty());
}

TEST(TIOPortDevice, UnopenableDeviceGivesItsOwnMessage) {
  FakeSystem system;
  system.device_opens = false;
  IOPortModule module(system);
  try {
    TIOPort port(module);
    FAIL() << "no error for a device that does not open";
  } catch (const EIOPortError& error) {
    EXPECT_STREQ(error.what(), kIOPortOpenFailure);
  }
}

TEST(TIOPortDevice, ASecondPortSharesTheOpenDriverAndDestroyingClosesIt) {
  FakeSystem system;
  IOPortModule module(system);
  {
    TIOPort first(module);
    TIOPort second(module);
    EXPECT_EQ(system.device_opens_count, 1);
  }
  EXPECT_EQ(system.device_closes, 1);
  EXPECT_FALSE(module.driver_open());
}

TEST(TIOPortDriverPath, SystemDirectoryIsAskedAgainWhenLongAndDefaultsWhenMissing) {
  FakeSystem long_path;
  long_path.system_directory = "D:\\" + std::string(300, 'w');
  IOPortModule module(long_path);
  EXPECT_EQ(module.DriverPath(), long_path.system_directory + "\\DRIVERS\\IOPORT.SYS");
  EXPECT_EQ(long_path.directory_buffer_sizes, (std::vector<std::uint32_t>{260, 304}));

  FakeSystem none;
  none.system_directory.clear();
  IOPortModule fallback(none);
  EXPECT_EQ(fallback.DriverPath(), "C:\\WINNT\\SYSTEM32\\DRIVERS\\IOPORT.SYS");
}

}  // namespace
}  // namespace duplane
