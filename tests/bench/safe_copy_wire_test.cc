// What safe copies put on the wire, counted on the program's end: resuming an
// interrupted copy between two Duplane ends costs the bytes that were missing,
// not the file; with the option off a copy makes exactly the exchanges of the
// Parts' copy, in both directions, and names no part file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "counting_port.h"
#include "link/link.h"
#include "port/virtual_cable.h"
#include "support/copy_direction_test.h"
#include "support/file_tree.h"
#include "support/sides.h"
#include "support/transfer_rig.h"
#include "transfer/copy_engine.h"
#include "transfer/overwrite.h"

namespace duplane {
namespace {

constexpr std::size_t kBlock = 8192;

class SafeCopyWireTest : public ::testing::TestWithParam<Side> {
 protected:
  Side s() const { return GetParam(); }
  Side t() const { return Other(GetParam()); }
  std::string S(const std::string& relative) const { return rig_.Native(s(), relative); }
  std::string T(const std::string& relative) const { return rig_.Native(t(), relative); }

  // Copies DATA.BIN; the wire bytes of the copy alone.
  std::uint64_t Copy(const std::string& summary, bool safe_copy = true, bool abandon = false) {
    rig_.Show(t());
    rig_.Show(s());
    rig_.Select(s(), {"DATA.BIN"});
    CopyMoveOptions options = CopyOptions(kOverwriteAlways);
    options.safe_copy = safe_copy;
    rig_.ui.ExpectCopyMove(options);
    if (abandon) rig_.ui.ExpectYesNo("DATA.BIN in progress.\rFinish it before stopping?", false);
    rig_.ui.ExpectInfo(summary);
    port_->Reset();
    first_record_ = port_->records().size();
    CopyFiles(rig_.ctx(), s(), /*is_move=*/false);
    const std::uint64_t bytes = port_->Exchanges().wire_bytes();
    rig_.ui.VerifyAllAsked();
    return bytes;
  }

  std::size_t first_record_ = 0;  // the copy's first exchange, when recording
  CountingPort* port_ = nullptr;
  TransferRig rig_{ExtensionOptions(), [this](PortAccess& inner) -> std::unique_ptr<PortAccess> {
                     auto port = std::make_unique<CountingPort>(inner, kDefaultPortBase);
                     port_ = port.get();
                     return port;
                   }};
};

TEST_P(SafeCopyWireTest, ResumedCopyCostsTheMissingBytesOnly) {
  // Bytes that do not deflate, so that the wire carries each as it is.
  const std::string source = PatternBytes(40 * kBlock, 5);
  WriteFile(S("DATA.BIN"), source);
  const std::uint64_t whole = Copy("Files copied: 1");
  EXPECT_GT(whole, source.size());
  ASSERT_EQ(unlink(T("DATA.BIN").c_str()), 0);

  // Stopped after 36 of its 40 blocks.
  rig_.ui.cancel_status_at_pump = 37;
  Copy("Files copied: 0", /*safe_copy=*/true, /*abandon=*/true);
  rig_.ui.cancel_status_at_pump = 0;
  ASSERT_EQ(ReadFile(T("DATA.BIN.duplane-part")).size(), 36 * kBlock);

  const std::uint64_t resumed = Copy("Files copied: 1");
  EXPECT_TRUE(ReadFile(T("DATA.BIN")) == source);
  EXPECT_FALSE(Exists(T("DATA.BIN.duplane-part")));
  // Four blocks of forty, and a few small exchanges.
  EXPECT_LT(resumed * 8, whole) << resumed << " of " << whole;
}

// The exchanges of a two-block copy, as the copy engine of the Parts makes
// them; a local source or target is asked without the wire.
std::vector<int> PlainCopyCodes(Side source) {
  if (source == Side::kLocal) {
    return {kOpFileExists, kOpFileCreate,  kOpFileWrite, kOpFileWrite,
            kOpGetCRC,     kOpSetFileTime, kOpFileClose, kOpFileSetAttr};
  }
  return {kOpFileGetAttr, kOpFileOpen, kOpGetFileTime, kOpFileSeek, kOpFileSeek, kOpFileRead,
          kOpFileRead,    kOpGetCRC,   kOpGetFileTime, kOpFileSeek, kOpFileClose};
}

TEST_P(SafeCopyWireTest, OptionOffMakesThePlainExchangesOnly) {
  const std::string source = PatternBytes(2 * kBlock, 6);
  WriteFile(S("DATA.BIN"), source);
  WriteFile(T("DATA.BIN"), "old");
  // A module that knows only the plain codes, as far as this program can
  // tell: the extensions are off on this end.
  rig_.link().SetExtensionsEnabled(false);
  port_->Record(true);
  Copy("Files copied: 1", /*safe_copy=*/false);
  std::vector<int> codes;
  const std::vector<ExchangeRecord>& records = port_->records();
  for (std::size_t i = first_record_; i < records.size(); ++i) {
    // The list fill after the copy is the window's, not the copy's.
    if (records[i].code == kOpFindFirst) break;
    codes.push_back(records[i].code);
    const std::string sent(records[i].sent.begin(), records[i].sent.end());
    EXPECT_EQ(sent.find(kPartFileSuffix), std::string::npos);
  }
  EXPECT_EQ(codes, PlainCopyCodes(s()));
  EXPECT_TRUE(ReadFile(T("DATA.BIN")) == source);
}

INSTANTIATE_TEST_SUITE_P(Ways, SafeCopyWireTest, BothSides(), DirectionName);

}  // namespace
}  // namespace duplane
