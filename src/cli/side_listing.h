// What the command line names on either side, made into what the engines read
// from the window: a pane whose rows are one directory's entries, with the rows
// the user named selected. Remote paths are Windows paths; local ones are
// native paths, served to the engines as the drive C: of a local branch that is
// confined to the one directory concerned.
#pragma once

#include <string>
#include <vector>

#include "link/link.h"
#include "transfer/pane.h"
#include "transfer/search_slots.h"

namespace duplane {

// A directory and the entries of it that a command names: "*" for all of them,
// a name, or a pattern with * and ?.
struct NamedEntries {
  std::string dir;  // remote: a Windows path ("" for the current directory); local: native
  std::vector<std::string> names;
};

// A remote path as typed, with forward slashes turned into backslashes (no
// Windows name holds either).
std::string RemoteWindowsPath(const std::string& path);
// "C:\DATA\X" gives C:\DATA and X; "C:\DATA\" and "C:\" give the directory and
// "*". Forward slashes count as backslashes.
NamedEntries SplitRemotePath(const std::string& path);
// "/home/me/x" gives /home/me and x; "/home/me/x/", "/", "." and ".." give the
// directory itself and "*". The directory is made absolute with its links
// resolved; false (with a message) when it does not exist.
bool SplitLocalPath(const std::string& path, NamedEntries* out, std::string* error);
// An existing directory made absolute with its links resolved; false (with a
// message) otherwise.
bool ResolveLocalDir(const std::string& path, std::string* out, std::string* error);
// Several arguments of one command: their directories must be one, as the
// engines copy from one pane's directory. False (with a message) otherwise.
bool JoinEntries(const std::vector<NamedEntries>& parts, NamedEntries* joined, std::string* error);

// Makes `dir` the side's current directory (nothing to do for "") and gives
// the side's name for it, as a pane's Path. False when it cannot be entered.
bool EnterDirectory(Link& link, Side side, const std::string& dir, std::string* path);

// Reads directory `dir` of a side into `pane` the way the window's list reads
// it, whole and without the "<parent>" and "<root>" rows: directories, then
// files, each in search order. `dir` is the side's current directory (taken by
// value: it is often the pane's own Path).
void ReadDirectory(Link& link, SearchSlots& slots, Side side, std::string dir, TPane* pane);

// The rows named by `names`: "*" selects all, a pattern those that match (case
// ignored, as on Windows), a plain name the row of exactly that name. Names
// other than "*" that select nothing are added to `missing`.
std::vector<bool> SelectRows(const TPane& pane, const std::vector<std::string>& names,
                             std::vector<std::string>* missing);

}  // namespace duplane
