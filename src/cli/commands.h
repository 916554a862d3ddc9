// The commands of duplane-cli. Each runs over a connected cable and returns
// the exit status: kExitOk, kExitFault, or kExitUsage for a mistake only the
// command itself can see.
#pragma once

#include "cli/cable_connection.h"
#include "cli/cli_options.h"
#include "cli/console.h"

namespace duplane {

struct CliRun {
  const CliOptions& options;
  Console& console;
  CableConnection& cable;
};

// get, put and rm: on the engines of the window.
int RunTransferCommand(CliRun& run);
// ls, mkdir, rename, df and drives: single Link operations.
int RunRemoteCommand(CliRun& run);

}  // namespace duplane
