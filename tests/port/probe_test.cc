// duplane-remote --probe on ports it finds: three loopback plugs at once, one
// wired right, one with a swapped pair and a broken wire, and one on a port
// whose status reads fail; two PCs on a
// cable, each reading the other's walk; and a system without any parallel
// port.
#include <gtest/gtest.h>
#include <unistd.h>

#include "port/standin.h"
#include "support/remote_process.h"

namespace duplane {
namespace {

TEST(ProbeTest, LoopbackPlugsShowEachWireAndAFailingPortSaysWhy) {
  Standin standin;
  standin.AddPort(0, 0x378, "PCSPP,TRISTATE,EPP");
  standin.WireLoopback("01234");
  RemoteProcess right({"--probe", "--lpt", "1"});
  standin.WireLoopback("1023-");
  RemoteProcess faulty({"--probe", "--base", "378"});
  standin.FailStatusReads(true);
  RemoteProcess failing({"--probe"});

  EXPECT_EQ(right.Wait(), 0) << right.Log();
  const std::string report = right.Log();
  for (const char* line : {"Port at 0x378 (parport0, modes PCSPP,TRISTATE,EPP)\n",
                           "Reached through ppdev /dev/parport0, claimed exclusively\n",
                           "Data register: wrote 0x55, read 0x55; wrote 0xAA, read 0xAA; it "
                           "keeps what is written\n",
                           "  sending D2 (pin 4): other end shows pin 12\n",
                           "Loopback plug: all five wires are right\n", "bytes per second"}) {
    EXPECT_NE(report.find(line), std::string::npos) << line << "\n" << report;
  }

  EXPECT_EQ(faulty.Wait(), 1) << faulty.Log();
  const std::string faults = faulty.Log();
  for (const char* line :
       {"Loopback plug: D0 (pin 2) and D1 (pin 3) are swapped: each arrives on the other's pin "
        "(15, 13)\n",
        "Loopback plug: D4 (pin 6) reaches no line: its wire to pin 11 is broken\n"}) {
    EXPECT_NE(faults.find(line), std::string::npos) << line << "\n" << faults;
  }
  for (const char* fine : {"Loopback plug: D2", "Loopback plug: D3"}) {
    EXPECT_EQ(faults.find(fine), std::string::npos) << faults;
  }

  EXPECT_EQ(failing.Wait(), 1) << failing.Log();
  EXPECT_NE(failing.Log().find("The port failed: PPRSTATUS on /dev/parport0 failed: Input/output "
                               "error\n"),
            std::string::npos)
      << failing.Log();
}

TEST(ProbeTest, TwoPcsEachReadTheOthersWalk) {
  Standin standin;
  standin.AddPort(0, 0x378);
  const std::string cable = TempCablePath();
  standin.WireToCable(cable, 0, "10234");  // the other end's D0 and D1 arrive swapped
  RemoteProcess left({"--probe"});
  standin.WireToCable(cable, 1);
  RemoteProcess right({"--probe"});

  EXPECT_EQ(left.Wait(), 0) << left.Log();
  EXPECT_EQ(right.Wait(), 0) << right.Log();
  EXPECT_NE(left.Log().find("The other PC's walk: its D0 (pin 2) and its D1 (pin 3) are swapped: "
                            "each arrives on the other's pin (15, 13)\n"),
            std::string::npos)
      << left.Log();
  EXPECT_NE(right.Log().find("The other PC's walk: all five wires are right\n"), std::string::npos)
      << right.Log();
  unlink(cable.c_str());
}

TEST(ProbeTest, NoPortSaysWhatWasSearched) {
  Standin standin;  // an empty /proc/sys/dev/parport
  RemoteProcess probe({"--probe"});
  EXPECT_EQ(probe.Wait(), 1);
  EXPECT_EQ(probe.Log(),
            "No parallel port found: the system lists no parallel ports in "
            "/proc/sys/dev/parport (load the port driver: sudo modprobe parport_pc). To try a "
            "port the system does not list, name it with --lpt N or --base ADDR.\n");

  // Serving on a port that is not there ends at once with the address named;
  // the stand-in refuses direct I/O, so no real I/O port is ever written.
  RemoteProcess serve({"--base", "0x1234"});
  EXPECT_EQ(serve.Wait(), 1);
  EXPECT_NE(serve.Log().find("0x1234"), std::string::npos) << serve.Log();
}

}  // namespace
}  // namespace duplane
