// Windows path rules over a table of drive letters; no file-system access here.
#include "localfs/drive_table.h"

#include <algorithm>
#include <cctype>

#include "localfs/file_values.h"
#include "localfs/name_mapping.h"

namespace duplane {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// Folds `rest` onto `names`: "." stays, ".." goes up but never above the root,
// empty components from doubled separators vanish. Each name that remains is
// turned into its native form. `kept` counts the leading names that stand
// from before the fold; ".." shortens it.
void Walk(const std::string& rest, std::vector<std::string>* names, std::size_t* kept) {
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = start;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    std::string name = rest.substr(start, end - start);
    if (name == "..") {
      if (!names->empty()) names->pop_back();
      *kept = std::min(*kept, names->size());
    } else if (!name.empty() && name != ".") {
      names->push_back(NativeNameOf(name));
    }
    start = end + 1;
  }
}

}  // namespace

DriveTable::DriveTable(std::vector<DriveMapping> drives) {
  for (DriveMapping& drive : drives) {
    drive.letter = Upper(drive.letter);
    auto same = std::find_if(drives_.begin(), drives_.end(),
                             [&](const DriveMapping& d) { return d.letter == drive.letter; });
    if (same != drives_.end()) {
      *same = drive;
    } else if (drive.letter >= 'A' && drive.letter <= 'Z') {
      drives_.push_back(drive);
    }
  }
  std::sort(drives_.begin(), drives_.end(),
            [](const DriveMapping& a, const DriveMapping& b) { return a.letter < b.letter; });
  current_dirs_.resize(drives_.size());
}

std::string DriveTable::Letters() const {
  std::string letters;
  for (const DriveMapping& drive : drives_) letters += drive.letter;
  return letters;
}

int DriveTable::IndexOfLetter(char letter) const {
  letter = Upper(letter);
  for (std::size_t i = 0; i < drives_.size(); ++i) {
    if (drives_[i].letter == letter) return static_cast<int>(i);
  }
  return -1;
}

int DriveTable::IndexOfNumber(std::uint8_t number) const {
  if (number == kCurrentDrive) return drives_.empty() ? -1 : current_;
  if (number > 26) return -1;
  return IndexOfLetter(static_cast<char>('A' + number - 1));
}

bool DriveTable::Resolve(const std::string& path, ResolvedPath* out) const {
  // A NUL would cut the native name short and name some other file.
  if (path.find('\0') != std::string::npos || drives_.empty()) return false;
  std::string rest = path;
  int drive = current_;
  bool from_root = false;
  if (rest.size() >= 2 && rest[1] == ':' && IsLetter(rest[0])) {
    drive = IndexOfLetter(rest[0]);
    if (drive < 0) return false;
    rest.erase(0, 2);
  }
  if (!rest.empty() && IsSeparator(rest[0])) from_root = true;
  out->drive = drive;
  out->names.clear();
  if (!from_root) out->names = current_dirs_[drive];
  out->current_names = out->names.size();
  Walk(rest, &out->names, &out->current_names);
  return true;
}

std::string DriveTable::NativeRelative(const std::vector<std::string>& names) {
  if (names.empty()) return ".";
  std::string joined;
  for (const std::string& name : names) {
    if (!joined.empty()) joined += '/';
    joined += name;
  }
  return joined;
}

std::string DriveTable::WindowsForm(const ResolvedPath& path) const {
  std::string text;
  text += drives_[path.drive].letter;
  text += ":\\";
  for (std::size_t i = 0; i < path.names.size(); ++i) {
    if (i > 0) text += '\\';
    text += WireNameOf(path.names[i]);
  }
  return text;
}

void DriveTable::SetCurrent(const ResolvedPath& path) {
  current_ = path.drive;
  current_dirs_[path.drive] = path.names;
}

std::string DriveTable::CurrentDirectoryText(std::uint8_t number) const {
  const int index = IndexOfNumber(number);
  if (index < 0) return std::string();
  ResolvedPath current;
  current.drive = index;
  current.names = current_dirs_[index];
  return WindowsForm(current);
}

}  // namespace duplane
