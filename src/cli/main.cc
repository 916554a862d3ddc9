// duplane-cli: the program end without a window, for scripts. Connects to a
// Remote Module over the cable, runs one command on the window's own engines
// and says by its exit status whether every file was done and verified.
#include <cstdio>

#include "cli/cable_connection.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/interrupt.h"
#include "duplane_version.h"

int main(int argc, char** argv) {
  using namespace duplane;
  CliOptions options;
  std::string error;
  if (!ParseCliOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "duplane-cli: %s (try --help)\n", error.c_str());
    return kExitUsage;
  }
  if (options.help) {
    std::fputs(CliUsage(), stdout);
    return kExitOk;
  }
  if (options.version) {
    std::puts("duplane-cli " DUPLANE_VERSION);
    return kExitOk;
  }

  Console console;
  const std::int32_t kAsk = OverwriteModeByName("ask");
  if (options.overwrite == -1) {
    options.overwrite = console.interactive() ? kAsk : OverwriteModeByName("never");
  } else if (options.overwrite == kAsk && !console.interactive()) {
    console.Error("--overwrite ask needs a terminal to ask on (try --help)");
    return kExitUsage;
  }

  InstallInterruptHandlers();
  CableConnection cable([&console](const std::string& message) { console.Error(message); });
  if (!cable.Open(options, &error) || !cable.Connect(options.timeout_seconds, &error)) {
    console.Error(error);
    return kExitUsage;
  }
  CliRun run{options, console, cable};
  const bool transfer = options.command == CliCommand::kGet ||
                        options.command == CliCommand::kPut || options.command == CliCommand::kRm;
  const int status = transfer ? RunTransferCommand(run) : RunRemoteCommand(run);
  if (cable.lost()) {
    console.Error("the connection to the Remote Module was lost");
    return kExitUsage;
  }
  cable.Disconnect();
  return status;
}
