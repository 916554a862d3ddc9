// What the fast path puts on the wire, counted on the program's end of a
// virtual cable: against a module that knows only the plain codes, every
// exchange but the probe is the one the program without extensions makes,
// byte for byte; between two Duplane ends a large listing and the tree's
// questions cost a fraction, with the same answers, and a block that does not
// deflate costs five bytes more than a plain one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "counting_port.h"
#include "link/extension_codes.h"
#include "link/link.h"
#include "localfs/crc32.h"
#include "localfs/local_file_system.h"
#include "support/cable_fixture.h"
#include "support/file_tree.h"

namespace duplane {
namespace {

constexpr std::int32_t kBlock = 8192;
// A FILETIME in 2001, for the times the workload sets.
constexpr FileTime kTime = 126444736000000000ull;

class Wired {
 public:
  Wired(bool module_extensions, bool program_extensions, std::uint32_t tree_budget_ms = 2000) {
    CableFixture::Options options;
    options.local_drives = {{'C', local_.path()}};
    options.remote_drives = {{'C', remote_.path()}};
    options.remote_extensions.enabled = module_extensions;
    options.remote_extensions.tree_budget_ms = tree_budget_ms;
    options.program_extensions = program_extensions;
    options.wrap_program_port = [this](PortAccess& inner) {
      auto port = std::make_unique<CountingPort>(inner, kDefaultPortBase);
      port_ = port.get();
      return port;
    };
    fixture_ = std::make_unique<CableFixture>(std::move(options));
  }

  Link& link() { return fixture_->link(); }
  CountingPort& port() { return *port_; }
  std::string Remote(const std::string& relative) const { return remote_ / relative; }
  const std::string& RemoteRoot() const { return remote_.path(); }
  bool Connect() { return fixture_->Connect(); }

 private:
  TempFolder local_{"local"};
  TempFolder remote_{"remote"};
  CountingPort* port_ = nullptr;
  std::unique_ptr<CableFixture> fixture_;
};

// The remote tree of the workload, the same in every Wired it is made in.
void MakeWorkTree(Wired& wired) {
  WriteFile(wired.Remote("DIR/TEXT.TXT"), TextBytes(2 * kBlock + 10, 1));
  WriteFile(wired.Remote("DIR/RANDOM.BIN"), PatternBytes(kBlock + 3, 2));
  MakeDir(wired.Remote("DIR/SUB/INNER"));
  MakeDir(wired.Remote("DIR/EMPTY"));
}

// Every operation the extensions stand in for, as the window and the copies
// use them.
void RunWorkload(Link& link) {
  for (std::int32_t r = link.LinkFindFirst(Side::kRemote, 3, "C:\\DIR\\*.*", kMaskFilesAndDirs);
       r == 0; r = link.LinkFindNext(Side::kRemote, 3)) {
  }
  link.LinkFindClose(Side::kRemote, 3);
  std::vector<std::string> names;
  link.LinkListSubDirs(Side::kRemote, "C:\\DIR", &names);
  for (const std::string& name : names) {
    link.LinkHasSubDirs(Side::kRemote, "C:\\DIR\\" + name);
    std::int32_t normal, open;
    link.LinkGetIconIndex(Side::kRemote, "C:\\DIR\\" + name, &normal, &open);
  }
  std::vector<char> block(kBlock);
  const std::int32_t in = link.LinkFileOpen(Side::kRemote, "C:\\DIR\\TEXT.TXT", 0x40);
  while (link.LinkFileRead(Side::kRemote, in, block.data(), kBlock) > 0) {
  }
  link.LinkFileClose(Side::kRemote, in);
  link.LinkGetCRC(Side::kRemote);
  const std::string bytes = TextBytes(kBlock + 1, 5) + PatternBytes(kBlock, 6);
  const std::int32_t out = link.LinkFileCreate(Side::kRemote, "C:\\DIR\\OUT.BIN");
  for (std::size_t at = 0; at < bytes.size(); at += kBlock) {
    const auto n = static_cast<std::int32_t>(std::min<std::size_t>(kBlock, bytes.size() - at));
    link.LinkFileWrite(Side::kRemote, out, bytes.data() + at, n);
  }
  link.LinkSetFileTime(Side::kRemote, out, kTime, kTime, kTime);
  link.LinkFileClose(Side::kRemote, out);
  link.LinkGetCRC(Side::kRemote);
}

std::vector<ExchangeRecord> RecordWorkload(bool program_extensions) {
  Wired wired(/*module_extensions=*/false, program_extensions);
  MakeWorkTree(wired);
  EXPECT_TRUE(wired.Connect());
  wired.port().Record(true);
  RunWorkload(wired.link());
  EXPECT_FALSE(wired.link().HasExtensions(Side::kRemote));
  return wired.port().records();
}

std::string Describe(const ExchangeRecord& r) {
  return "code " + std::to_string(r.code) + ", " + std::to_string(r.sent.size()) + " sent, " +
         std::to_string(r.received) + " received";
}

TEST(FastPathWireTest, PlainModuleSeesEveryExchangeAsBeforeButTheProbe) {
  const std::vector<ExchangeRecord> before = RecordWorkload(/*program_extensions=*/false);
  std::vector<ExchangeRecord> now = RecordWorkload(/*program_extensions=*/true);
  ASSERT_EQ(now.size(), before.size() + 1);

  // The probe comes first, before the search it was asked for.
  const std::string path = kExtensionsProbePath;
  std::vector<std::uint8_t> probe = {
      0x01, kOpFileExists, kOpFileExists ^ 0xFF, static_cast<std::uint8_t>(path.size()), 0, 0, 0};
  probe.insert(probe.end(), path.begin(), path.end());
  EXPECT_EQ(now.front().code, kOpFileExists);
  EXPECT_EQ(now.front().sent, probe);
  EXPECT_EQ(now.front().received, 1u);
  now.erase(now.begin());

  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(now[i].code, before[i].code) << i;
    EXPECT_TRUE(now[i].sent == before[i].sent) << i << ": " << Describe(now[i]);
    EXPECT_EQ(now[i].received, before[i].received) << i << ": " << Describe(now[i]);
  }
}

std::vector<FindRecord> ListAll(Link& link, const std::string& pattern, std::int32_t mask) {
  std::vector<FindRecord> records;
  for (std::int32_t r = link.LinkFindFirst(Side::kRemote, 7, pattern, mask); r == 0;
       r = link.LinkFindNext(Side::kRemote, 7)) {
    records.push_back(link.SlotRecord(7));
  }
  link.LinkFindClose(Side::kRemote, 7);
  return records;
}

void ExpectSameRecords(const std::vector<FindRecord>& a, const std::vector<FindRecord>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].name, b[i].name) << i;
    EXPECT_EQ(a[i].size, b[i].size) << a[i].name;
    EXPECT_EQ(a[i].attributes, b[i].attributes) << a[i].name;
    EXPECT_EQ(a[i].creation_time, b[i].creation_time) << a[i].name;
    EXPECT_EQ(a[i].last_access_time, b[i].last_access_time) << a[i].name;
    EXPECT_EQ(a[i].last_write_time, b[i].last_write_time) << a[i].name;
  }
}

// 2100-01-01, in seconds since 1970.
constexpr std::int64_t kFarFuture = 4102444800;
// What one FindNext exchange carries: header, slot, record, result.
constexpr std::uint64_t kFindNextBytes = 3 + 4 + kFindRecordSize + 4;

void MakeListedDir(Wired& wired, const std::string& dir, int files) {
  for (int i = 0; i < files; ++i) {
    const std::string name = "FILE" + std::to_string(i) + (i % 7 == 0 ? ".TXT" : ".DAT");
    WriteFile(wired.Remote(dir + "/" + name), std::string(static_cast<std::size_t>(i % 50), 'x'));
  }
  MakeDir(wired.Remote(dir + "/A DIRECTORY"));
  WriteFile(wired.Remote(dir + "/.hidden"), "h");
  // The directory's "." and ".." carry their access times, which anything
  // that reads them (here or elsewhere on the machine) would move while the
  // listings run; set in the future, they stay.
  for (const std::string& path : {wired.Remote(dir), wired.RemoteRoot()}) {
    SetTimes(path, kFarFuture, 1000000000);
  }
}

TEST(FastPathWireTest, ListingOfTwentyThousandEntriesIsTheModulesOwnForAFifthOfTheBytes) {
  constexpr int kFiles = 20000;
  Wired wired(true, true);
  MakeListedDir(wired, "BIG", kFiles);
  ASSERT_TRUE(wired.Connect());
  const std::vector<FindRecord> fast = ListAll(wired.link(), "C:\\BIG\\*.*", kMaskFilesAndDirs);
  const WireCounts fast_cost = wired.port().Exchanges();  // the probe included

  // The records the module's own local branch finds, as the plain exchanges
  // would carry them (in 292-byte records, one each).
  LocalFileSystem module_side({{'C', wired.RemoteRoot()}}, /*confine=*/true);
  std::vector<FindRecord> own;
  FindRecord record;
  for (std::int32_t r = module_side.FindFirst(1, "C:\\BIG\\*.*", kMaskFilesAndDirs, &record);
       r == 0; r = module_side.FindNext(1, &record)) {
    own.push_back(DecodeFindRecord(EncodeFindRecord(record)));
  }
  module_side.FindClose(1);
  ASSERT_EQ(own.size(), std::size_t(kFiles + 4));  // with ".", ".." and the directory
  ExpectSameRecords(own, fast);

  // The plain listing: one FindNext per entry and one to end it, besides its
  // FindFirst and FindClose.
  const std::uint64_t plain_bytes = own.size() * kFindNextBytes;
  EXPECT_GE(plain_bytes, 5 * fast_cost.wire_bytes())
      << plain_bytes << " against " << fast_cost.wire_bytes();
  EXPECT_LE(fast_cost.exchanges, 30u);
}

TEST(FastPathWireTest, ListingOverSeveralBatchesIsThePlainListing) {
  Wired wired(true, true);
  MakeListedDir(wired, "SOME", 1500);
  ASSERT_TRUE(wired.Connect());
  Link& link = wired.link();
  for (const auto& [pattern, mask] : {std::make_pair("C:\\SOME\\*.*", kMaskFilesAndDirs),
                                      std::make_pair("C:\\SOME\\FILE1*.TXT", kMaskFilesOnly)}) {
    SCOPED_TRACE(pattern);
    link.SetExtensionsEnabled(false);
    wired.port().Reset();
    const std::vector<FindRecord> plain = ListAll(link, pattern, mask);
    const WireCounts plain_cost = wired.port().Exchanges();
    EXPECT_EQ(plain_cost.exchanges, plain.size() + 2);
    link.SetExtensionsEnabled(true);
    const std::vector<FindRecord> fast = ListAll(link, pattern, mask);
    ExpectSameRecords(plain, fast);
    EXPECT_GT(fast.size(), 30u);
  }
}

TEST(FastPathWireTest, BlocksCrossPackedWhenThatPaysAndTheRunningCrcsStayOverThePlainBytes) {
  Wired wired(true, true);
  ASSERT_TRUE(wired.Connect());
  Link& link = wired.link();
  ASSERT_TRUE(link.HasExtensions(Side::kRemote));
  const std::string text = TextBytes(kBlock, 8);
  const std::string noise = PatternBytes(kBlock, 9);

  const std::int32_t out = link.LinkFileCreate(Side::kRemote, "C:\\MIX.BIN");
  wired.port().Reset();
  EXPECT_EQ(link.LinkFileWrite(Side::kRemote, out, noise.data(), kBlock), kBlock);
  const WireCounts noise_cost = wired.port().Exchanges();
  wired.port().Reset();
  EXPECT_EQ(link.LinkFileWrite(Side::kRemote, out, text.data(), kBlock), kBlock);
  const WireCounts text_cost = wired.port().Exchanges();
  ASSERT_TRUE(link.LinkFileClose(Side::kRemote, out));
  const std::uint32_t written_crc = link.LinkGetCRC(Side::kRemote);
  EXPECT_EQ(written_crc,
            UpdateCrcLong(UpdateCrcLong(kCrcStart, kBlock, noise.data()), kBlock, text.data()));

  // The plain write: header, handle, count, data. Stored, one form byte and
  // one length more.
  constexpr std::uint64_t kPlainWrite = 3 + 4 + 4 + kBlock;
  EXPECT_EQ(noise_cost.bytes_sent, kPlainWrite + 5);
  EXPECT_LT(text_cost.bytes_sent * 2, kPlainWrite);

  std::string back(2 * kBlock, '\0');
  const std::int32_t in = link.LinkFileOpen(Side::kRemote, "C:\\MIX.BIN", 0x40);
  EXPECT_EQ(link.LinkFileRead(Side::kRemote, in, &back[0], kBlock), kBlock);
  EXPECT_EQ(link.LinkFileRead(Side::kRemote, in, &back[kBlock], kBlock), kBlock);
  EXPECT_EQ(link.LinkFileRead(Side::kRemote, in, &back[0], 0), 0);
  link.LinkFileClose(Side::kRemote, in);
  EXPECT_TRUE(back == noise + text);
  EXPECT_EQ(link.LinkGetCRC(Side::kRemote), written_crc);
}

// The tree expands a node: the names, then each one's sub-directories and
// icons, as the window asks them.
struct Expansion {
  std::vector<std::string> names;
  std::vector<bool> has;
  std::vector<std::int32_t> icons;
};
Expansion Expand(Link& link, const std::string& node) {
  Expansion e;
  link.LinkListSubDirs(Side::kRemote, node, &e.names);
  for (const std::string& name : e.names) {
    e.has.push_back(link.LinkHasSubDirs(Side::kRemote, node + "\\" + name));
    std::int32_t normal = -1, open = -1;
    link.LinkGetIconIndex(Side::kRemote, node + "\\" + name, &normal, &open);
    e.icons.push_back(normal);
    e.icons.push_back(open);
  }
  return e;
}

void MakeTreeDirs(Wired& wired) {
  MakeDir(wired.Remote("T/WITH/SUB"));
  MakeDir(wired.Remote("T/EMPTY"));
  WriteFile(wired.Remote("T/FILES/ONLY.TXT"), "f");
  WriteFile(wired.Remote("T/NOT A DIR.TXT"), "n");
}

TEST(FastPathWireTest, TreeExpansionIsOneExchangeWithTheSameAnswers) {
  for (const std::uint32_t budget : {2000u, 0u}) {
    SCOPED_TRACE(budget);
    Wired wired(true, true, budget);
    MakeTreeDirs(wired);
    ASSERT_TRUE(wired.Connect());
    Link& link = wired.link();
    ASSERT_TRUE(link.HasExtensions(Side::kRemote));  // the probe, out of the counts below

    link.SetExtensionsEnabled(false);
    wired.port().Reset();
    const Expansion plain = Expand(link, "C:\\T");
    EXPECT_EQ(wired.port().Exchanges().exchanges, 1 + 2 * plain.names.size());
    ASSERT_EQ(plain.names.size(), 3u);

    link.SetExtensionsEnabled(true);
    wired.port().Reset();
    const Expansion fast = Expand(link, "C:\\T");
    EXPECT_EQ(fast.names, plain.names);
    EXPECT_EQ(fast.has, plain.has);
    EXPECT_EQ(fast.icons, plain.icons);
    // With no time for the names' own questions the program asks them itself.
    EXPECT_EQ(wired.port().Exchanges().exchanges, budget == 0 ? 1 + 2 * plain.names.size() : 1u);
  }
}

TEST(FastPathWireTest, TreeAnswersHoldOnlyUntilTheNextExchange) {
  Wired wired(true, true);
  MakeTreeDirs(wired);
  ASSERT_TRUE(wired.Connect());
  Link& link = wired.link();
  std::vector<std::string> names;
  ASSERT_EQ(link.LinkListSubDirs(Side::kRemote, "C:\\T", &names), 3);
  EXPECT_FALSE(link.LinkHasSubDirs(Side::kRemote, "C:\\T\\EMPTY"));
  // The directory changes on the Remote PC; any exchange ends what the batch said.
  MakeDir(wired.Remote("T/EMPTY/NEW"));
  EXPECT_EQ(link.LinkGetDrives(Side::kRemote), "C");
  wired.port().Reset();
  EXPECT_TRUE(link.LinkHasSubDirs(Side::kRemote, "C:\\T\\EMPTY"));
  EXPECT_EQ(wired.port().ForCode(kOpHasSubDirs).exchanges, 1u);
}

}  // namespace
}  // namespace duplane
