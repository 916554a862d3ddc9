// CPU while waiting: what each end of the cable burns per second of wall-clock
// time with a real duplane-remote waiting for a connection, connected and
// idle (its first seconds, and after a long while), and transferring; and what the module's
// back-off in its idle waits adds to the first byte of the next command (an operation after a quiet
// spell against one that follows the previous at once). Prints figures only.
//
//   idle_bench [SECONDS per measure (default 3)] [REMOTE_EXE]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_figures.h"
#include "link/idle_backoff.h"
#include "link/link.h"
#include "remote_program.h"

namespace {

using namespace duplane;

constexpr int kBlock = kFileBlockSize;
constexpr int kLatencySamples = 15;

struct Cpu {
  double program = 0, module = 0;  // CPU seconds per wall-clock second
};

// Runs `work` until `seconds` have passed and returns each end's CPU share.
template <typename Work>
Cpu Measure(pid_t module, double seconds, Work work) {
  const double program_before = CpuSeconds(getpid());
  const double module_before = CpuSeconds(module);
  const double start = Now();
  while (Now() - start < seconds) work();
  const double wall = Now() - start;
  return {(CpuSeconds(getpid()) - program_before) / wall,
          (CpuSeconds(module) - module_before) / wall};
}

void PrintCpu(const char* state, const Cpu& cpu) {
  std::printf("  %-34s program %5.1f %%, duplane-remote %5.1f %% of a core (%s)\n", state,
              100 * cpu.program, 100 * cpu.module, LoadAverage().c_str());
}

double MsOf(Link& link) {
  const double start = Now();
  link.LinkGetCRC(Side::kRemote);
  return (Now() - start) * 1000;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
  const std::string exe = argc > 2 ? argv[2] : DUPLANE_REMOTE_EXE;
  ScratchFolder local_dir("idle-local"), remote_dir("idle-remote");
  RemoteProgram remote(exe, remote_dir.path(), local_dir.path());
  if (!remote.started()) {
    std::fprintf(stderr, "cannot start %s\n", exe.c_str());
    return 1;
  }
  const auto rest = [] { usleep(50000); };
  std::printf("CPU per second of wall-clock time, %.1f s each (%s)\n", seconds, exe.c_str());
  usleep(300000);  // past the module's start-up
  PrintCpu("waiting for a connection", Measure(remote.pid(), seconds, rest));
  // The waits back off further once nothing has moved for a long while.
  const auto long_quiet = [] { usleep((IdleBackoff::kLongQuietMs + 500) * 1000); };
  long_quiet();
  PrintCpu("waiting for a connection, long", Measure(remote.pid(), seconds, rest));

  if (!remote.Connect()) {
    std::fprintf(stderr, "duplane-remote did not answer\n");
    return 1;
  }
  Link& link = remote.link();
  link.LinkGetDrives(Side::kRemote);
  PrintCpu("connected, idle", Measure(remote.pid(), seconds, rest));
  long_quiet();
  PrintCpu("connected, idle for long", Measure(remote.pid(), seconds, rest));

  std::vector<std::uint8_t> block(kBlock, 0x5A);
  const std::int32_t out = link.LinkFileCreate(Side::kRemote, "C:\\IDLE.BIN");
  long long moved = 0;
  const Cpu busy = Measure(remote.pid(), seconds, [&] {
    link.LinkFileWrite(Side::kRemote, out, block.data(), kBlock);
    moved += kBlock;
  });
  link.LinkFileClose(Side::kRemote, out);
  link.LinkDeleteFile(Side::kRemote, "C:\\IDLE.BIN", kDeleteNormal);
  PrintCpu("transferring (LinkFileWrite)", busy);
  std::printf("  (%.0f bytes/s of file data while measured)\n", moved / seconds);

  // The first byte after a quiet spell waits for the module's nap at most.
  std::vector<double> hot, after_quiet;
  for (int i = 0; i < kLatencySamples; ++i) {
    usleep(3 * IdleBackoff::kQuietMs * 1000);
    after_quiet.push_back(MsOf(link));
    hot.push_back(MsOf(link));
  }
  const Spread hot_spread = SpreadOf(hot), quiet_spread = SpreadOf(after_quiet);
  std::printf("LinkGetCRC, ms: right after another %s; after %llu ms quiet %s\n",
              Describe(hot_spread, "%.2f").c_str(), (unsigned long long)(3 * IdleBackoff::kQuietMs),
              Describe(quiet_spread, "%.2f").c_str());
  std::printf("  difference of the medians: %.2f ms (%s)\n",
              quiet_spread.median - hot_spread.median, LoadAverage().c_str());
  std::printf(
      "  (this build naps %u ms per poll after %llu ms without a change, %u ms after %llu ms)\n",
      IdleBackoff::kNapMs, (unsigned long long)IdleBackoff::kQuietMs, IdleBackoff::kLongNapMs,
      (unsigned long long)IdleBackoff::kLongQuietMs);
  return 0;
}
