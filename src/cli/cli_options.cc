// Parsing of duplane-cli's command line. Options may stand before or after the
// command; "--" ends them, so a remote name that begins with "-" can be given.
#include "cli/cli_options.h"

#include <cerrno>
#include <cstdlib>
#include <map>

namespace duplane {
namespace {

struct CommandShape {
  CliCommand command;
  std::size_t min_args;
  std::size_t max_args;
};

const std::map<std::string, CommandShape>& Commands() {
  static const std::map<std::string, CommandShape> commands = {
      {"ls", {CliCommand::kLs, 0, 1}},
      {"get", {CliCommand::kGet, 2, SIZE_MAX}},
      {"put", {CliCommand::kPut, 2, SIZE_MAX}},
      {"rm", {CliCommand::kRm, 1, SIZE_MAX}},
      {"mkdir", {CliCommand::kMkdir, 1, SIZE_MAX}},
      {"rename", {CliCommand::kRename, 2, 2}},
      {"df", {CliCommand::kDf, 0, 1}},
      {"drives", {CliCommand::kDrives, 0, 0}},
  };
  return commands;
}

// A whole number in [min, max], decimal or with a 0x prefix.
bool ParseBounded(const std::string& text, long min, long max, long* value) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(text.c_str(), &end, 0);
  if (errno != 0 || *end != '\0' || parsed < min || parsed > max) return false;
  *value = parsed;
  return true;
}

std::int32_t DeleteModeByName(const std::string& name) {
  if (name == "recycle") return 0;
  if (name == "normal") return 1;
  if (name == "wipe") return 2;
  return -1;
}

// The checks that need the whole command line.
bool CheckCombination(const CliOptions& o, const std::string& command_name, bool mode_given,
                      std::string* error) {
  const bool transfer = o.command == CliCommand::kGet || o.command == CliCommand::kPut;
  if (o.overwrite != -1 && !transfer) {
    *error = "--overwrite belongs to get and put, not " + command_name;
  } else if (o.unsafe_copy && !transfer) {
    *error = "--no-safe-copy belongs to get and put, not " + command_name;
  } else if (o.move && !transfer) {
    *error = "--move belongs to get and put, not " + command_name;
  } else if (mode_given && o.command != CliCommand::kRm && !o.move) {
    *error = "--mode belongs to rm and to get or put with --move";
  } else if (o.keep_empty && o.command != CliCommand::kRm && !o.move) {
    *error = "--keep-empty belongs to rm and to get or put with --move";
  } else {
    const int ports = !o.cable_path.empty() + (o.lpt != 0) + (o.base != 0);
    if (ports <= 1) return true;
    *error = "give only one of --cable, --lpt and --base";
  }
  return false;
}

}  // namespace

std::int32_t OverwriteModeByName(const std::string& name) {
  if (name == "ask") return 0;
  if (name == "always") return 1;
  if (name == "never") return 2;
  if (name == "freshen") return 3;
  if (name == "update") return 4;
  return -1;
}

const char* CliUsage() {
  return "Usage: duplane-cli [--cable PATH | --lpt N | --base ADDR] [OPTIONS] COMMAND ...\n"
         "Copies, moves and deletes files over the parallel cable to a Remote Module.\n"
         "\n"
         "Commands (REMOTE is a path on the Remote PC such as 'C:\\DATA\\FILE.TXT';\n"
         "'/' may stand for '\\'; a trailing '\\' or a drive root means what the\n"
         "directory holds; * and ? in the last name select the entries that match):\n"
         "  ls [REMOTE]                 list a remote directory\n"
         "  get REMOTE... LOCALDIR      copy remote files and trees into LOCALDIR\n"
         "  put LOCAL... REMOTEDIR      copy local files and trees into REMOTEDIR\n"
         "  rm REMOTE...                delete remote files and trees\n"
         "  mkdir REMOTEDIR...          create remote directories\n"
         "  rename REMOTE NEWNAME       rename a remote entry in its directory\n"
         "  df [DRIVE]                  size and free space of the remote drives\n"
         "  drives                      the remote drive letters\n"
         "\n"
         "Port (default --lpt 1):\n"
         "  --cable PATH      the virtual cable file PATH\n"
         "  --lpt N           the hardware port LPTN (1-3)\n"
         "  --base ADDR       the hardware port at this I/O address, e.g. 0x378\n"
         "  --timeout SECS    how long to wait for the Remote Module to answer (10)\n"
         "\n"
         "Options of get and put:\n"
         "  --overwrite MODE  never, always, update (when the source is newer),\n"
         "                    freshen (only existing files, when the source is newer)\n"
         "                    or ask (on a terminal only); default: ask on a terminal,\n"
         "                    never otherwise\n"
         "  --move            delete each source file once its copy is verified, and\n"
         "                    the source directories that became empty\n"
         "  --no-safe-copy    write each target directly, not first to NAME.duplane-part\n"
         "                    (which keeps an old target until the copy is verified\n"
         "                    and lets an interrupted copy resume)\n"
         "Options of rm and of --move:\n"
         "  --mode MODE       recycle (to the trash, the default), normal or wipe\n"
         "  --keep-empty      leave the emptied directories in place\n"
         "\n"
         "  --help            show this text\n"
         "  --version         show the version\n"
         "\n"
         "Exit status: 0 when every file was done and verified, 1 when some file\n"
         "failed or the run was stopped, 2 for a usage or connection error.\n";
}

bool ParseCliOptions(int argc, const char* const* argv, CliOptions* options, std::string* error) {
  *options = CliOptions();
  std::string command_name;
  bool mode_given = false;
  bool options_end = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (options_end || arg.size() < 2 || arg[0] != '-') {
      if (command_name.empty()) {
        command_name = arg;
      } else {
        options->args.push_back(arg);
      }
      continue;
    }
    if (arg == "--") {
      options_end = true;
      continue;
    }
    std::string name = arg;
    std::string value;
    bool has_value = false;
    const std::size_t equals = arg.find('=');
    if (equals != std::string::npos) {
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
      has_value = true;
    }
    auto take_value = [&] {
      if (has_value) return true;
      if (i + 1 >= argc) {
        *error = "option " + name + " needs a value";
        return false;
      }
      value = argv[++i];
      return true;
    };
    long number = 0;
    if (name == "--help" || name == "-h") {
      options->help = true;
    } else if (name == "--version") {
      options->version = true;
    } else if (name == "--move") {
      options->move = true;
    } else if (name == "--no-safe-copy") {
      options->unsafe_copy = true;
    } else if (name == "--keep-empty") {
      options->keep_empty = true;
    } else if (name == "--cable") {
      if (!take_value()) return false;
      if (value.empty()) {
        *error = "option --cable needs a file path";
        return false;
      }
      options->cable_path = value;
    } else if (name == "--lpt") {
      if (!take_value()) return false;
      if (!ParseBounded(value, 1, 3, &number)) {
        *error = "option --lpt takes 1, 2 or 3, not '" + value + "'";
        return false;
      }
      options->lpt = static_cast<int>(number);
    } else if (name == "--base") {
      if (!take_value()) return false;
      if (!ParseBounded(value, 1, 0xFFFF, &number)) {
        *error = "option --base takes an I/O address such as 0x378, not '" + value + "'";
        return false;
      }
      options->base = static_cast<std::uint16_t>(number);
    } else if (name == "--timeout") {
      if (!take_value()) return false;
      if (!ParseBounded(value, 1, 24 * 3600, &number)) {
        *error = "option --timeout takes a number of seconds, not '" + value + "'";
        return false;
      }
      options->timeout_seconds = static_cast<int>(number);
    } else if (name == "--overwrite") {
      if (!take_value()) return false;
      options->overwrite = OverwriteModeByName(value);
      if (options->overwrite < 0) {
        *error =
            "option --overwrite takes never, always, update, freshen or ask, not '" + value + "'";
        return false;
      }
    } else if (name == "--mode") {
      if (!take_value()) return false;
      options->delete_mode = DeleteModeByName(value);
      mode_given = true;
      if (options->delete_mode < 0) {
        *error = "option --mode takes recycle, normal or wipe, not '" + value + "'";
        return false;
      }
    } else {
      *error = "unknown option '" + arg + "'";
      return false;
    }
  }
  if (options->help || options->version) return true;
  if (command_name.empty()) {
    *error = "say what to do: ls, get, put, rm, mkdir, rename, df or drives";
    return false;
  }
  const auto found = Commands().find(command_name);
  if (found == Commands().end()) {
    *error = "unknown command '" + command_name + "'";
    return false;
  }
  const CommandShape& shape = found->second;
  options->command = shape.command;
  if (options->args.size() < shape.min_args || options->args.size() > shape.max_args) {
    *error = "wrong number of arguments for " + command_name;
    return false;
  }
  return CheckCombination(*options, command_name, mode_given, error);
}

}  // namespace duplane
