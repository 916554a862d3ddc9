// Parsing of duplane-remote's options: one place for every rule, so the
// program can answer a bad option with one clear line.
#include "remote/remote_options.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace duplane {
namespace {

bool ParseNumber(const std::string& text, int radix, unsigned long max, unsigned long* value) {
  if (text.empty()) return false;
  for (unsigned char c : text) {
    if (!(radix == 16 ? std::isxdigit(c) : std::isdigit(c))) return false;
  }
  char* end = nullptr;
  errno = 0;
  const unsigned long parsed = std::strtoul(text.c_str(), &end, radix);
  if (errno != 0 || *end != '\0' || parsed > max) return false;
  *value = parsed;
  return true;
}

}  // namespace

// Port addresses are hexadecimal wherever a user meets them (the kernel's
// lists aside), so "378" and "0378" mean 0x378, not 378 or an octal number.
bool ParsePortAddress(const std::string& text, std::uint16_t* address) {
  const bool prefixed = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  unsigned long value = 0;
  if (!ParseNumber(prefixed ? text.substr(2) : text, 16, 0xFFFF, &value) || value == 0) {
    return false;
  }
  *address = static_cast<std::uint16_t>(value);
  return true;
}

const char* RemoteUsage() {
  return "Usage: duplane-remote --cable PATH [--end N] [--drive X=DIR ...]\n"
         "       duplane-remote --lpt N [--drive X=DIR ...]\n"
         "       duplane-remote --base ADDR [--drive X=DIR ...]\n"
         "       duplane-remote --probe [--lpt N | --base ADDR]\n"
         "Serves this PC's drives to the Duplane program over a parallel cable.\n"
         "  --cable PATH   use the virtual cable file PATH (end 1 unless --end says)\n"
         "  --end N        which end of the virtual cable to take, 0 or 1\n"
         "  --lpt N        use the hardware port LPTN (1-3)\n"
         "  --base ADDR    use the hardware port at this I/O base address, in\n"
         "                 hexadecimal with or without 0x (378, 0x378, D010)\n"
         "  --probe        test the port (every port the system lists, unless one is\n"
         "                 named) and the cable, then exit\n"
         "  --drive X=DIR  serve DIR as drive X: (repeatable); only the drives given\n"
         "                 exist; without any, drive C: is /\n"
         "  --help         show this text\n"
         "  --version      show the version\n";
}

bool ParseRemoteOptions(int argc, const char* const* argv, RemoteOptions* options,
                        std::string* error) {
  *options = RemoteOptions();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    std::string name = arg;
    std::string value;
    bool has_value = false;
    const std::size_t equals = arg.find('=');
    if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
      has_value = true;
    }
    auto take_value = [&]() {
      if (has_value) return true;
      if (i + 1 >= argc) {
        *error = "option " + name + " needs a value";
        return false;
      }
      value = argv[++i];
      return true;
    };
    unsigned long number = 0;
    if (name == "--help" || name == "-h") {
      options->help = true;
    } else if (name == "--probe") {
      options->probe = true;
    } else if (name == "--version") {
      options->version = true;
    } else if (name == "--cable") {
      if (!take_value()) return false;
      if (value.empty()) {
        *error = "option --cable needs a file path";
        return false;
      }
      options->cable_path = value;
    } else if (name == "--end") {
      if (!take_value()) return false;
      if (!ParseNumber(value, 10, 1, &number)) {
        *error = "option --end takes 0 or 1, not '" + value + "'";
        return false;
      }
      options->cable_end = static_cast<int>(number);
    } else if (name == "--lpt") {
      if (!take_value()) return false;
      if (!ParseNumber(value, 10, 3, &number) || number < 1) {
        *error = "option --lpt takes 1, 2 or 3, not '" + value + "'";
        return false;
      }
      options->lpt = static_cast<int>(number);
    } else if (name == "--base") {
      if (!take_value()) return false;
      if (!ParsePortAddress(value, &options->base)) {
        *error = "option --base takes a hexadecimal I/O address such as 378 or D010, not '" +
                 value + "'";
        return false;
      }
    } else if (name == "--drive") {
      if (!take_value()) return false;
      DriveMapping drive;
      if (!ParseDriveOption(value, &drive, error)) return false;
      for (const DriveMapping& given : options->drives) {
        if (given.letter == drive.letter) {
          *error = std::string("drive ") + drive.letter + ": is given twice";
          return false;
        }
      }
      options->drives.push_back(drive);
    } else {
      *error = "unknown option '" + arg + "'";
      return false;
    }
  }
  if (options->help || options->version) return true;
  const int ports = !options->cable_path.empty() + (options->lpt != 0) + (options->base != 0);
  if (options->probe) {
    if (!options->cable_path.empty() || ports > 1) {
      *error = "--probe tests a hardware port: give it --lpt N, --base ADDR or neither";
      return false;
    }
    return true;
  }
  if (ports != 1) {
    *error = ports == 0 ? "say which port to serve: --cable PATH, --lpt N or --base ADDR"
                        : "give only one of --cable, --lpt and --base";
    return false;
  }
  return true;
}

}  // namespace duplane
