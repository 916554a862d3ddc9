// The command line of duplane-remote.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "localfs/drive_table.h"

namespace duplane {

struct RemoteOptions {
  std::string cable_path;            // --cable PATH
  int cable_end = 1;                 // --end N
  int lpt = 0;                       // --lpt N
  std::uint16_t base = 0;            // --base ADDR, hexadecimal with or without 0x
  bool probe = false;                // --probe: test the port instead of serving
  std::vector<DriveMapping> drives;  // --drive X=DIR, in order
  bool help = false;
  bool version = false;  // --version
};

// Parses argv; on a bad option returns false with a one-line message.
bool ParseRemoteOptions(int argc, const char* const* argv, RemoteOptions* options,
                        std::string* error);

const char* RemoteUsage();

// An I/O address as hexadecimal digits, with or without 0x ("378", "0378",
// "0x378", "D010"), from 1 to 0xFFFF; false for anything else.
bool ParsePortAddress(const std::string& text, std::uint16_t* address);

}  // namespace duplane
