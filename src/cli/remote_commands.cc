// ls, mkdir, rename, df and drives: each one Link operation or a directory
// search on the Remote PC, with errors worded as the window words them.
#include <cctype>
#include <cstdio>
#include <ctime>

#include "cli/commands.h"
#include "cli/side_listing.h"
#include "link/link.h"
#include "localfs/file_times.h"
#include "localfs/local_file_system.h"

namespace duplane {
namespace {

std::string ModifiedText(FileTime time) {
  std::int64_t seconds = 0, nanoseconds = 0;
  UnixFromFileTime(time, &seconds, &nanoseconds);
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm local{};
  char text[32] = "";
  if (localtime_r(&t, &local) != nullptr)
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

int Ls(CliRun& run, Link& link) {
  NamedEntries named = SplitRemotePath(run.options.args.empty() ? "" : run.options.args[0]);
  if (run.options.args.empty()) named.names = {"*"};
  std::string path;
  SearchSlots slots;
  TPane pane;
  if (!EnterDirectory(link, Side::kRemote, named.dir, &path)) {
    run.console.Error("Cannot open directory " + named.dir + " on Remote PC");
    return kExitFault;
  }
  ReadDirectory(link, slots, Side::kRemote, path, &pane);
  std::vector<std::string> missing;
  std::vector<bool> selected = SelectRows(pane, named.names, &missing);
  // "ls C:\DATA" shows what DATA holds, as "ls C:\DATA\" does.
  const std::string& name = named.names[0];
  if (missing.empty() && name != "*" && name.find_first_of("*?") == std::string::npos &&
      pane.DirCount > 0) {
    for (std::int32_t row = 0; row < pane.DirCount; ++row) {
      if (!selected[row] || !EnterDirectory(link, Side::kRemote, name, &path)) continue;
      ReadDirectory(link, slots, Side::kRemote, path, &pane);
      selected.assign(pane.Rows.size(), true);
      break;
    }
  }
  for (const std::string& lost : missing) {
    run.console.Error(lost + ": not found in " + path + " on Remote PC");
  }
  run.console.Line("Directory of " + path);
  std::int64_t files = 0, dirs = 0, bytes = 0;
  for (std::size_t row = 0; row < pane.Rows.size(); ++row) {
    if (!selected[row]) continue;
    const PaneRow& r = pane.Rows[row];
    const bool is_dir = (r.attributes & kAttrDirectory) != 0;
    char line[64];
    std::snprintf(line, sizeof line, "%-16s  %15s  ", ModifiedText(r.modified).c_str(),
                  is_dir ? "<DIR>" : GroupedNumber(static_cast<std::int64_t>(r.size)).c_str());
    run.console.Line(line + r.name);
    if (is_dir) {
      ++dirs;
    } else {
      ++files;
      bytes += static_cast<std::int64_t>(r.size);
    }
  }
  run.console.Line(GroupedNumber(files) + " files, " + GroupedNumber(bytes) + " bytes, " +
                   GroupedNumber(dirs) + " directories");
  return missing.empty() ? kExitOk : kExitFault;
}

int Mkdir(CliRun& run, Link& link) {
  int status = kExitOk;
  for (const std::string& arg : run.options.args) {
    const std::string dir = RemoteWindowsPath(arg);
    if (!link.LinkCreateDir(Side::kRemote, dir)) {
      run.console.Error("Error creating directory " + dir + " on Remote PC");
      status = kExitFault;
    }
  }
  return status;
}

int Rename(CliRun& run, Link& link) {
  const NamedEntries old_name = SplitRemotePath(run.options.args[0]);
  const std::string& new_name = run.options.args[1];
  if (new_name.empty() || new_name.find_first_of("\\/:") != std::string::npos ||
      old_name.names[0] == "*") {
    run.console.Error("rename takes an entry and a new name for it in the same directory");
    return kExitUsage;
  }
  std::string path;
  if (!EnterDirectory(link, Side::kRemote, old_name.dir, &path)) {
    run.console.Error("Cannot open directory " + old_name.dir + " on Remote PC");
    return kExitFault;
  }
  if (!link.LinkRenameFile(Side::kRemote, old_name.names[0], new_name)) {
    run.console.Error("Error renaming " + RemoteWindowsPath(run.options.args[0]) + " on Remote PC");
    return kExitFault;
  }
  return kExitOk;
}

int Df(CliRun& run, Link& link) {
  std::string letters = link.LinkGetDrives(Side::kRemote);
  if (!run.options.args.empty()) {
    const std::string& arg = run.options.args[0];
    const char wanted = static_cast<char>(std::toupper(static_cast<unsigned char>(arg[0])));
    if (letters.find(wanted) == std::string::npos || (arg.size() > 1 && arg.substr(1) != ":")) {
      run.console.Error("no drive " + arg + " on Remote PC");
      return kExitFault;
    }
    letters = std::string(1, wanted);
  }
  run.console.Line("Drive               Size               Free");
  int status = kExitOk;
  for (char letter : letters) {
    const auto number = static_cast<std::uint8_t>(letter - 'A' + 1);
    const std::int64_t size = link.LinkDiskSize(Side::kRemote, number);
    const std::int64_t free = link.LinkDiskFree(Side::kRemote, number);
    if (size < 0 || free < 0) {
      run.console.Error(std::string("Drive ") + letter + ": not ready");
      status = kExitFault;
      continue;
    }
    char line[80];
    std::snprintf(line, sizeof line, "%c:     %17s  %17s", letter, GroupedNumber(size).c_str(),
                  GroupedNumber(free).c_str());
    run.console.Line(line);
  }
  return status;
}

int Drives(CliRun& run, Link& link) {
  const std::string letters = link.LinkGetDrives(Side::kRemote);
  if (letters.empty()) {
    run.console.Error("no drives on Remote PC");
    return kExitFault;
  }
  for (char letter : letters) run.console.Line(std::string(1, letter) + ":");
  return kExitOk;
}

}  // namespace

int RunRemoteCommand(CliRun& run) {
  // These commands touch nothing local: the local branch is confined to the
  // root and never asked.
  LocalFileSystem files({{'C', "/"}}, /*confine=*/true);
  Link link(files, run.cable.layer());
  switch (run.options.command) {
    case CliCommand::kLs:
      return Ls(run, link);
    case CliCommand::kMkdir:
      return Mkdir(run, link);
    case CliCommand::kRename:
      return Rename(run, link);
    case CliCommand::kDf:
      return Df(run, link);
    case CliCommand::kDrives:
      return Drives(run, link);
    default:
      return kExitUsage;
  }
}

}  // namespace duplane
