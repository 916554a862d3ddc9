// Both programs on their hardware path: the program's end opens its port as
// the window does, duplane-remote is started with --base, and the ppdev
// stand-in joins the two /dev/parport devices by a virtual cable whose status
// reads tear the way a real cable's can. Trees cross both ways with the copy
// engine, and the connection stands from the first command to the last.
#include <gtest/gtest.h>
#include <unistd.h>

#include "port/port_access.h"
#include "port/standin.h"
#include "support/remote_process.h"
#include "support/transfer_rig.h"
#include "transfer/copy_engine.h"

namespace duplane {
namespace {

class HardwareLinkTest : public ::testing::Test {
 protected:
  HardwareLinkTest() {
    standin_.AddPort(0, 0x378);
    standin_.AddPort(1, 0xD010, "PCSPP,TRISTATE,EPP,ECP");
    standin_.TearStatusReads(true);
  }
  ~HardwareLinkTest() override { unlink(cable_.c_str()); }

  // duplane-remote on its end of the cable serving `root`, then the
  // program's own port: the one at D010 (parport1), found by its address.
  std::unique_ptr<PortAccess> StartBoth(const std::string& root, std::uint16_t* base) {
    standin_.WireToCable(cable_, 1);
    remote_ = std::make_unique<RemoteProcess>(
        std::vector<std::string>{"--base", "D010", "--drive", "C=" + root});
    standin_.WireToCable(cable_, 0);
    EXPECT_TRUE(remote_->WaitForLog("waiting for the program", 30)) << remote_->Log();
    std::string error;
    auto port = OpenHardwarePort(0xD010, &error);
    EXPECT_NE(port, nullptr) << error;
    *base = 0xD010;
    return port;
  }

  void CopyAll(Side source) {
    CopyMoveOptions options;
    rig_->Select(source, {"TREE"});
    rig_->ui.ExpectCopyMove(options);
    rig_->ui.ExpectInfo("Files copied: 3\rDirs created: 2");
    CopyFiles(rig_->ctx(), source, /*is_move=*/false);
    rig_->ui.VerifyAllAsked();
  }

  Standin standin_;
  std::string cable_ = TempCablePath();
  std::unique_ptr<RemoteProcess> remote_;
  std::unique_ptr<TransferRig> rig_;
};

TEST_F(HardwareLinkTest, TreesCrossBothWaysAndTheConnectionStandsThroughTornReads) {
  rig_ = std::make_unique<TransferRig>(
      [this](const std::string& root, std::uint16_t* base) { return StartBoth(root, base); });
  WriteFile(rig_->Native(Side::kLocal, "TREE/A.TXT"), "alpha");
  WriteFile(rig_->Native(Side::kLocal, "TREE/ZERO.DAT"), "");
  WriteFile(rig_->Native(Side::kLocal, "TREE/SUB/BIG.BIN"), PatternBytes(2 * 8192 + 77, 5));
  MakeDir(rig_->Native(Side::kLocal, "BACK"));
  rig_->Show(Side::kRemote);
  rig_->Show(Side::kLocal);
  CopyAll(Side::kLocal);
  EXPECT_EQ(
      CompareTrees(rig_->Native(Side::kLocal, "TREE"), rig_->Native(Side::kRemote, "TREE"), false),
      "");

  rig_->Show(Side::kLocal, "C:\\BACK");
  rig_->Refill(Side::kRemote);
  CopyAll(Side::kRemote);
  EXPECT_EQ(CompareTrees(rig_->Native(Side::kLocal, "TREE"),
                         rig_->Native(Side::kLocal, "BACK/TREE"), false),
            "");

  rig_.reset();  // disconnects with code 0
  ASSERT_TRUE(remote_->WaitForLog("disconnected", 20)) << remote_->Log();
  const std::string log = remote_->Log();
  EXPECT_EQ(log.find("disconnected"), log.rfind("disconnected")) << log;
  EXPECT_EQ(log.find("synchronises again"), std::string::npos) << log;
  EXPECT_EQ(log.find("link lost"), std::string::npos) << log;
  EXPECT_EQ(remote_->Stop(), 0);

  // Both ends took parport1, the port at D010, for themselves alone.
  const std::string claims = standin_.Log();
  EXPECT_NE(claims.find("claim exclusive /dev/parport1\nopen /dev/parport1\nclaim exclusive "
                        "/dev/parport1\n"),
            std::string::npos)
      << claims;
  EXPECT_EQ(claims.find("parport0"), std::string::npos) << claims;
}

}  // namespace
}  // namespace duplane
