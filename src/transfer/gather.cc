// Gathering: selected files as the pane lists them, selected directories walked
// on their own side. Each open directory level holds one search slot; the busy
// window's Cancel is seen because the walk pumps events after every directory
// and every file it queues.
#include "transfer/gather.h"

#include "localfs/find_record.h"
#include "transfer/link_on_path.h"
#include "transfer/name_patterns.h"
#include "transfer/transfer_queue.h"

namespace duplane {

namespace {

// Calls `visit` for every entry a search on `slot` reports and closes the
// search. Cancel is looked at after every LinkFindNext; no close is sent for a
// search that found nothing, as the platform has nothing open then.
template <typename Visit>
void SearchEntries(TransferContext& ctx, Side side, std::int32_t slot, const std::string& pattern,
                   std::int32_t mask, Visit visit) {
  if (ctx.link.LinkFindFirst(side, slot, pattern, mask) != 0) return;
  for (;;) {
    // Copied: a recursion may search meanwhile (on its own slot), and the
    // record must not be read through a reference that outlives this entry.
    const FindRecord record = ctx.link.SlotRecord(slot);
    if (IsEntryName(record.name)) visit(record);
    if (ctx.link.LinkFindNext(side, slot) != 0) break;
    if (ctx.ui.MessageCancelled()) break;
  }
  ctx.link.LinkFindClose(side, slot);
}

}  // namespace

std::int32_t AllocFBlock(SearchSlots& slots, TransferUi& ui) {
  const std::int32_t slot = slots.Alloc();
  if (slot == 0) ui.ErrorBox("Error allocating FBlock");
  return slot;
}

void GatherDir(TransferContext& ctx, Side side, const std::string& filespec,
               const std::string& path) {
  const std::string dir = TransferQueue::IsDirPath(path) ? path : path + "\\";
  ctx.queue.AddDir(dir);
  ctx.ui.ProcessMessages();

  const std::int32_t slot = AllocFBlock(ctx.search_slots, ctx.ui);
  // Twenty levels are open already: this directory stays queued, its contents
  // are left out, and the walk goes on with its siblings.
  if (slot == 0) return;

  // The files the list would show here. One pattern is the side's own
  // search; several are matched here against every file, as the list does.
  // A pattern that is more than one name (..\*, C:*) would queue another
  // directory's files under this one's path: it matches nothing here.
  const NamePatterns patterns(filespec);
  const auto add_file = [&](const FindRecord& record) {
    ctx.queue.AddFile(dir + record.name, static_cast<std::int64_t>(record.size));
    ctx.ui.ProcessMessages();
  };
  if (!ctx.ui.MessageCancelled()) {
    if (!patterns.single()) {
      SearchEntries(ctx, side, slot, dir + "*.*", kMaskFilesOnly, [&](const FindRecord& record) {
        if (patterns.Matches(record.name)) add_file(record);
      });
    } else if (IsPlainFindName(filespec)) {
      SearchEntries(ctx, side, slot, dir + filespec, kMaskFilesOnly, add_file);
    }
  }
  if (!ctx.ui.MessageCancelled()) {
    SearchEntries(ctx, side, slot, dir + "*.*", kMaskFilesAndDirs, [&](const FindRecord& record) {
      if ((record.attributes & kAttrDirectory) == 0) return;
      // A link to a directory is one entry, queued as a file: a
      // delete removes the link itself, a copy passes over it, and
      // no walk goes through it (it may lead out of the tree, or
      // back into it without end).
      if (IsLinkAttributes(static_cast<std::int32_t>(record.attributes))) {
        ctx.queue.AddFile(dir + record.name, 0);
      } else {
        GatherDir(ctx, side, filespec, dir + record.name);
      }
    });
  }
  ctx.search_slots.Free(slot);
}

bool GatherSelection(TransferContext& ctx, Side side) {
  const PaneSelection selection = ctx.ui.TakeSelection(side);
  ctx.queue.Clear();

  ctx.ui.ShowMessageForm("Message", "Gathering file information...");
  ctx.ui.EnableMainWindow(false);

  // Whatever else a row holds, only a name of one entry is queued: "..", "\"
  // or "C:X" would reach outside the directory.
  for (const PaneEntry& file : selection.files) {
    if (IsEntryName(file.name)) ctx.queue.AddFile(file.name, file.size);
  }
  for (const PaneEntry& dir : selection.directories) {
    if (ctx.ui.MessageCancelled()) break;
    if (!IsEntryName(dir.name)) continue;
    // The row shows what a link leads to; asked again, the side tells a link.
    if (IsLinkAttributes(ctx.link.LinkFileGetAttr(side, dir.name))) {
      ctx.queue.AddFile(dir.name, 0);
    } else {
      GatherDir(ctx, side, selection.file_spec, dir.name);
    }
  }

  ctx.ui.CloseMessageForm();
  ctx.ui.EnableMainWindow(true);

  if (ctx.ui.MessageCancelled()) return false;
  if (ctx.queue.empty()) {
    ctx.ui.ErrorBox(std::string("No files selected on ") + SideName(side));
    return false;
  }
  return true;
}

}  // namespace duplane
