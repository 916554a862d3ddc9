// Command line and stop requests of the Remote Module on Windows: Ctrl+C,
// Ctrl+Break, closing the console window, logging off and shutting down set
// the stop flag. The handler runs on a thread of its own; the module notices
// the flag between two polls of the port and stops within moments.
#include <windows.h>
// The shell's headers need windows.h first.
#include <shellapi.h>

#include "remote/process_control.h"
#include "text/windows_text.h"

namespace duplane {
namespace {

std::atomic<bool>* g_stop = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
  g_stop->store(true);
  // Closing the window, logging off or shutting down ends the process once
  // this returns: give the module's loop a moment to close its files first.
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) Sleep(500);
  return TRUE;
}

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(Utf8FromWide(wide[i], wcslen(wide[i])));
  LocalFree(wide);
  return arguments;
}

void InstallStopHandler(std::atomic<bool>* stop) {
  g_stop = stop;
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

}  // namespace duplane
