// The command line of duplane-cli: which port, which command with which
// arguments, and the transfer options, checked in one place so that every
// mistake is answered with one line and exit status 2 before the cable is
// touched.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace duplane {

// Exit statuses: everything done and verified; some file failed or was not
// done; the command line was wrong or the Remote Module could not be reached.
constexpr int kExitOk = 0;
constexpr int kExitFault = 1;
constexpr int kExitUsage = 2;

enum class CliCommand { kNone, kLs, kGet, kPut, kRm, kMkdir, kRename, kDf, kDrives };

struct CliOptions {
  std::string cable_path;  // --cable PATH (end 0 of the virtual cable)
  int lpt = 0;             // --lpt N
  std::uint16_t base = 0;  // --base ADDR
  CliCommand command = CliCommand::kNone;
  std::vector<std::string> args;  // the command's own arguments
  // The copy engine's overwrite mode (0 Prompt .. 4 Update); -1 until chosen:
  // a run on a terminal then asks, any other run never overwrites.
  std::int32_t overwrite = -1;
  bool move = false;             // get/put --move
  std::int32_t delete_mode = 0;  // --mode: 0 recycle, 1 normal, 2 wipe
  bool keep_empty = false;       // --keep-empty: emptied directories stay
  bool unsafe_copy = false;      // --no-safe-copy: write each target directly
  int timeout_seconds = 10;      // --timeout: how long to wait for the Remote Module
  bool help = false;
  bool version = false;
};

// Parses argv; on a mistake returns false with a one-line message.
bool ParseCliOptions(int argc, const char* const* argv, CliOptions* options, std::string* error);

const char* CliUsage();

// Overwrite mode of a --overwrite name, or -1.
std::int32_t OverwriteModeByName(const std::string& name);

}  // namespace duplane
