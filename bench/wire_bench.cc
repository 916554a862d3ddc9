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
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_figures.h"
#include "bench_ui.h"
#include "cable_model.h"
#include "link/link.h"
#include "remote_program.h"
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

const char* const kOpNames[33] = {
    "LinkNop",         "LinkGetDrives",       "LinkGetHomeDrive", "LinkChDir",
    "LinkGetDir",      "LinkDiskFree",        "LinkFindFirst",    "LinkFindNext",
    "LinkFindClose",   "LinkFileOpen",        "LinkFileSeek",     "LinkFileRead",
    "LinkFileWrite",   "(never sent)",        "LinkFileClose",    "LinkDeleteFile",
    "LinkFileExists",  "LinkFileCreate",      "LinkGetFileTime",  "LinkSetFileTime",
    "LinkFileGetAttr", "LinkFileSetAttr",     "LinkCreateDir",    "LinkRemoveDir",
    "LinkRenameFile",  "LinkDirectoryExists", "LinkGetCRC",       "LinkFileAge",
    "LinkDiskSize",    "LinkGetSysImageList", "LinkGetIconIndex", "LinkHasSubDirs",
    "LinkListSubDirs"};

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

  void Listing() {
    const int n = options_.entries;
    fs::create_directories(Folder(Side::kRemote) + "/LIST");
    for (int i = 0; i < n; ++i) {
      WritePatternFile(Folder(Side::kRemote) + "/LIST/E" + std::to_string(i) + ".DAT", i % 100, i);
    }
    Link& link = remote_.link();
    const WireCounts before = remote_.port().Exchanges();
    int listed = 0;
    for (std::int32_t r = link.LinkFindFirst(Side::kRemote, 1, "C:\\LIST\\*.*", kMaskFilesAndDirs); r == 0;
         r = link.LinkFindNext(Side::kRemote, 1)) {
      ++listed;
    }
    link.LinkFindClose(Side::kRemote, 1);
    listing_ = remote_.port().Exchanges() - before;
    listing_entries_ = listed;
    std::printf("\nA remote listing of %d entries (with . and ..)\n", listed);
    PrintPer("  per entry", listing_, listed);
  }

  void PerCode() {
    std::printf("\nEvery operation used above, per exchange (program's end)\n");
    std::printf("  code %-20s %9s %7s %9s %13s %8s\n", "operation", "exchanges", "sent", "received",
                "fixed access", "polls");
    for (int code = 0; code <= kOpListSubDirs; ++code) {
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
  WireCounts per_big_file_, small_up_, small_down_, listing_;
  std::int64_t big_size_ = 0;
  int listing_entries_ = 1;
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
  bench.LargeCopy();
  bench.SmallFiles();
  bench.Listing();
  bench.PerCode();
  bench.Model();
  return 0;
}
