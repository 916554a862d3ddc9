// The benchmarks' partner process.
#include "cable_partner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <vector>

#include "bench_figures.h"
#include "link/link.h"
#include "localfs/local_file_system.h"
#include "remote/command_dispatcher.h"
#include "remote/remote_session.h"

namespace duplane {
namespace {

constexpr int kBlock = kFileBlockSize;

}  // namespace

CablePartner::CablePartner(const std::string& remote_folder) {
  cable_ = "/dev/shm/duplane-partner-" + std::to_string(getpid());
  unlink(cable_.c_str());
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return;
  std::string error;
  pid_ = fork();
  if (pid_ == 0) {
    close(pipe_fds[1]);
    auto port = VirtualCable::Open(cable_, 1, &error);
    if (port) Run(*port, pipe_fds[0], remote_folder);
    _exit(port ? 0 : 1);
  }
  close(pipe_fds[0]);
  orders_ = pipe_fds[1];
  if (pid_ > 0) port_ = VirtualCable::Open(cable_, 0, &error);
}

CablePartner::~CablePartner() {
  if (pid_ > 0) {
    Tell({'q', 0});
    close(orders_);
    waitpid(pid_, nullptr, 0);
  }
  unlink(cable_.c_str());
}

void CablePartner::Tell(const Order& order) {
  if (write(orders_, &order, sizeof order) != sizeof order) return;
}

double CablePartner::RawTransfer(LinkLayer& program, bool to_partner, long bytes) {
  Tell({to_partner ? 'u' : 'd', bytes});
  program.set_connected(true);
  program.set_cancel(false);
  program.SyncRemote();
  std::vector<std::uint8_t> block(kBlock, 0x5A);
  const double start = Now();
  if (to_partner) {
    for (long done = 0; done < bytes; done += kBlock) program.SendBlock(kBlock, block.data());
    program.WaitForAck();
  } else {
    for (long done = 0; done < bytes; done += kBlock) program.GetBlock(kBlock, block.data());
    program.FinishReceive();
  }
  return Now() - start;
}

void CablePartner::ServeModule() { Tell({'m', 0}); }

void CablePartner::Run(VirtualCable& port, int orders, const std::string& remote_folder) {
  LocalFileSystem files({{'C', remote_folder}}, /*confine=*/true);
  std::vector<std::uint8_t> block(kBlock);
  for (Order order{}; read(orders, &order, sizeof order) == sizeof order && order.part != 'q';) {
    if (order.part == 'm') {
      // Served as duplane-remote serves, until the program disconnects.
      std::atomic<bool> stop{false};
      RemoteSession session(port, kDefaultPortBase, [&stop](const std::string& line) {
        if (line == "disconnected") stop = true;
      });
      CommandDispatcher dispatcher(session.link_layer(), files);
      session.Serve(
          stop, [&](std::uint8_t code) { return dispatcher.Handle(code); },
          [&] { files.CloseAll(); });
      continue;
    }
    LinkLayer link(port, kDefaultPortBase);
    link.AnswerSync(nullptr);
    if (order.part == 'u') {
      for (long done = 0; done < order.bytes; done += kBlock) link.GetBlock(kBlock, block.data());
      link.FinishReceive();
    } else {
      for (long done = 0; done < order.bytes; done += kBlock) link.SendBlock(kBlock, block.data());
      link.WaitForAck();
    }
  }
}

}  // namespace duplane
