// get, put and rm. The command line is turned into what the window would hold
// at that moment (both panes showing a directory, the named rows selected) and
// the window's own engines do the rest through the console's TransferUi. The
// local side is a local branch confined to the one local directory involved,
// so nothing outside it can be read or changed, whatever a link says.
#include <memory>

#include "cli/commands.h"
#include "cli/console_transfer_ui.h"
#include "cli/interrupt.h"
#include "cli/side_listing.h"
#include "link/link.h"
#include "localfs/local_file_system.h"
#include "transfer/copy_engine.h"
#include "transfer/delete_engine.h"
#include "transfer/transfer_context.h"

namespace duplane {
namespace {

constexpr char kLocalRoot[] = "C:\\";

// The local branch's "C:\SUB\X" as the native path below `root`.
std::string NativePath(const std::string& root, const std::string& windows) {
  std::string relative = windows.rfind(kLocalRoot, 0) == 0 ? windows.substr(3) : windows;
  for (char& c : relative) {
    if (c == '\\') c = '/';
  }
  return root == "/" ? "/" + relative : root + "/" + relative;
}

// Where the sources are and where they go, as the command line said.
struct TransferPlan {
  Side source_side = Side::kLocal;
  NamedEntries sources;    // dir: the remote Windows path, or unused for local sources
  std::string local_root;  // the one local directory the run may touch
  std::string remote_dir;
};

// Splits the sources of get/put/rm; false (with the exit status) on a mistake.
bool PlanTransfer(const CliRun& run, TransferPlan* plan, int* status) {
  const CliOptions& o = run.options;
  const bool is_rm = o.command == CliCommand::kRm;
  plan->source_side = o.command == CliCommand::kPut ? Side::kLocal : Side::kRemote;
  const std::size_t source_count = is_rm ? o.args.size() : o.args.size() - 1;
  std::vector<NamedEntries> parts(source_count);
  std::string error;
  *status = kExitFault;
  for (std::size_t i = 0; i < source_count; ++i) {
    if (plan->source_side == Side::kRemote) {
      parts[i] = SplitRemotePath(o.args[i]);
    } else if (!SplitLocalPath(o.args[i], &parts[i], &error)) {
      run.console.Error(error);
      return false;
    }
  }
  if (!JoinEntries(parts, &plan->sources, &error)) {
    run.console.Error(error);
    *status = kExitUsage;
    return false;
  }
  if (plan->source_side == Side::kLocal) {
    plan->local_root = plan->sources.dir;
    plan->remote_dir = RemoteWindowsPath(o.args.back());
    return true;
  }
  plan->remote_dir = plan->sources.dir;
  // rm touches nothing local; its local branch is confined to the root and never used.
  if (is_rm) {
    plan->local_root = "/";
    return true;
  }
  if (ResolveLocalDir(o.args.back(), &plan->local_root, &error)) return true;
  run.console.Error(error);
  return false;
}

}  // namespace

int RunTransferCommand(CliRun& run) {
  const CliOptions& o = run.options;
  TransferPlan plan;
  int status = kExitOk;
  if (!PlanTransfer(run, &plan, &status)) return status;

  LocalFileSystem files({{'C', plan.local_root}}, /*confine=*/true);
  Link link(files, run.cable.layer());
  ConsoleRunChoices choices;
  choices.source_side = plan.source_side;
  choices.copy.overwrite = o.overwrite;
  choices.copy.overwrite_text = "";
  choices.copy.delete_mode = o.delete_mode;
  choices.copy.remove_empty = !o.keep_empty;
  choices.copy.safe_copy = !o.unsafe_copy;
  choices.del.delete_mode = o.delete_mode;
  choices.del.remove_empty = !o.keep_empty;
  const std::string root = plan.local_root;
  const auto shown = [root](Side side, const std::string& path) {
    return side == Side::kLocal ? NativePath(root, path) : path;
  };
  choices.display_path = shown;
  ConsoleTransferUi ui(run.console, run.cable.layer(), std::move(choices));

  if (!EnterDirectory(link, Side::kLocal, kLocalRoot, &ui.pane(Side::kLocal).Path)) {
    run.console.Error("Cannot open " + plan.local_root + " on Local PC");
    return kExitFault;
  }
  if (!EnterDirectory(link, Side::kRemote, plan.remote_dir, &ui.pane(Side::kRemote).Path)) {
    run.console.Error("Cannot open directory " + plan.remote_dir + " on Remote PC");
    return kExitFault;
  }

  const Side side = plan.source_side;
  TPane& source = ui.pane(side);
  SearchSlots slots;
  ReadDirectory(link, slots, side, source.Path, &source);
  std::vector<std::string> missing;
  ui.selection(side) = SelectRows(source, plan.sources.names, &missing);
  for (const std::string& name : missing) {
    run.console.Error(name + ": not found in " + shown(side, source.Path) + " on " +
                      SideName(side));
  }
  bool any = false;
  for (bool selected : ui.selection(side)) any = any || selected;
  if (!any) {
    if (!missing.empty()) return kExitFault;
    run.console.Line("Nothing to do: " + shown(side, source.Path) + " is empty on " +
                     SideName(side));
    return kExitOk;
  }

  TransferQueue queue;
  TransferContext ctx{link, ui, slots, queue};
  if (o.command == CliCommand::kRm) {
    DeleteFiles(ctx, side);
  } else {
    CopyFiles(ctx, side, o.move);
  }
  if (InterruptCount() > 0) run.console.Error("stopped by an interrupt");
  const bool complete = !ui.faulted() && missing.empty() && InterruptCount() == 0;
  return complete ? kExitOk : kExitFault;
}

}  // namespace duplane
