// Raw link throughput over the virtual cable between two processes, in each
// direction, beside the reference handshake program measured in the same run,
// with the register accesses per byte on each side. Prints figures only.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "link/link_layer.h"
#include "link/virtual_cable.h"

namespace {

using duplane::LinkLayer;
using duplane::PortCounters;
using duplane::VirtualCable;

constexpr int kBlock = 8192;

struct Figures {
  double seconds = 0;
  PortCounters counters;
};

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

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

}  // namespace

int main(int argc, char** argv) {
  const long total = argc > 1 ? std::atol(argv[1]) : 4L << 20;
  const std::string reference = argc > 2 ? argv[2] : DUPLANE_CABLE_LIMIT_EXE;
  const std::string path = "/dev/shm/duplane-bench-" + std::to_string(getpid());
  std::string error;
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return 1;

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
  auto port = VirtualCable::Open(path, 0, &error);
  if (!port) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  LinkLayer link(*port, duplane::kDefaultPortBase);
  link.set_connected(true);
  link.SyncRemote();
  Figures program_sent, program_received, remote_received, remote_sent;
  Send(link, total, &program_sent);
  Receive(link, total, &program_received);
  if (read(pipe_fds[0], &remote_received, sizeof remote_received) < 0 ||
      read(pipe_fds[0], &remote_sent, sizeof remote_sent) < 0) {
    return 1;
  }
  waitpid(child, nullptr, 0);
  unlink(path.c_str());

  const double to_remote = total / program_sent.seconds;
  const double to_program = total / program_received.seconds;
  const double limit = ReferenceBytesPerSecond(reference, total);
  std::printf("Virtual cable between two processes, %ld bytes in %d-byte blocks\n", total, kBlock);
  std::printf("program -> remote: %.0f bytes/s\n", to_remote);
  PrintSide("sender", program_sent, total);
  PrintSide("receiver", remote_received, total);
  std::printf("remote -> program: %.0f bytes/s\n", to_program);
  PrintSide("sender", remote_sent, total);
  PrintSide("receiver", program_received, total);
  if (limit > 0) {
    std::printf("reference handshake: %.0f bytes/s\n", limit);
    std::printf("ratio to reference: %.2f (program -> remote), %.2f (remote -> program)\n",
                to_remote / limit, to_program / limit);
  } else {
    std::printf("reference handshake program not found: %s\n", reference.c_str());
  }
  return 0;
}
