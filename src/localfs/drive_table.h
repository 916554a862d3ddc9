// The drive letters the local branch serves, each mapped to a native directory,
// and the Windows idea of a current drive with one current directory per drive.
// Paths arrive in Windows form (C:\DIR\FILE.TXT); Resolve turns one into a drive
// and a list of plain names below that drive's directory, so nothing that the
// path says (.., absolute forms) ever climbs above a drive's root.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace duplane {

struct DriveMapping {
  char letter;            // 'A'..'Z'
  std::string directory;  // native directory, absolute
};

// "X=DIR" from the command line: a letter, '=', an existing directory. The
// directory is made absolute. On failure `error` gets a one-line reason.
bool ParseDriveOption(const std::string& text, DriveMapping* out, std::string* error);

// Where a Windows path lands: the drive's index in the table and the native
// names below its root ("" components, "." and ".." already folded away, the
// private-use twins of name_mapping.h turned back into their characters).
struct ResolvedPath {
  int drive = -1;
  std::vector<std::string> names;
  // How many of the leading names are the drive's current directory, which a
  // relative path starts from ("..\\" out of it shortens it; 0 for a path from
  // the root). That directory is the one a pane shows, chosen by the user,
  // link or not; a change below it never goes through a link.
  std::size_t current_names = 0;
};

class DriveTable {
 public:
  // Sorted by letter; a later mapping of the same letter replaces an earlier one.
  explicit DriveTable(std::vector<DriveMapping> drives);

  const std::vector<DriveMapping>& drives() const { return drives_; }
  std::string Letters() const;
  // Index of the drive with that letter (either case), or -1.
  int IndexOfLetter(char letter) const;
  // Drive number as on the wire: 0 the current drive, 1 A: ... 26 Z:; -1 if absent.
  int IndexOfNumber(std::uint8_t number) const;

  int current_drive() const { return current_; }
  void set_current_drive(int index) { current_ = index; }

  // False when the path names an unknown drive or holds a NUL byte.
  bool Resolve(const std::string& path, ResolvedPath* out) const;
  // The names of `resolved` joined with '/', or "." at the drive's root.
  static std::string NativeRelative(const std::vector<std::string>& names);
  // "C:\DIR\SUB" (or "C:\" at the root), names in their wire form.
  std::string WindowsForm(const ResolvedPath& path) const;

  void SetCurrent(const ResolvedPath& path);
  // The current directory of drive `number` (as on the wire, 0 the current
  // drive) in Windows form, or "" for a drive that is not there.
  std::string CurrentDirectoryText(std::uint8_t number) const;
  const std::vector<std::string>& CurrentNames(int drive) const { return current_dirs_[drive]; }

 private:
  std::vector<DriveMapping> drives_;
  std::vector<std::vector<std::string>> current_dirs_;
  int current_ = 0;
};

}  // namespace duplane
