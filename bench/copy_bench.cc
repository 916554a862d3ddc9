// Copy throughput over the virtual cable between two processes beside the raw
// link's, both against one partner process (cable_partner.h): a file copied
// by the copy engine Local -> Remote and Remote -> Local, and the same number
// of bytes straight through SendBlock / GetBlock. On a shared machine a
// polled handshake runs at the scheduler's mercy, so the two are run in turn,
// several rounds, the order swapped every round, and each figure and each
// round's ratio is printed as min / median / max with the load average.
// Prints figures only; the deterministic costs are wire_bench's.
//
//   copy_bench [BYTES (default 512 KiB)] [ROUNDS (default 5)]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_figures.h"
#include "bench_ui.h"
#include "cable_partner.h"
#include "link/link.h"
#include "localfs/local_file_system.h"
#include "remote_program.h"
#include "transfer/copy_engine.h"
#include "transfer/transfer_context.h"

namespace {

using namespace duplane;
namespace fs = std::filesystem;

// The kilobytes of VmHWM in /proc/<pid>/status ("self" for this process).
long PeakKb(const std::string& pid) {
  std::ifstream status("/proc/" + pid + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

bool SameBytes(const std::string& a, const std::string& b) {
  std::ifstream left(a, std::ios::binary), right(b, std::ios::binary);
  std::vector<char> x(1 << 16), y(1 << 16);
  for (;;) {
    left.read(x.data(), x.size());
    right.read(y.data(), y.size());
    if (left.gcount() != right.gcount()) return false;
    if (left.gcount() == 0) return true;
    if (!std::equal(x.begin(), x.begin() + left.gcount(), y.begin())) return false;
  }
}

struct Direction {
  Direction(const char* name_in, bool to_remote_in) : name(name_in), to_remote(to_remote_in) {}
  const char* name;
  bool to_remote;
  std::vector<double> raw, copy, ratio;
  std::vector<std::string> loads;
  bool all_identical = true;
};

}  // namespace

int main(int argc, char** argv) {
  const long total = argc > 1 ? std::atol(argv[1]) : 512L << 10;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  ScratchFolder local_dir("copy-local"), remote_dir("copy-remote");
  const std::string name = "BIG.BIN";
  const std::string local_file = local_dir.path() + "/" + name;
  const std::string remote_file = remote_dir.path() + "/" + name;
  WritePatternFile(local_file, total, 7);

  CablePartner partner(remote_dir.path());
  if (!partner.started()) {
    std::fprintf(stderr, "cannot start the partner process\n");
    return 1;
  }
  LinkLayer link_layer(partner.port(), kDefaultPortBase);
  LocalFileSystem local_files({{'C', local_dir.path()}}, /*confine=*/false);
  Link link(local_files, &link_layer);
  BenchUi ui;
  SearchSlots slots;
  TransferQueue queue;
  TransferContext ctx{link, ui, slots, queue};

  auto copy_seconds = [&](Side source) {
    partner.ServeModule();
    link_layer.set_connected(true);
    link_layer.set_cancel(false);
    link_layer.SyncRemote();
    ui.Show(source, link, {{name, total}});
    ui.Show(Other(source), link, {});
    const double start = Now();
    CopyFiles(ctx, source, /*is_move=*/false);
    const double seconds = Now() - start;
    link.LinkNop();
    link_layer.set_connected(false);
    return seconds;
  };

  Direction directions[2] = {{"Local -> Remote", true}, {"Remote -> Local", false}};
  for (int round = 0; round < rounds; ++round) {
    for (Direction& d : directions) {
      // The file starts on the source side only.
      fs::remove(d.to_remote ? remote_file : local_file);
      double raw = 0, copy = 0;
      for (int turn = 0; turn < 2; ++turn) {
        if ((turn == 0) == (round % 2 == 0)) {
          raw = partner.RawTransfer(link_layer, d.to_remote, total);
        } else {
          copy = copy_seconds(d.to_remote ? Side::kLocal : Side::kRemote);
        }
      }
      d.all_identical = d.all_identical && SameBytes(local_file, remote_file);
      d.raw.push_back(total / raw);
      d.copy.push_back(total / copy);
      d.ratio.push_back(raw / copy);
      d.loads.push_back(LoadAverage());
    }
  }

  std::printf(
      "Copy engine and raw link over the virtual cable against one partner process,\n"
      "a %ld-byte file, %d rounds in turn, bytes/s\n",
      total, rounds);
  for (const Direction& d : directions) {
    std::printf("%s (%s):\n", d.name, d.all_identical ? "copies identical" : "COPY DIFFERS");
    std::printf("  raw link  %s\n", Describe(SpreadOf(d.raw), "%.0f").c_str());
    std::printf("  copy      %s\n", Describe(SpreadOf(d.copy), "%.0f").c_str());
    std::printf("  copy/raw  %s\n", Describe(SpreadOf(d.ratio), "%.3f").c_str());
    for (int round = 0; round < rounds; ++round) {
      std::printf("    round %d: raw %.0f, copy %.0f, ratio %.3f (%s)\n", round + 1, d.raw[round],
                  d.copy[round], d.ratio[round], d.loads[round].c_str());
    }
  }
  std::printf("peak memory (VmHWM): program %ld kB, partner %ld kB\n", PeakKb("self"),
              PeakKb(std::to_string(partner.pid())));
  std::printf("%s\n", LoadAverage().c_str());
  return 0;
}
