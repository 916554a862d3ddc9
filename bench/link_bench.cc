// Raw link throughput over the virtual cable between two processes, in each
// direction, beside the reference handshake program, with the register
// accesses per byte on each side. The two are run in turn for several rounds,
// the order swapped each round, and printed as min / median / max with the
// load average: on a shared machine one run of each says little. Prints
// figures only.
//
//   link_bench [BYTES (default 1 MiB)] [ROUNDS (default 3)] [REFERENCE]
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_figures.h"
#include "link/link.h"
#include "link/link_layer.h"
#include "port/virtual_cable.h"

namespace {

using duplane::LinkLayer;
using duplane::Now;
using duplane::PortCounters;
using duplane::VirtualCable;

constexpr int kBlock = duplane::kFileBlockSize;

struct Figures {
  double seconds = 0;
  PortCounters counters;
};

void Send(LinkLayer& link, long total, Figures* figures) {
  std::vector<std::uint8_t> block(kBlock);
  for (int i = 0; i < kBlock; ++i) block[i] = static_cast<std::uint8_t>(i * 7 + 3);
  link.ResetCounters();
  const double start = Now();
  for (long sent = 0; sent < total; sent += kBlock) link.SendBlock(kBlock, block.data());
  figures->counters = link.counters();  // before the hand-over, so only the block
  link.WaitForAck();
  figures->seconds = Now() - start;
}

void Receive(LinkLayer& link, long total, Figures* figures) {
  std::vector<std::uint8_t> block(kBlock);
  link.ResetCounters();
  const double start = Now();
  for (long got = 0; got < total; got += kBlock) link.GetBlock(kBlock, block.data());
  figures->counters = link.counters();
  link.FinishReceive();
  figures->seconds = Now() - start;
}

void PrintSide(const char* side, const Figures& figures, long total) {
  const double bytes = static_cast<double>(total);
  std::printf("  %-9s data writes/byte %.3f, nibble reads/byte %.3f, polls/byte %.2f\n", side,
              figures.counters.data_writes / bytes, figures.counters.nibble_reads / bytes,
              figures.counters.polls / bytes);
}

double ReferenceBytesPerSecond(const std::string& exe, long total) {
  if (access(exe.c_str(), X_OK) != 0) return 0;
  const std::string command = exe + " " + std::to_string(total);
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return 0;
  char line[256] = {};
  double rate = 0;
  if (std::fgets(line, sizeof line, pipe)) {
    const char* colon = std::strchr(line, ':');
    if (colon) rate = std::atof(colon + 1);
  }
  pclose(pipe);
  return rate;
}

// One run of the link both ways between this process and a forked one.
struct LinkRun {
  Figures program_sent, program_received, remote_received, remote_sent;
};

bool RunLink(long total, LinkRun* run) {
  const std::string path = "/dev/shm/duplane-bench-" + std::to_string(getpid());
  std::string error;
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return false;
  const pid_t child = fork();
  if (child == 0) {
    auto port = VirtualCable::Open(path, 1, &error);
    if (!port) _exit(1);
    LinkLayer link(*port, duplane::kDefaultPortBase);
    link.AnswerSync(nullptr);
    Figures received, sent;
    Receive(link, total, &received);
    Send(link, total, &sent);
    if (write(pipe_fds[1], &received, sizeof received) < 0 ||
        write(pipe_fds[1], &sent, sizeof sent) < 0) {
      _exit(1);
    }
    _exit(0);
  }
  close(pipe_fds[1]);
  auto port = VirtualCable::Open(path, 0, &error);
  if (!port) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return false;
  }
  LinkLayer link(*port, duplane::kDefaultPortBase);
  link.set_connected(true);
  link.SyncRemote();
  Send(link, total, &run->program_sent);
  Receive(link, total, &run->program_received);
  const bool read_all = read(pipe_fds[0], &run->remote_received, sizeof(Figures)) > 0 &&
                        read(pipe_fds[0], &run->remote_sent, sizeof(Figures)) > 0;
  close(pipe_fds[0]);
  waitpid(child, nullptr, 0);
  unlink(path.c_str());
  return read_all;
}

}  // namespace

int main(int argc, char** argv) {
  using duplane::Describe;
  using duplane::SpreadOf;
  const long total = argc > 1 ? std::atol(argv[1]) : 1L << 20;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  const std::string reference = argc > 3 ? argv[3] : DUPLANE_CABLE_LIMIT_EXE;
  std::vector<double> to_remote, to_program, limit, ratio_up, ratio_down;
  std::vector<std::string> loads;
  LinkRun run;
  for (int round = 0; round < rounds; ++round) {
    double reference_rate = 0;
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn == 0) == (round % 2 == 0)) {
        if (!RunLink(total, &run)) return 1;
      } else {
        reference_rate = ReferenceBytesPerSecond(reference, total);
      }
    }
    to_remote.push_back(total / run.program_sent.seconds);
    to_program.push_back(total / run.program_received.seconds);
    loads.push_back(duplane::LoadAverage());
    if (reference_rate > 0) {
      limit.push_back(reference_rate);
      ratio_up.push_back(to_remote.back() / reference_rate);
      ratio_down.push_back(to_program.back() / reference_rate);
    }
  }

  std::printf("Virtual cable between two processes, %ld bytes in %d-byte blocks, %d rounds\n",
              total, kBlock, rounds);
  std::printf("program -> remote: %s bytes/s\n", Describe(SpreadOf(to_remote), "%.0f").c_str());
  PrintSide("sender", run.program_sent, total);
  PrintSide("receiver", run.remote_received, total);
  std::printf("remote -> program: %s bytes/s\n", Describe(SpreadOf(to_program), "%.0f").c_str());
  PrintSide("sender", run.remote_sent, total);
  PrintSide("receiver", run.program_received, total);
  if (!limit.empty()) {
    std::printf("reference handshake: %s bytes/s\n", Describe(SpreadOf(limit), "%.0f").c_str());
    std::printf("ratio to reference, program -> remote: %s\n",
                Describe(SpreadOf(ratio_up), "%.2f").c_str());
    std::printf("ratio to reference, remote -> program: %s\n",
                Describe(SpreadOf(ratio_down), "%.2f").c_str());
  } else {
    std::printf("reference handshake program not found: %s\n", reference.c_str());
  }
  for (int round = 0; round < rounds; ++round) {
    std::printf("  round %d: %.0f / %.0f bytes/s%s (%s)\n", round + 1, to_remote[round],
                to_program[round],
                limit.size() > std::size_t(round)
                    ? (", reference " + std::to_string(long(limit[round]))).c_str()
                    : "",
                loads[round].c_str());
  }
  return 0;
}
