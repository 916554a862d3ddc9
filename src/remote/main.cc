// duplane-remote: the Remote Module. Serves this PC's drives to the program
// over a virtual cable or a hardware parallel port until SIGINT or SIGTERM.
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

#include "duplane_version.h"
#include "localfs/local_file_system.h"
#include "port/port_access.h"
#include "port/virtual_cable.h"
#include "remote/command_dispatcher.h"
#include "remote/probe_command.h"
#include "remote/process_control.h"
#include "remote/remote_options.h"
#include "remote/remote_session.h"

namespace {

std::atomic<bool> g_stop{false};

void LogLine(const std::string& line) {
  std::time_t now = std::time(nullptr);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
  std::fprintf(stderr, "duplane-remote %s: %s\n", stamp, line.c_str());
  std::fflush(stderr);  // the Windows C runtime buffers it when it is a file
}

}  // namespace

int main(int argc, char** argv) {
  using namespace duplane;
  const std::vector<std::string> arguments = Utf8Arguments(argc, argv);
  std::vector<const char*> args;
  for (const std::string& argument : arguments) args.push_back(argument.c_str());
  RemoteOptions options;
  std::string error;
  if (!ParseRemoteOptions(static_cast<int>(args.size()), args.data(), &options, &error)) {
    std::fprintf(stderr, "duplane-remote: %s (try --help)\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(RemoteUsage(), stdout);
    return 0;
  }
  if (options.version) {
    std::puts("duplane-remote " DUPLANE_VERSION);
    return 0;
  }
  if (options.probe) return RunProbeCommand(options);

  std::unique_ptr<PortAccess> port;
  std::uint16_t base = kDefaultPortBase;
  if (!options.cable_path.empty()) {
    port = VirtualCable::Open(options.cable_path, options.cable_end, &error, base);
  } else {
    base = options.base != 0 ? options.base : LptBaseAddress(options.lpt);
    port = OpenHardwarePort(base, &error);
  }
  if (!port) {
    std::fprintf(stderr, "duplane-remote: %s\n", error.c_str());
    return 1;
  }

  InstallStopHandler(&g_stop);

  std::vector<DriveMapping> drives =
      options.drives.empty() ? LocalFileSystem::DefaultDrives() : options.drives;
  for (const DriveMapping& drive : drives) {
    LogLine(std::string("serving ") + drive.letter + ": from " + drive.directory);
  }
  LocalFileSystem files(std::move(drives), /*confine=*/true);
  LogLine(std::string("paths ") + files.path_walk_name());
  RemoteSession session(*port, base, LogLine);
  CommandDispatcher dispatcher(session.link_layer(), files);
  session.Serve(
      g_stop, [&dispatcher](std::uint8_t code) { return dispatcher.Handle(code); },
      [&files] { files.CloseAll(); });
  LogLine("stopped");
  return 0;
}
