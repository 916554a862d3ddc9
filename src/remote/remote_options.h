// The command line of duplane-remote.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "link/drive_table.h"

namespace duplane {

struct RemoteOptions {
  std::string cable_path;            // --cable PATH
  int cable_end = 1;                 // --end N
  int lpt = 0;                       // --lpt N
  std::uint16_t base = 0;            // --base 0xNNN
  std::vector<DriveMapping> drives;  // --drive X=DIR, in order
  bool help = false;
  bool version = false;  // --version
};

// Parses argv; on a bad option returns false with a one-line message.
bool ParseRemoteOptions(int argc, const char* const* argv, RemoteOptions* options,
                        std::string* error);

const char* RemoteUsage();

}  // namespace duplane
