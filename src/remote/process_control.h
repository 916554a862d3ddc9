// What the Remote Module needs from the process it runs in: its command line
// as UTF-8, and a stop flag raised by Ctrl+C (and, on Linux, SIGTERM).
#pragma once

#include <atomic>
#include <string>
#include <vector>

namespace duplane {

// The arguments, argv[0] included, as UTF-8: on Windows taken from the
// wide-character command line, so folder names in any script arrive whole.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Makes Ctrl+C (and the system's polite stop requests) set `*stop` instead of
// ending the process, so the module can close its files and say goodbye.
void InstallStopHandler(std::atomic<bool>* stop);

}  // namespace duplane
