// The --drive X=DIR option on Windows: the folder must exist now and is made a
// full path (a drive's root keeps its backslash), so the drive table holds
// real folders only. Paths are UTF-8 here, as everywhere in the module.
#include <windows.h>

#include <cctype>
#include <vector>

#include "localfs/drive_table.h"
#include "text/windows_text.h"

namespace duplane {

bool ParseDriveOption(const std::string& text, DriveMapping* out, std::string* error) {
  if (text.size() < 3 || !std::isalpha(static_cast<unsigned char>(text[0])) || text[1] != '=') {
    *error = "--drive wants X=DIR, got \"" + text + "\"";
    return false;
  }
  const std::string directory = text.substr(2);
  const std::string not_a_directory = "--drive " + text + ": " + directory + " is not a directory";
  std::wstring wide;
  if (!WideFromUtf8(directory, &wide)) {
    *error = not_a_directory;
    return false;
  }
  std::vector<wchar_t> full(MAX_PATH);
  DWORD length =
      GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length >= full.size()) {
    full.resize(length + 1);
    length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  const DWORD attributes = length > 0 && length < full.size() ? GetFileAttributesW(full.data())
                                                              : INVALID_FILE_ATTRIBUTES;
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    *error = not_a_directory;
    return false;
  }
  out->letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  out->directory = Utf8FromWide(full.data(), length);
  return true;
}

}  // namespace duplane
