// Command line and stop signals of the Remote Module on Linux: SIGINT and
// SIGTERM set the stop flag.
#include <signal.h>

#include "remote/process_control.h"

namespace duplane {
namespace {

std::atomic<bool>* g_stop = nullptr;

void OnSignal(int) { g_stop->store(true); }

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

void InstallStopHandler(std::atomic<bool>* stop) {
  g_stop = stop;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace duplane
