// duplane-remote --probe: the self-test of the named port, or of every port
// the system lists when none is named.
#pragma once

#include "remote/remote_options.h"

namespace duplane {

// Prints the report on standard output; returns the exit status (0 when
// every port tested passed, 1 otherwise or when there is no port to test).
int RunProbeCommand(const RemoteOptions& options);

}  // namespace duplane
