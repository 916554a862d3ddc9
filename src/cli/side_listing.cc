// Splitting the command line's paths and reading one directory into a pane.
#include "cli/side_listing.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "localfs/local_file_system.h"
#include "localfs/name_pattern.h"
#include "transfer/directory_listing.h"

namespace duplane {
namespace {

bool IsPattern(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

bool IsDotName(const std::string& name) { return name == "." || name == ".."; }

}  // namespace

std::string RemoteWindowsPath(const std::string& path) {
  std::string windows = path;
  for (char& c : windows) {
    if (c == '/') c = '\\';
  }
  return windows;
}

NamedEntries SplitRemotePath(const std::string& path) {
  const std::string windows = RemoteWindowsPath(path);
  const std::size_t slash = windows.rfind('\\');
  const bool drive_only = windows.size() == 2 && windows[1] == ':';
  if (drive_only || (slash != std::string::npos && slash + 1 == windows.size())) {
    return {windows, {"*"}};
  }
  if (slash == std::string::npos) {
    // "C:NAME" names NAME in the current directory of drive C:.
    if (windows.size() > 2 && windows[1] == ':') return {windows.substr(0, 2), {windows.substr(2)}};
    return {"", {windows}};
  }
  // "\NAME" and "C:\NAME" keep their backslash: it is the root.
  const bool at_root = slash == 0 || (slash == 2 && windows[1] == ':');
  return {windows.substr(0, at_root ? slash + 1 : slash), {windows.substr(slash + 1)}};
}

bool ResolveLocalDir(const std::string& path, std::string* out, std::string* error) {
  char resolved[PATH_MAX];
  struct stat info {};
  if (realpath(path.c_str(), resolved) == nullptr || stat(resolved, &info) != 0) {
    *error = path + ": " + std::strerror(errno) + " on Local PC";
    return false;
  }
  if (!S_ISDIR(info.st_mode)) {
    *error = path + ": not a directory on Local PC";
    return false;
  }
  *out = resolved;
  return true;
}

bool SplitLocalPath(const std::string& path, NamedEntries* out, std::string* error) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  const std::size_t slash = trimmed.rfind('/');
  const std::string leaf = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
  // A trailing slash, the root and the dot names mean what the directory holds.
  if (trimmed.size() != path.size() || trimmed == "/" || IsDotName(leaf)) {
    out->names = {"*"};
    return ResolveLocalDir(path, &out->dir, error);
  }
  out->names = {leaf};
  const std::string parent =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : trimmed.substr(0, slash));
  return ResolveLocalDir(parent, &out->dir, error);
}

bool JoinEntries(const std::vector<NamedEntries>& parts, NamedEntries* joined, std::string* error) {
  *joined = NamedEntries();
  for (const NamedEntries& part : parts) {
    if (joined->names.empty()) {
      joined->dir = part.dir;
    } else if (part.dir != joined->dir) {
      *error = "the sources of one command must lie in one directory, not in " + joined->dir +
               " and " + part.dir;
      return false;
    }
    joined->names.insert(joined->names.end(), part.names.begin(), part.names.end());
  }
  return true;
}

bool EnterDirectory(Link& link, Side side, const std::string& dir, std::string* path) {
  if (!dir.empty() && link.LinkChDir(side, dir) != 0) return false;
  *path = link.LinkGetDir(side, kCurrentDrive);
  return !path->empty();
}

void ReadDirectory(Link& link, SearchSlots& slots, Side side, std::string dir, TPane* pane) {
  *pane = TPane();
  pane->Path = dir;
  ReadListing(link, slots, side, dir, ListingOptions(), pane);
  // A command names entries; the special rows are none.
  pane->Rows.erase(pane->Rows.begin(), pane->Rows.begin() + pane->SpecialCount);
  pane->SpecialCount = 0;
}

std::vector<bool> SelectRows(const TPane& pane, const std::vector<std::string>& names,
                             std::vector<std::string>* missing) {
  const std::vector<PaneRow>& rows = pane.Rows;
  std::vector<bool> selected(rows.size(), false);
  for (const std::string& name : names) {
    bool found = false;
    for (std::size_t row = 0; row < rows.size(); ++row) {
      const std::string& listed = rows[row].name;
      const bool match =
          name == "*" || (IsPattern(name) ? MatchesPattern(name, listed) : listed == name);
      if (!match) continue;
      selected[row] = true;
      found = true;
    }
    // An empty directory holds nothing to name, which is no mistake.
    if (!found && name != "*") missing->push_back(name);
  }
  return selected;
}

}  // namespace duplane
