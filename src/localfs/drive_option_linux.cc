// The --drive X=DIR option on Linux: the directory must exist now and is made
// absolute, so the drive table holds real paths only.
#include <sys/stat.h>

#include <cctype>
#include <climits>
#include <cstdlib>

#include "localfs/drive_table.h"

namespace duplane {
bool ParseDriveOption(const std::string& text, DriveMapping* out, std::string* error) {
  if (text.size() < 3 || !std::isalpha(static_cast<unsigned char>(text[0])) || text[1] != '=') {
    *error = "--drive wants X=DIR, got \"" + text + "\"";
    return false;
  }
  const std::string directory = text.substr(2);
  char resolved[PATH_MAX];
  struct stat info;
  if (realpath(directory.c_str(), resolved) == nullptr || stat(resolved, &info) != 0 ||
      !S_ISDIR(info.st_mode)) {
    *error = "--drive " + text + ": " + directory + " is not a directory";
    return false;
  }
  out->letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  out->directory = resolved;
  return true;
}

}  // namespace duplane
