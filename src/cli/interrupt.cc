// Signal counting for Ctrl+C: the handler does nothing but count, which is all
// a handler may safely do, until the third, which is given its default action: the end of the
// program.
#include "cli/interrupt.h"

#include <atomic>
#include <csignal>

namespace duplane {
namespace {

std::atomic<int> g_interrupts{0};

void OnInterrupt(int signal_number) {
  if (g_interrupts.fetch_add(1) + 1 < 3) return;
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

}  // namespace

void InstallInterruptHandlers() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

int InterruptCount() { return g_interrupts.load(); }

}  // namespace duplane
