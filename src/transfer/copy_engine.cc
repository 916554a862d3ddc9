// The copy and move engine. One walk over the queue: directories are created
// (or reused) on the target, files go through show, decide and copy. A file is
// copied in 8192-byte blocks through one buffer and counts only when both
// sides' running CRCs agree, the target reached the disk and the source did not
// change meanwhile; only such a target gets the source's times and attributes,
// only then may a move delete its source, and any other target is deleted.
// With safe copy the bytes go to a part file first (part_target.h), which
// takes the target's place only after all of that: an old target survives
// every copy that fails, and an interrupted copy leaves its part file to be
// resumed.
#include "transfer/copy_engine.h"

#include <array>
#include <vector>

#include "link/link_layer.h"
#include "localfs/find_record.h"
#include "transfer/gather.h"
#include "transfer/link_on_path.h"
#include "transfer/overwrite.h"
#include "transfer/part_target.h"
#include "transfer/transfer_rate.h"

namespace duplane {

namespace {

// A source is read while others may do anything with it, as a copy of a file
// in use must be possible.
constexpr std::int32_t kOpenReadShared = kOpenRead | kShareDenyNone;

std::string FileNamePart(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirPart(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string WithBackslash(std::string dir) {
  if (dir.empty() || dir.back() != '\\') dir += '\\';
  return dir;
}

// One run of CopyFiles from the confirmation on: the run state of the walk.
class CopyRun {
 public:
  CopyRun(TransferContext& ctx, Side source_side, bool is_move, const CopyMoveOptions& options,
          const std::string& source_dir, const std::string& target_dir)
      : link_(ctx.link),
        ui_(ctx.ui),
        queue_(ctx.queue),
        s_(source_side),
        t_(Other(source_side)),
        is_move_(is_move),
        options_(options),
        mode_(options.overwrite),
        source_dir_(source_dir),
        target_dir_(target_dir),
        source_name_(SideName(s_)),
        target_name_(SideName(t_)),
        part_(ctx.link, s_, t_) {}

  void Run();

 private:
  enum class Step { kNext, kStop };
  // One file on its way: the handles, what was read of the source at the
  // start, and how the copy went.
  struct FileCopy {
    std::string entry;
    std::int32_t source = -1;
    std::int32_t target = -1;
    std::int64_t size = 0;
    std::int64_t resumed = 0;  // bytes a part file held already, verified
    FileTime creation = 0;
    FileTime last_access = 0;
    FileTime last_write = 0;
    bool times_read = false;
    bool failed = false;
    bool finish_then_stop = false;
    bool abandon = false;
  };

  Step CopyDirEntry(const std::string& entry);
  Step FileEntry(std::size_t index);
  void ShowFile(const std::string& entry);
  // Sets kCopy or kSkip and returns true to go on; false is a stop.
  bool Decide(const std::string& entry, Decision* decision, bool* exists);
  Step CopyOneFile(const std::string& entry, std::int32_t attributes, bool target_exists);
  std::int32_t CreateTarget(FileCopy& file, bool target_exists);
  // After a failed or abandoned copy: what was written goes, but for a part
  // file that may be resumed.
  void AfterFailure(const FileCopy& file);
  std::string ReadError(const FileCopy& file) const;
  void CopyBlocks(FileCopy& file);
  // Whether both sides' running CRCs came back and are the same.
  bool CrcsAgree();
  // Whether the cable to the Remote Module still stands.
  bool RemoteUp();
  // Checks the CRCs, gives a whole target the source's times and closes it.
  void FinishTarget(FileCopy& file);
  // Whether the source's last-write time or size differ from the start's.
  bool SourceChanged(const FileCopy& file);
  // Deletes a target that failed or was abandoned, or says it is left broken.
  void RemoveTarget(const std::string& path);
  // "<dir> on <target> is a link: nothing is copied into it".
  std::string LinkNote(const std::string& dir) const;
  // `failure` + `path` + " on <target>", and the link on the way to `path` when
  // there is one: our own module's walk refuses a link met while it writes,
  // such as one that took a directory's place after the directory was looked at.
  std::string CreateError(const std::string& failure, const std::string& path);
  void UpdateProgress(std::int64_t remaining, std::int64_t size);
  void Finish();

  Link& link_;
  TransferUi& ui_;
  TransferQueue& queue_;
  const Side s_;
  const Side t_;
  const bool is_move_;
  const CopyMoveOptions options_;
  std::int32_t mode_;  // working copy: All in the prompt turns it to Always
  const std::string source_dir_;
  const std::string target_dir_;
  const std::string source_name_;
  const std::string target_name_;

  std::int32_t copied_ = 0;
  std::int32_t skipped_ = 0;          // all skipped files, the two kinds below included
  std::int32_t special_skipped_ = 0;  // links and special files, which no copy can carry
  std::int64_t all_total_ = 0;
  std::int64_t all_remaining_ = 0;
  std::int32_t all_percent_ = 0;
  std::vector<std::string> dir_list_;
  std::array<std::uint8_t, kFileBlockSize> buffer_{};
  TransferRate rate_;
  PartTarget part_;
};

void CopyRun::Run() {
  const std::string verb = is_move_ ? "Move" : "Copy";
  ui_.EnableMainWindow(false);
  ui_.ShowCopyStatus(verb + " from " + source_name_ + " to " + target_name_,
                     options_.overwrite_text);
  all_remaining_ = all_total_ = queue_.byte_count;
  queue_.dir_count = 0;  // from here on: directories created
  rate_.Start(ui_.NowMs());

  for (std::size_t i = 0; i < queue_.size(); ++i) {
    const Step step = queue_.is_dir(i) ? CopyDirEntry(queue_.path(i)) : FileEntry(i);
    if (step == Step::kStop) break;
  }
  Finish();
}

CopyRun::Step CopyRun::CopyDirEntry(const std::string& entry) {
  const std::string dir = entry.substr(0, entry.size() - 1);
  // An existing directory is reused, but never a link: it may lead anywhere on
  // that PC, out of the directory the user chose, and everything below it would
  // be written there. Each level is asked before anything enters it, so no
  // queued path reaches the target through a link, whatever the module's own
  // walk does with links; the same answer tells whether it is there.
  const std::int32_t attributes = link_.LinkFileGetAttr(t_, dir);
  if (IsLinkAttributes(attributes)) {
    ui_.ErrorBox(LinkNote(dir));
    return Step::kStop;
  }
  if (attributes == -1 || (attributes & kAttrDirectory) == 0) {
    if (!link_.LinkCreateDir(t_, dir)) {
      ui_.ErrorBox(CreateError("Error creating directory ", dir));
      return Step::kStop;
    }
    ++queue_.dir_count;
  }
  // Listed only once it exists on the target: a move that stops early must
  // not remove an empty source directory that never arrived.
  dir_list_.push_back(dir);
  return Step::kNext;
}

CopyRun::Step CopyRun::FileEntry(std::size_t index) {
  const std::string entry = queue_.path(index);
  ShowFile(entry);
  // A Cancel pressed while the last block of a file went through was never
  // asked about; the run stops before it touches the next file.
  if (ui_.StatusCancelled()) return Step::kStop;

  // Asked first, so that no entry that cannot be copied is ever opened: a
  // FIFO, a socket, a device, a link that leads nowhere (or out of the Remote
  // Module's folders), and a link to a directory, queued as an entry of its own.
  const std::int32_t attributes = link_.LinkFileGetAttr(s_, entry);
  const bool special = attributes != -1 && ((attributes & kAttrDevice) != 0 ||
                                            (attributes & (kAttrReparsePoint | kAttrDirectory)) ==
                                                (kAttrReparsePoint | kAttrDirectory));
  Decision decision = Decision::kSkip;
  bool target_exists = false;
  if (!special && !Decide(entry, &decision, &target_exists)) return Step::kStop;
  if (decision == Decision::kSkip) {
    ++skipped_;
    if (special) ++special_skipped_;
    const std::int64_t size = queue_.size_value(index);
    all_remaining_ -= size;
    all_total_ -= size;
    return Step::kNext;
  }
  return CopyOneFile(entry, attributes, target_exists);
}

void CopyRun::ShowFile(const std::string& entry) {
  const std::string seq =
      std::to_string(copied_ + skipped_ + 1) + " of " + std::to_string(queue_.file_count);
  ui_.SetStatusFile(FileNamePart(entry), seq, DirPart(source_dir_ + entry),
                    DirPart(target_dir_ + entry));
  ui_.SetStatusBars(0, all_percent_);
  ui_.ProcessMessages();
}

bool CopyRun::Decide(const std::string& entry, Decision* decision, bool* target_exists) {
  const bool exists = link_.LinkFileExists(t_, entry);
  *target_exists = exists;
  std::int32_t source_date = 0;
  std::int32_t target_date = 0;
  if (exists && ModeNeedsDates(mode_)) {
    source_date = link_.LinkFileAge(s_, entry);
    if (source_date == -1) {
      ui_.ErrorBox("Unable to get file date for " + entry + " on " + source_name_);
      return false;
    }
    target_date = link_.LinkFileAge(t_, entry);
    if (target_date == -1) {
      ui_.ErrorBox("Unable to get file date for " + entry + " on " + target_name_);
      return false;
    }
  }
  *decision = DecideOverwrite(mode_, exists, source_date, target_date);
  if (*decision != Decision::kAsk) return true;

  const std::string question = entry + " already exists on " + target_name_ +
                               "\r\rSource date: " + FormatDosDateTime(source_date) +
                               "\rTarget date: " + FormatDosDateTime(target_date) +
                               "\r\rOverwrite it?";
  switch (ui_.AskYesNoCancelAll(question)) {
    case PromptAnswer::kYes:
      *decision = Decision::kCopy;
      return true;
    case PromptAnswer::kNo:
      *decision = Decision::kSkip;
      return true;
    case PromptAnswer::kAll:
      mode_ = kOverwriteAlways;
      ui_.SetOverwriteLabel("Always");
      *decision = Decision::kCopy;
      return true;
    case PromptAnswer::kCancel:
      break;
  }
  return false;
}

void CopyRun::UpdateProgress(std::int64_t remaining, std::int64_t size) {
  all_percent_ = ProgressPercent(all_remaining_, all_total_);
  ui_.SetStatusBars(ProgressPercent(remaining, size), all_percent_);
  ui_.SetStatusRate(rate_.BytesPerSecond(), rate_.SecondsLeft(all_remaining_));
}

CopyRun::Step CopyRun::CopyOneFile(const std::string& entry, std::int32_t attributes,
                                   bool target_exists) {
  FileCopy file;
  file.entry = entry;
  file.source = link_.LinkFileOpen(s_, entry, kOpenReadShared);
  if (file.source < 0) {
    ui_.ErrorBox("Error opening " + entry + " on " + source_name_);
    return Step::kStop;
  }
  file.times_read =
      link_.LinkGetFileTime(s_, file.source, &file.creation, &file.last_access, &file.last_write);
  // The size is taken before the target is created: should the target be the
  // source itself (both PCs reaching one share that ignores locks), creating it
  // empties the source, and the reads then come up short instead of copying
  // nothing and passing the CRC check, after which a move would delete it.
  file.size = link_.LinkFileSeek(s_, file.source, 0, kSeekEnd);
  link_.LinkFileSeek(s_, file.source, 0, kSeekBegin);
  file.target = CreateTarget(file, target_exists);
  if (file.target < 0) {
    ui_.ErrorBox(CreateError("Error creating ", entry));
    link_.LinkFileClose(s_, file.source);
    return Step::kStop;
  }
  // A size that cannot be read would copy nothing, pass the CRC check with
  // both registers at their reset value, and let a move delete the source.
  if (file.size < 0) {
    ui_.InfoBox(ReadError(file));
    file.failed = true;
  }
  CopyBlocks(file);
  FinishTarget(file);
  // Looked at last, with the source still open: a source that grew or was
  // rewritten while it was read leaves a short or torn copy that both CRCs
  // agree on, and a move must not delete what the copy lacks.
  if (!file.failed && !file.abandon && SourceChanged(file)) {
    ui_.ErrorBox(entry + " on " + source_name_ + " changed while it was copied");
    file.failed = true;
  }
  link_.LinkFileClose(s_, file.source);
  if (file.failed || file.abandon) {
    AfterFailure(file);
    return Step::kStop;
  }
  if (!part_.PutInPlace(entry)) {
    // Verified and whole on the disk: kept, so nothing of it is lost.
    ui_.ErrorBox(CreateError("Error creating ", entry) + "\rIts verified copy is " +
                 part_.written_path());
    return Step::kStop;
  }
  // After the close, so a read-only source does not hinder the writes.
  // The copy of what a link leads to is a plain file: the link's mark stays behind.
  if (attributes != -1) link_.LinkFileSetAttr(t_, entry, attributes & ~kAttrReparsePoint);
  ++copied_;
  if (is_move_ && !link_.LinkDeleteFile(s_, entry, options_.delete_mode)) {
    ui_.ErrorBox("Error deleting " + entry + " on " + source_name_);
    return Step::kStop;
  }
  return file.finish_then_stop ? Step::kStop : Step::kNext;
}

std::string CopyRun::ReadError(const FileCopy& file) const {
  return "Error reading " + file.entry + " on " + source_name_;
}

std::int32_t CopyRun::CreateTarget(FileCopy& file, bool target_exists) {
  if (!options_.safe_copy) return link_.LinkFileCreate(t_, file.entry);
  const std::int32_t handle =
      part_.Open(file.entry, file.source, file.size, target_exists, &file.resumed);
  all_remaining_ -= file.resumed;
  return handle;
}

void CopyRun::AfterFailure(const FileCopy& file) {
  // Part files are never taken for copies. One left by the user's stop or a
  // lost cable holds what crossed so far, checked again when it is resumed;
  // any other failure may have written wrong bytes.
  const bool interrupted = file.abandon || !RemoteUp();
  if (options_.safe_copy && part_.via_part() && interrupted) return;
  RemoveTarget(options_.safe_copy ? part_.written_path() : file.entry);
}

void CopyRun::CopyBlocks(FileCopy& file) {
  std::int64_t remaining = file.size - file.resumed;
  while (!file.failed && remaining > 0) {
    const auto count =
        static_cast<std::int32_t>(remaining > kFileBlockSize ? kFileBlockSize : remaining);
    if (link_.LinkFileRead(s_, file.source, buffer_.data(), count) != count) {
      ui_.InfoBox(ReadError(file));
      file.failed = true;
      break;
    }
    if (link_.LinkFileWrite(t_, file.target, buffer_.data(), count) != count) {
      ui_.InfoBox("Error writing " + file.entry + " on " + target_name_);
      file.failed = true;
      break;
    }
    remaining -= count;
    all_remaining_ -= count;
    rate_.Add(ui_.NowMs(), count);
    UpdateProgress(remaining, file.size);
    ui_.ProcessMessages();
    if (ui_.StatusCancelled() && remaining > 0) {
      file.finish_then_stop = true;
      if (ui_.AskYesNo(file.entry + " in progress.\rFinish it before stopping?")) {
        ui_.ClearStatusCancel();
      } else {
        file.abandon = true;
        break;
      }
    }
  }
}

bool CopyRun::CrcsAgree() {
  const std::uint32_t source_crc = link_.LinkGetCRC(s_);
  const std::uint32_t target_crc = link_.LinkGetCRC(t_);
  // A remote LinkGetCRC on a link that is down (or goes down while it asks)
  // answers 0, which may well be the CRC of the file on the other side: only
  // two real answers verify a copy. The link never comes back by itself within
  // a run, so it standing after both calls means both answers arrived.
  return RemoteUp() && source_crc == target_crc;
}

bool CopyRun::RemoteUp() {
  const LinkLayer* remote = link_.remote();
  return remote != nullptr && remote->connected();
}

void CopyRun::FinishTarget(FileCopy& file) {
  if (!file.abandon && !CrcsAgree()) {
    ui_.ErrorBox("CRC mismatch copying " + file.entry);
    file.failed = true;
  }
  // The source's times are what Freshen and Update go by: only a target known
  // to be whole gets them, so a later run never takes a broken one for a copy.
  if (!file.failed && !file.abandon && file.times_read) {
    link_.LinkSetFileTime(t_, file.target, file.creation, file.last_access, file.last_write);
  }
  // The close flushes the target to the disk; a flush that fails is a write
  // that failed.
  if (!link_.LinkFileClose(t_, file.target) && !file.failed && !file.abandon) {
    ui_.InfoBox("Error writing " + file.entry + " on " + target_name_);
    file.failed = true;
  }
}

bool CopyRun::SourceChanged(const FileCopy& file) {
  FileTime creation = 0, last_access = 0, last_write = 0;
  if (file.times_read &&
      (!link_.LinkGetFileTime(s_, file.source, &creation, &last_access, &last_write) ||
       last_write != file.last_write)) {
    return true;
  }
  return link_.LinkFileSeek(s_, file.source, 0, kSeekEnd) != file.size;
}

void CopyRun::RemoveTarget(const std::string& path) {
  // A plain delete whatever the move's delete mode: a broken file in the
  // Recycle Bin could be restored under its real name and pass for a copy.
  if (link_.LinkDeleteFile(t_, path, kDeleteNormal)) return;
  ui_.ErrorBox(path + " on " + target_name_ +
               " is incomplete and could not be deleted: do not use it");
}

std::string CopyRun::LinkNote(const std::string& dir) const {
  return dir + " on " + target_name_ + " is a link: nothing is " + (is_move_ ? "moved" : "copied") +
         " into it";
}

std::string CopyRun::CreateError(const std::string& failure, const std::string& path) {
  std::string text = failure + path + " on " + target_name_;
  const std::string link = LinkOnTheWay(link_, t_, path);
  if (!link.empty()) text += "\r" + LinkNote(link);
  return text;
}

void CopyRun::Finish() {
  if (is_move_ && options_.remove_empty) {
    // Last to first, so each directory comes after those below it; the ones
    // still holding a skipped or unmoved file refuse, and that is fine.
    for (auto it = dir_list_.rbegin(); it != dir_list_.rend(); ++it) link_.LinkRemoveDir(s_, *it);
    ui_.MarkTreeStale(s_);
  }
  ui_.Pause(500);
  ui_.EnableMainWindow(true);
  ui_.CloseCopyStatus();
  if (is_move_) ui_.Refill(s_);
  ui_.Refill(t_);

  std::string summary =
      std::string("Files ") + (is_move_ ? "moved" : "copied") + ": " + std::to_string(copied_);
  if (skipped_ > 0) summary += "\rFiles skipped: " + std::to_string(skipped_);
  if (special_skipped_ > 0) {
    summary += " (" + std::to_string(special_skipped_) + " links or special files)";
  }
  if (queue_.dir_count > 0) summary += "\rDirs created: " + std::to_string(queue_.dir_count);
  ui_.InfoBox(summary);
}

}  // namespace

void CopyFiles(TransferContext& ctx, Side source_side, bool is_move) {
  const Side target_side = Other(source_side);
  const std::string source_name = SideName(source_side);
  const std::string target_name = SideName(target_side);
  // Either direction crosses the cable.
  if (!ctx.ui.Connected()) {
    ctx.ui.ShowNotConnected();
    return;
  }
  std::string source_dir = ctx.ui.PanePath(source_side);
  std::string target_dir = ctx.ui.PanePath(target_side);
  if (target_dir.empty()) {
    ctx.ui.ErrorBox("No target directory selected on " + target_name);
    return;
  }
  source_dir = WithBackslash(source_dir);
  target_dir = WithBackslash(target_dir);

  if (!GatherSelection(ctx, source_side)) return;

  CopyMoveSetup setup;
  setup.caption = std::string(is_move ? "Move" : "Copy") + " these files from " + source_name +
                  " to " + target_name + "?";
  setup.source_dir = source_dir;
  setup.target_dir = target_dir;
  setup.move_options_enabled = is_move;
  CopyMoveOptions options;
  if (!ctx.ui.ShowCopyMoveForm(setup, ctx.queue, &options)) return;

  CopyRun(ctx, source_side, is_move, options, source_dir, target_dir).Run();
}

}  // namespace duplane
