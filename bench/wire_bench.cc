// What the program's work costs on the wire, counted register by register on
// the program's end of a virtual cable with a real duplane-remote answering,
// and what that means on a real cable. Counts, not clocks: they are the same
// on every run and on every machine (only the polls vary), so they hold on a
// loaded machine where wall-clock figures do not.
//
//   wire_bench [--access-us 1.0] [--files 100] [--entries 200] [--big BYTES]
//
// - a large copy: wire bytes per payload byte. Without --big the counts of
//   two copies (16 and 48 blocks) give the exact cost per block and per file,
//   and from them a 64 MiB file's; --big copies a file of that size instead;
// - many small files (1000 bytes each, a directory copied with its gathering):
//   exchanges and wire bytes per file;
// - a remote listing: exchanges and wire bytes per entry;
// - every operation code used, with its cost per exchange;
// - the real-cable model (cable_model.h) for an ISA port reached directly and
//   through ppdev, whose system call is measured here.
//
// All of the above run on the plain codes alone, as against a module that
// knows nothing more. Then the same against duplane-remote with the fast path
// (docs/protocol-extensions.md):
// - a typical mix (text, an executable, already-compressed images; see
//   sample_mix.h) copied both ways, with and without it: wire bytes per
//   payload byte;
// - a listing of 20,000 entries with it, beside the plain listing's cost;
// - how fast this machine packs and unpacks each kind, in 8 KiB blocks;
// - the modelled real-cable times of a 20,000-entry listing and a 100 MB
//   mixed copy, with and without it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_figures.h"
#include "bench_ui.h"
#include "cable_model.h"
#include "link/extension_codes.h"
#include "link/link.h"
#include "link/packed_block.h"
#include "remote_program.h"
#include "sample_mix.h"
#include "transfer/copy_engine.h"
#include "transfer/transfer_context.h"

namespace {

using namespace duplane;
namespace fs = std::filesystem;

constexpr std::int64_t kBlock = kFileBlockSize;
constexpr std::int64_t kSmallFile = 1000;
constexpr std::int64_t kModelFile = 64ll << 20;
constexpr int kModelEntries = 20000;
constexpr int kModelFiles = 3000;
constexpr std::int64_t kMixPart = 1 << 20;  // of each kind in the measured mix
constexpr double kModelMix = 100e6;         // the modelled mixed copy, bytes

const char* const kOpNames[kLastExtensionCode + 1] = {
    "LinkNop",           "LinkGetDrives",        "LinkGetHomeDrive",    "LinkChDir",
    "LinkGetDir",        "LinkDiskFree",         "LinkFindFirst",       "LinkFindNext",
    "LinkFindClose",     "LinkFileOpen",         "LinkFileSeek",        "LinkFileRead",
    "LinkFileWrite",     "(never sent)",         "LinkFileClose",       "LinkDeleteFile",
    "LinkFileExists",    "LinkFileCreate",       "LinkGetFileTime",     "LinkSetFileTime",
    "LinkFileGetAttr",   "LinkFileSetAttr",      "LinkCreateDir",       "LinkRemoveDir",
    "LinkRenameFile",    "LinkDirectoryExists",  "LinkGetCRC",          "LinkFileAge",
    "LinkDiskSize",      "LinkGetSysImageList",  "LinkGetIconIndex",    "LinkHasSubDirs",
    "LinkListSubDirs",   "LinkFileReadPacked",   "LinkFileWritePacked", "LinkFindFirstBatch",
    "LinkFindNextBatch", "LinkListSubDirsBatch", "LinkRangeCRC"};

struct Options {
  double access_us = 1.0;
  int files = 100;
  int entries = 200;
  std::int64_t big = 0;
};

Options Parse(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--access-us")) options.access_us = std::atof(argv[i + 1]);
    if (!std::strcmp(argv[i], "--files")) options.files = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--entries")) options.entries = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--big")) options.big = std::atoll(argv[i + 1]);
  }
  return options;
}

// The counts of a piece of work scaled by a factor (per file, per entry).
struct Per {
  double exchanges, wire_bytes, accesses;
};
Per Divide(const WireCounts& counts, double by) {
  return {counts.exchanges / by, counts.wire_bytes() / by, counts.fixed_accesses() / by};
}

class Bench {
 public:
  Bench(const Options& options, const std::string& exe)
      : options_(options), remote_(exe, remote_dir_.path(), local_dir_.path()) {}

  bool Start() { return remote_.started() && remote_.Connect(); }

  // Off: the plain codes only, as against a module that knows nothing more.
  void SetFastPath(bool on) { remote_.link().SetExtensionsEnabled(on); }

  // Copies the pane's rows from one side to the other; the counts of it all.
  WireCounts Copy(Side source_side, const std::vector<BenchUi::Row>& rows) {
    ui_.Show(source_side, remote_.link(), rows);
    ui_.Show(Other(source_side), remote_.link(), {});
    const WireCounts before = remote_.port().Exchanges();
    CopyFiles(ctx_, source_side, /*is_move=*/false);
    return remote_.port().Exchanges() - before;
  }

  std::string Folder(Side side) const {
    return side == Side::kLocal ? local_dir_.path() : remote_dir_.path();
  }

  // One file of `size` bytes copied each way: the sum of both.
  WireCounts CopyBothWays(std::int64_t size) {
    const std::string name = "BIG" + std::to_string(size) + ".BIN";
    WritePatternFile(Folder(Side::kLocal) + "/" + name, size, 1);
    WireCounts counts = Copy(Side::kLocal, {{name, size}});
    fs::remove(Folder(Side::kLocal) + "/" + name);
    counts += Copy(Side::kRemote, {{name, size}});
    fs::remove(Folder(Side::kRemote) + "/" + name);
    fs::remove(Folder(Side::kLocal) + "/" + name);
    return counts;
  }

  void LargeCopy() {
    std::printf("\nA large copy, Local -> Remote and back (counts of both copies)\n");
    if (options_.big > 0) {
      const WireCounts counts = CopyBothWays(options_.big);
      per_big_file_ = counts;
      big_size_ = options_.big;
      Print("  measured", counts, 2.0 * options_.big);
      return;
    }
    constexpr std::int64_t kFew = 16, kMany = 48;
    const WireCounts few = CopyBothWays(kFew * kBlock);
    const WireCounts many = CopyBothWays(kMany * kBlock);
    Print("  16 blocks", few, 2.0 * kFew * kBlock);
    Print("  48 blocks", many, 2.0 * kMany * kBlock);
    // The counts are exact, so two sizes give the cost per block and per file.
    const WireCounts per_32 = many - few;
    const double block_bytes = per_32.wire_bytes() / double(kMany - kFew);
    const double block_exchanges = per_32.exchanges / double(kMany - kFew);
    const double file_bytes = few.wire_bytes() - kFew * block_bytes;
    const double file_exchanges = few.exchanges - kFew * block_exchanges;
    std::printf(
        "  per block (both ways together): %.1f exchanges, %.1f wire bytes for %lld bytes\n",
        block_exchanges, block_bytes, 2 * (long long)kBlock);
    std::printf("  per file (both ways together): %.1f exchanges, %.1f wire bytes besides blocks\n",
                file_exchanges, file_bytes);
    const double blocks = kModelFile / double(kBlock);
    big_size_ = kModelFile;
    per_big_file_.exchanges = std::uint64_t(file_exchanges + blocks * block_exchanges + 0.5);
    const double wire = file_bytes + blocks * block_bytes;
    per_big_file_.bytes_sent = std::uint64_t(wire + 0.5);
    std::printf(
        "  a 64 MiB file each way, from these: payload/wire = %.5f (block framing "
        "alone: %.5f)\n",
        2.0 * kModelFile / wire, 2.0 * kBlock / block_bytes);
  }

  void SmallFiles() {
    const int n = options_.files;
    std::printf("\n%d files of %lld bytes in one directory, copied with their gathering\n", n,
                (long long)kSmallFile);
    fs::create_directories(Folder(Side::kLocal) + "/SMALL");
    for (int i = 0; i < n; ++i) {
      WritePatternFile(Folder(Side::kLocal) + "/SMALL/F" + std::to_string(i) + ".DAT", kSmallFile,
                       i);
    }
    const std::vector<BenchUi::Row> dir = {{"SMALL", 0, true}};
    small_up_ = Copy(Side::kLocal, dir);
    fs::remove_all(Folder(Side::kLocal) + "/SMALL");
    small_down_ = Copy(Side::kRemote, dir);
    PrintPer("  Local -> Remote, per file", small_up_, n);
    PrintPer("  Remote -> Local, per file", small_down_, n);
  }

  // A remote directory `dir` of `n` files listed; the counts and the entries
  // listed (with . and ..).
  WireCounts ListNewDirectory(const std::string& dir, int n, int* listed) {
    fs::create_directories(Folder(Side::kRemote) + "/" + dir);
    for (int i = 0; i < n; ++i) {
      WritePatternFile(Folder(Side::kRemote) + "/" + dir + "/E" + std::to_string(i) + ".DAT",
                       i % 100, i);
    }
    Link& link = remote_.link();
    const WireCounts before = remote_.port().Exchanges();
    *listed = 0;
    for (std::int32_t r =
             link.LinkFindFirst(Side::kRemote, 1, "C:\\" + dir + "\\*.*", kMaskFilesAndDirs);
         r == 0; r = link.LinkFindNext(Side::kRemote, 1)) {
      ++*listed;
    }
    link.LinkFindClose(Side::kRemote, 1);
    return remote_.port().Exchanges() - before;
  }

  void Listing() {
    listing_ = ListNewDirectory("LIST", options_.entries, &listing_entries_);
    const int listed = listing_entries_;
    std::printf("\nA remote listing of %d entries (with . and ..)\n", listed);
    PrintPer("  per entry", listing_, listed);
  }

  // The mix copied Local -> Remote and back, kind by kind.
  void MixedCopy(bool fast) {
    SetFastPath(fast);
    std::printf("\nA typical mix, %lld bytes of each kind, Local -> Remote and back, %s\n",
                (long long)kMixPart, fast ? "WITH the fast path" : "plain codes only");
    WireCounts all;
    double payload = 0;
    for (const SampleKind& kind :
         {SampleText(kMixPart), SampleExecutable(kMixPart), SampleImages(kMixPart)}) {
      if (kind.bytes.empty()) {
        std::printf("  %s: not on this system, left out\n", kind.name);
        continue;
      }
      const std::int64_t size = static_cast<std::int64_t>(kind.bytes.size());
      std::ofstream(Folder(Side::kLocal) + "/" + kind.file, std::ios::binary) << kind.bytes;
      WireCounts counts = Copy(Side::kLocal, {{kind.file, size}});
      fs::remove(Folder(Side::kLocal) + "/" + kind.file);
      counts += Copy(Side::kRemote, {{kind.file, size}});
      fs::remove(Folder(Side::kLocal) + "/" + kind.file);
      fs::remove(Folder(Side::kRemote) + "/" + kind.file);
      std::printf("  %-18s wire bytes per payload byte %.3f\n", kind.name,
                  counts.wire_bytes() / (2.0 * size));
      all += counts;
      payload += 2.0 * size;
    }
    std::printf("  the whole mix: wire bytes per payload byte %.3f\n", all.wire_bytes() / payload);
    (fast ? mix_fast_ : mix_plain_) = all;
    mix_payload_ = payload;
    SetFastPath(false);
  }

  // A directory of kModelEntries entries listed over the fast path.
  void FastListing() {
    SetFastPath(true);
    listing_fast_ = ListNewDirectory("MANY", kModelEntries, &listing_fast_entries_);
    const int listed = listing_fast_entries_;
    fs::remove_all(Folder(Side::kRemote) + "/MANY");
    SetFastPath(false);
    std::printf("\nA remote listing of %d entries WITH the fast path\n", listed);
    PrintPer("  per entry", listing_fast_, listed);
    const Per plain = Divide(listing_, listing_entries_);
    std::printf("  against %.1f wire bytes per entry with plain codes: %.1f times fewer\n",
                plain.wire_bytes, plain.wire_bytes / (listing_fast_.wire_bytes() / double(listed)));
  }

  // How fast this machine packs and unpacks each kind, one 8 KiB block at a
  // time as the fast path does.
  void PackingSpeed() {
    std::printf("\nPacking speed on this machine, 8 KiB blocks, zlib level %d (%s)\n", kPackLevel,
                LoadAverage().c_str());
    for (const SampleKind& kind :
         {SampleText(kMixPart), SampleExecutable(kMixPart), SampleImages(kMixPart)}) {
      if (kind.bytes.empty()) continue;
      std::vector<double> pack_rates, unpack_rates;
      std::vector<char> out(kBlock);
      std::size_t packed_bytes = 0;
      for (int round = 0; round < 5; ++round) {
        std::vector<Packed> blocks;
        const double start = Now();
        for (std::size_t at = 0; at < kind.bytes.size(); at += kBlock) {
          blocks.push_back(Pack(kind.bytes.data() + at, kBlock));
        }
        pack_rates.push_back(kind.bytes.size() / (Now() - start) / 1e6);
        packed_bytes = 0;
        const double middle = Now();
        for (const Packed& block : blocks) {
          if (block.form == kPackDeflated) {
            Unpack(block.deflated.data(), block.deflated.size(), out.data(), kBlock);
            packed_bytes += block.deflated.size() + 4;
          } else {
            packed_bytes += kBlock;
          }
        }
        unpack_rates.push_back(kind.bytes.size() / (Now() - middle) / 1e6);
      }
      std::printf("  %-18s packed to %.3f; pack MB/s %s; unpack MB/s %s\n", kind.name,
                  double(packed_bytes) / kind.bytes.size(),
                  Describe(SpreadOf(pack_rates), "%.0f").c_str(),
                  Describe(SpreadOf(unpack_rates), "%.0f").c_str());
    }
  }

  void PerCode() {
    std::printf("\nEvery operation used above, per exchange (program's end)\n");
    std::printf("  code %-20s %9s %7s %9s %13s %8s\n", "operation", "exchanges", "sent", "received",
                "fixed access", "polls");
    for (int code = 0; code <= kLastExtensionCode; ++code) {
      const WireCounts c = remote_.port().ForCode(code);
      if (c.exchanges == 0) continue;
      const double e = static_cast<double>(c.exchanges);
      std::printf("  %4d %-20s %9llu %7.1f %9.1f %13.1f %8.1f\n", code, kOpNames[code],
                  (unsigned long long)c.exchanges, c.bytes_sent / e, c.bytes_received / e,
                  c.fixed_accesses() / e, c.polls / e);
    }
    const WireCounts bad = remote_.port().ForCode(CountingPort::kMalformed);
    if (bad.exchanges)
      std::printf("  malformed headers: %llu\n", (unsigned long long)bad.exchanges);
  }

  void Model() {
    const double ioctl_us = MeasureIoctlMicroseconds();
    const std::vector<CableModel> models = {
        {"port reached directly (Windows 9x, ioperm)", options_.access_us, 0},
        {"port through ppdev (measured ioctl)", options_.access_us, ioctl_us},
    };
    std::printf("\nOn a real cable: %.2f us per port access; an ioctl costs %.2f us here\n",
                options_.access_us, ioctl_us);
    std::printf("  (per nibble %.0f accesses, per exchange %.0f more; the disk not included)\n",
                CableModel::kAccessesPerNibble, CableModel::kAccessesPerExchange);
    const double file_s = 1.0 / 2.0;  // both directions were counted together
    for (const CableModel& model : models) {
      const double copy_rate = big_size_ / (model.Seconds(per_big_file_) * file_s);
      const double listing = model.Seconds(listing_) / listing_entries_ * kModelEntries;
      const double small_up = model.Seconds(small_up_) / options_.files * kModelFiles;
      const double small_down = model.Seconds(small_down_) / options_.files * kModelFiles;
      std::printf("  %s, %.2f us per access:\n", model.name.c_str(), model.PerAccessUs());
      std::printf("    copy of a 64 MiB file: %.0f bytes/s (%.0f s)\n", copy_rate,
                  kModelFile / copy_rate);
      std::printf("    listing %d entries: %.0f s\n", kModelEntries, listing);
      std::printf("    %d files of %lld bytes: %.0f s Local -> Remote, %.0f s Remote -> Local\n",
                  kModelFiles, (long long)kSmallFile, small_up, small_down);
      const double fast_listing =
          model.Seconds(listing_fast_) / listing_fast_entries_ * kModelEntries;
      std::printf("    listing %d entries WITH the fast path: %.1f s\n", kModelEntries,
                  fast_listing);
      if (mix_payload_ > 0) {
        // Both directions were counted together; a copy one way is half.
        const double plain_mix = model.Seconds(mix_plain_) / mix_payload_ * kModelMix;
        const double fast_mix = model.Seconds(mix_fast_) / mix_payload_ * kModelMix;
        std::printf("    a 100 MB mixed copy: %.0f s with plain codes, %.0f s WITH the fast path\n",
                    plain_mix, fast_mix);
      }
    }
  }

 private:
  static void Print(const char* what, const WireCounts& c, double payload) {
    std::printf("%s: %llu exchanges, %llu wire bytes for %.0f payload bytes: payload/wire %.5f\n",
                what, (unsigned long long)c.exchanges, (unsigned long long)c.wire_bytes(), payload,
                payload / c.wire_bytes());
  }
  static void PrintPer(const char* what, const WireCounts& c, int n) {
    const Per per = Divide(c, n);
    std::printf("%s: %.2f exchanges, %.1f wire bytes, %.1f fixed port accesses\n", what,
                per.exchanges, per.wire_bytes, per.accesses);
  }

  Options options_;
  ScratchFolder local_dir_{"local"};
  ScratchFolder remote_dir_{"remote"};
  RemoteProgram remote_;
  BenchUi ui_;
  SearchSlots slots_;
  TransferQueue queue_;
  TransferContext ctx_{remote_.link(), ui_, slots_, queue_};
  WireCounts per_big_file_, small_up_, small_down_, listing_, listing_fast_;
  WireCounts mix_plain_, mix_fast_;
  double mix_payload_ = 0;
  std::int64_t big_size_ = 0;
  int listing_entries_ = 1;
  int listing_fast_entries_ = 1;
};

}  // namespace

int main(int argc, char** argv) {
  const Options options = Parse(argc, argv);
  Bench bench(options, DUPLANE_REMOTE_EXE);
  if (!bench.Start()) {
    std::fprintf(stderr, "cannot start or connect %s\n", DUPLANE_REMOTE_EXE);
    return 1;
  }
  std::printf("Wire costs counted on the program's end, duplane-remote answering (%s)\n",
              LoadAverage().c_str());
  // The plain codes first, as against a module that knows nothing more.
  bench.SetFastPath(false);
  bench.LargeCopy();
  bench.SmallFiles();
  bench.Listing();
  bench.MixedCopy(/*fast=*/false);
  bench.MixedCopy(/*fast=*/true);
  bench.FastListing();
  bench.PackingSpeed();
  bench.PerCode();
  bench.Model();
  return 0;
}
