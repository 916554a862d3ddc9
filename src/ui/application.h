// The program's start: single instance, window creation in their fixed order,
// the event loop, and what is released at the end.
#pragma once

namespace duplane {

// Runs the program with its command line (`duplane [--cable PATH]`) and
// returns the exit status.
int RunDuplane(int argc, char** argv);

}  // namespace duplane
