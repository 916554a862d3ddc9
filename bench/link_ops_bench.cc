// File operations through a Remote Module over the virtual cable between two
// processes: 8192-byte LinkFileWrite and LinkFileRead (bytes of file data per
// second, and the ratio to the raw link's SendBlock/GetBlock measured in the
// same run) and a remote directory listing of 2,000 entries (entries per
// second). Prints figures only; speed never fails anything.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "link/link.h"
#include "link/link_layer.h"
#include "link/local_file_system.h"
#include "link/virtual_cable.h"
#include "remote/command_dispatcher.h"
#include "remote/remote_session.h"

namespace {

using namespace duplane;

constexpr int kBlock = 8192;
constexpr int kListEntries = 2000;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Runs `serve` in a child process on end 1 of a fresh cable file and returns
// the program's end of it.
std::unique_ptr<VirtualCable> ForkOtherEnd(const std::string& path,
                                           const std::function<void(VirtualCable&)>& serve,
                                           pid_t* child) {
  std::string error;
  unlink(path.c_str());
  *child = fork();
  if (*child == 0) {
    auto port = VirtualCable::Open(path, 1, &error);
    if (!port) _exit(1);
    serve(*port);
    _exit(0);
  }
  auto port = VirtualCable::Open(path, 0, &error);
  if (!port) std::fprintf(stderr, "%s\n", error.c_str());
  return port;
}

bool Sync(LinkLayer& link) {
  link.set_connected(true);
  link.set_cancel(false);
  link.SyncRemote();
  return link.connected();
}

// The raw link in both directions: the module side receives then sends.
void RawLink(const std::string& path, long total, double* to_remote, double* to_program) {
  pid_t child;
  auto port = ForkOtherEnd(
      path,
      [total](VirtualCable& port) {
        LinkLayer link(port, kDefaultPortBase);
        link.AnswerSync(nullptr);
        std::vector<std::uint8_t> block(kBlock);
        for (long done = 0; done < total; done += kBlock) link.GetBlock(kBlock, block.data());
        link.FinishReceive();
        for (long done = 0; done < total; done += kBlock) link.SendBlock(kBlock, block.data());
        link.WaitForAck();
      },
      &child);
  LinkLayer link(*port, kDefaultPortBase);
  Sync(link);
  std::vector<std::uint8_t> block(kBlock, 0x5A);
  double start = Now();
  for (long done = 0; done < total; done += kBlock) link.SendBlock(kBlock, block.data());
  link.WaitForAck();
  *to_remote = total / (Now() - start);
  start = Now();
  for (long done = 0; done < total; done += kBlock) link.GetBlock(kBlock, block.data());
  link.FinishReceive();
  *to_program = total / (Now() - start);
  waitpid(child, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
  const long total = argc > 1 ? std::atol(argv[1]) : 1L << 20;
  char pattern[] = "/tmp/duplane-ops-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  const std::string served = pattern;
  const std::string list_dir = served + "/list";
  mkdir(list_dir.c_str(), 0755);
  for (int i = 0; i < kListEntries; ++i) {
    std::ofstream(list_dir + "/entry-" + std::to_string(i) + ".dat") << i;
  }
  const std::string cable = "/dev/shm/duplane-ops-bench-" + std::to_string(getpid());

  double raw_to_remote = 0, raw_to_program = 0;
  RawLink(cable, total, &raw_to_remote, &raw_to_program);

  pid_t child;
  auto port = ForkOtherEnd(
      cable,
      [&served](VirtualCable& port) {
        LocalFileSystem files({{'C', served}}, true);
        RemoteSession session(port, kDefaultPortBase);
        CommandDispatcher dispatcher(session.link_layer(), files);
        std::atomic<bool> stop{false};
        session.Serve(
            stop, [&](std::uint8_t code) { return dispatcher.Handle(code); },
            [&] { files.CloseAll(); });
      },
      &child);
  LocalFileSystem local_files(LocalFileSystem::DefaultDrives(), false);
  LinkLayer program(*port, kDefaultPortBase);
  Link link(local_files, &program);
  if (!Sync(program)) return 1;

  std::vector<std::uint8_t> block(kBlock);
  for (int i = 0; i < kBlock; ++i) block[i] = static_cast<std::uint8_t>(i * 7 + 3);
  const std::int32_t out = link.LinkFileCreate(false, "C:\\bench.bin");
  double start = Now();
  for (long done = 0; done < total; done += kBlock)
    link.LinkFileWrite(false, out, block.data(), kBlock);
  const double write_rate = total / (Now() - start);
  link.LinkFileClose(false, out);

  const std::int32_t in = link.LinkFileOpen(false, "C:\\bench.bin", 0x40);
  start = Now();
  long read_bytes = 0;
  for (std::int32_t n; (n = link.LinkFileRead(false, in, block.data(), kBlock)) > 0;)
    read_bytes += n;
  const double read_rate = read_bytes / (Now() - start);
  link.LinkFileClose(false, in);

  start = Now();
  int entries = 0;
  for (std::int32_t r = link.LinkFindFirst(false, 1, "C:\\list\\*.*", kMaskFilesAndDirs); r == 0;
       r = link.LinkFindNext(false, 1)) {
    ++entries;
  }
  const double list_seconds = Now() - start;
  link.LinkFindClose(false, 1);
  link.LinkNop();

  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  unlink(cable.c_str());
  std::system(("rm -rf '" + served + "'").c_str());

  std::printf("Remote Module over the virtual cable between two processes, %ld bytes\n", total);
  std::printf("raw link:      program -> remote %.0f bytes/s, remote -> program %.0f bytes/s\n",
              raw_to_remote, raw_to_program);
  std::printf("LinkFileWrite: %.0f bytes/s of file data, ratio to raw %.3f\n", write_rate,
              write_rate / raw_to_remote);
  std::printf("LinkFileRead:  %.0f bytes/s of file data (%ld bytes), ratio to raw %.3f\n",
              read_rate, read_bytes, read_rate / raw_to_program);
  std::printf("remote listing: %d entries in %.2f s, %.0f entries/s\n", entries, list_seconds,
              entries / list_seconds);
  return 0;
}
