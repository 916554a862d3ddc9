#include "transfer/directory_listing.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "transfer/name_patterns.h"

namespace duplane {
namespace {

constexpr char kAllFiles[] = "*.*";

// The "<parent>" and "<root>" rows go on top whenever ".." arrives: a Remote
// Module whose file system lists it after other directories must not put them
// inside the directory range, where Select all would pick them up for a copy.
// A second ".." from a confused module adds nothing.
void PutSpecialRowsFirst(TPane& pane, std::uint32_t parent_attributes) {
  if (pane.SpecialCount != 0) return;
  PaneRow parent;
  parent.name = "..";
  parent.kind = RowKind::kParent;
  parent.attributes = parent_attributes;
  PaneRow root;
  root.name = "\\";
  root.kind = RowKind::kRoot;
  root.attributes = kAttrDirectory;
  pane.Rows.insert(pane.Rows.begin(), {std::move(parent), std::move(root)});
  pane.SpecialCount = 2;
}

class Reader {
 public:
  Reader(Link& link, Side side, std::int32_t slot, const ListingOptions& options,
         const NamePatterns& patterns, TPane& pane)
      : link_(link),
        side_(side),
        slot_(slot),
        options_(options),
        patterns_(patterns),
        pane_(pane) {}

  // Runs one search; false when the read is to stop.
  template <typename Take>
  bool Search(const std::string& pattern, std::uint32_t mask, Take take) {
    if (link_.LinkFindFirst(side_, slot_, pattern, mask) != 0) return true;
    bool go_on = true;
    do {
      take(link_.SlotRecord(slot_));
      go_on = GoOn();
    } while (go_on && link_.LinkFindNext(side_, slot_) == 0);
    link_.LinkFindClose(side_, slot_);
    return go_on;
  }

  void TakeAny(const FindRecord& r) {
    // "." and ".." name no entry of their own, whatever attributes they come
    // with; only a directory ".." stands for the parent.
    if (r.name == "." || r.name == "..") {
      if (r.name == ".." && (r.attributes & kAttrDirectory)) {
        PutSpecialRowsFirst(pane_, r.attributes);
      }
    } else if (r.attributes & kAttrDirectory) {
      pane_.Rows.push_back(DirectoryRow(r));
      ++pane_.DirCount;
    } else if (IsEntryName(r.name)) {
      ++files_seen_;
      // Several patterns: every file comes with this search and the matching
      // ones are kept here. One pattern leaves the filtering to the side's
      // own search, the second one, so its traffic stays as it always was.
      if (patterns_.all() || (!patterns_.single() && patterns_.Matches(r.name))) TakeFile(r);
    }
  }

  void TakeFile(const FindRecord& r) {
    if (!IsEntryName(r.name)) return;  // no file can bear "." or ".."
    files_.push_back(FileRow(r));
    ++pane_.FileCount;
  }

  // The files go after the directories, whatever order they came in.
  void Finish() {
    pane_.Rows.insert(pane_.Rows.end(), std::make_move_iterator(files_.begin()),
                      std::make_move_iterator(files_.end()));
    std::vector<PaneRow>().swap(files_);
  }

  ListingEnd end() const { return end_; }
  // The files this directory has that the list does not show.
  std::int32_t Hidden() const { return std::max(0, files_seen_ - pane_.FileCount); }

 private:
  bool GoOn() {
    const auto rows = static_cast<std::int32_t>(pane_.Rows.size() + files_.size());
    if (rows >= options_.row_limit) {
      end_ = ListingEnd::kLimitReached;
      return false;
    }
    if (options_.progress && !options_.progress(rows)) {
      end_ = ListingEnd::kStopped;
      return false;
    }
    return true;
  }

  Link& link_;
  const Side side_;
  const std::int32_t slot_;
  const ListingOptions& options_;
  const NamePatterns& patterns_;
  TPane& pane_;
  std::vector<PaneRow> files_;
  std::int32_t files_seen_ = 0;  // by the search of every entry
  ListingEnd end_ = ListingEnd::kComplete;
};

}  // namespace

ListingEnd ReadListing(Link& link, SearchSlots& slots, Side side, const std::string& path,
                       const ListingOptions& options, TPane* pane) {
  pane->Rows.clear();
  pane->SpecialCount = 0;
  pane->DirCount = 0;
  pane->FileCount = 0;
  pane->HiddenFiles = 0;
  const std::int32_t slot = slots.Alloc();
  if (slot == 0) return ListingEnd::kNoSlot;
  const std::string dir = path.empty() || path.back() == '\\' ? path : path + "\\";
  const NamePatterns patterns(options.file_spec);
  Reader reader(link, side, slot, options, patterns, *pane);
  bool go_on = reader.Search(dir + kAllFiles, kMaskFilesAndDirs,
                             [&reader](const FindRecord& r) { reader.TakeAny(r); });
  if (go_on && patterns.single() && IsPlainFindName(patterns.text())) {
    go_on = reader.Search(dir + patterns.text(), kMaskFilesOnly,
                          [&reader](const FindRecord& r) { reader.TakeFile(r); });
  }
  slots.Free(slot);
  reader.Finish();
  // A read that stopped early knows too little to say what the filespec hid.
  if (go_on) pane->HiddenFiles = reader.Hidden();
  return reader.end();
}

}  // namespace duplane
