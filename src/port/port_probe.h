// The port self-test a user runs before the first transfer (duplane-remote
// --probe, and the Configure dialog's button): how the port is reached, its
// address and modes, whether its data register keeps what is written, the
// other end's five lines while this end walks a single 1 across its own, the
// verdict on the wires (through a loopback plug, or from the walk of the
// other PC's probe), and what throughput the port's access time allows.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "port/link_clock.h"

namespace duplane {

struct ProbeTiming {
  std::uint32_t step_ms = 200;  // how long each line of the walk stays high
  int cycles = 5;               // walks, each a marker (all lines) and D0-D4
};

// Opens the port at `base` as the link would and tests it, giving the report
// a line at a time to `print`. False when the port cannot be opened or a
// check fails.
bool ProbePort(std::uint16_t base, const std::function<void(const std::string&)>& print,
               LinkClock& clock = SystemClock(), ProbeTiming timing = ProbeTiming());

}  // namespace duplane
