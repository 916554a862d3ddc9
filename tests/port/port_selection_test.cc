// Which port the program takes for an address, and what a user reads when
// the port cannot be had: the ppdev device the kernel lists at that address,
// shared with a printer driver that is only registered, refused with the way
// out when a driver holds it, and direct I/O only for an address the kernel
// does not list.
#include <gtest/gtest.h>

#include "port/port_access.h"
#include "port/standin.h"
#include "support/remote_process.h"

namespace duplane {
namespace {

class PortSelectionTest : public ::testing::Test {
 protected:
  PortSelectionTest() {
    standin_.AddPort(0, 0x378);
    standin_.AddPort(1, 0xD010);
    standin_.WireToCable(cable_, 0);
  }
  ~PortSelectionTest() override { unlink(cable_.c_str()); }

  Standin standin_;
  std::string cable_ = TempCablePath();
};

TEST_F(PortSelectionTest, PortIsFoundByAddressAndSharedWithAnIdlePrinterDriver) {
  standin_.RegisterDriver(1, "lp");
  std::string error;
  std::string access;
  auto port = OpenHardwarePort(0xD010, &error, &access);
  ASSERT_NE(port, nullptr) << error;
  EXPECT_EQ(access, "ppdev /dev/parport1, claimed beside the drivers registered on it (lp)");
  // The kernel refuses the exclusive claim while lp is registered; a second
  // open claims without exclusivity.
  EXPECT_EQ(standin_.Log(),
            "open /dev/parport1\nclaim refused (exclusive) /dev/parport1\n"
            "open /dev/parport1\nclaim shared /dev/parport1\n");
  port->WritePort(0xD010, 0x55);
  EXPECT_EQ(port->ReadPort(0xD010), 0x55);

  // LPTn is the n-th port the kernel lists, else its usual address.
  EXPECT_EQ(LptBaseAddress(1), 0x378);
  EXPECT_EQ(LptBaseAddress(2), 0xD010);
  EXPECT_EQ(LptBaseAddress(3), 0x3BC);
}

TEST_F(PortSelectionTest, RefusalsSayWhatToDoAndADriversPortIsNeverDrivenDirectly) {
  standin_.RegisterDriver(0, "lp", /*active=*/true);
  std::string error;
  EXPECT_EQ(OpenHardwarePort(0x378, &error), nullptr);
  EXPECT_EQ(error,
            "Cannot reach the parallel port at 0x378: /dev/parport0 is in use by lp (drivers "
            "registered on parport0: lp): free the port by unloading the printer driver "
            "(sudo rmmod lp)");
  EXPECT_EQ(standin_.Log().find("ioperm"), std::string::npos) << standin_.Log();

  // An address the kernel does not list: direct I/O is tried, and the answer
  // names the ports there are.
  EXPECT_EQ(OpenHardwarePort(0x3BC, &error), nullptr);
  EXPECT_NE(error.find("Cannot reach the parallel port at 0x3BC: no parallel port found there; "
                       "the system has parport0 at 0x378, parport1 at 0xD010; direct port I/O "
                       "refused"),
            std::string::npos)
      << error;
  EXPECT_NE(error.find("CAP_SYS_RAWIO"), std::string::npos) << error;
  EXPECT_NE(standin_.Log().find("ioperm 0x3BC"), std::string::npos) << standin_.Log();
}

}  // namespace
}  // namespace duplane
