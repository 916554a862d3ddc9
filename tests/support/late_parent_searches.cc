// The reordering Remote Module of the special-row tests.
#include "support/late_parent_searches.h"

#include <optional>
#include <string>

#include "link/link.h"
#include "link/link_layer.h"
#include "link/wire_format.h"
#include "localfs/local_file_system.h"

namespace duplane {

LateParentSearches::LateParentSearches(LinkLayer& link, LocalFileSystem& files)
    : link_(link), files_(files), dispatcher_(link, files) {}

bool LateParentSearches::Handle(std::uint8_t code) {
  if (code != kOpFindFirst && code != kOpFindNext) return dispatcher_.Handle(code);
  const std::int32_t slot = GetI32(link_);
  if (slot < 1 || slot > kSearchSlots) return false;
  if (code == kOpFindFirst) {
    const std::int32_t length = GetI32(link_);
    if (length < 0 || length > kMaxWireText) return false;
    std::string pattern(static_cast<std::size_t>(length), '\0');
    link_.GetBlock(length, &pattern[0]);
    const std::int32_t mask = GetI32(link_);
    link_.FinishReceive();
    Search(slot, pattern, mask);
  } else {
    link_.FinishReceive();
  }
  return Reply(slot);
}

void LateParentSearches::Search(std::int32_t slot, const std::string& pattern, std::int32_t mask) {
  std::deque<Answer>& answers = pending_[slot - 1];
  answers.clear();
  Answer answer;
  answer.result = files_.FindFirst(slot, pattern, mask, &answer.record);
  while (answer.result == 0) {
    answers.push_back(answer);
    answer.result = files_.FindNext(slot, &answer.record);
  }
  const Answer end = answer;  // the search's own closing answer
  std::optional<Answer> parent;
  int directories = 0;
  std::deque<Answer> reordered;
  for (const Answer& a : answers) {
    if (a.record.name == "..") {
      parent = a;
      continue;
    }
    reordered.push_back(a);
    const bool directory = (a.record.attributes & kAttrDirectory) != 0 && a.record.name != ".";
    if (directory && ++directories == 2 && parent) {
      reordered.push_back(*parent);
      parent.reset();
    }
  }
  if (parent) reordered.push_back(*parent);
  reordered.push_back(end);
  answers = std::move(reordered);
}

bool LateParentSearches::Reply(std::int32_t slot) {
  std::deque<Answer>& answers = pending_[slot - 1];
  Answer answer;
  answer.result = kErrorNoMoreFiles;
  if (!answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  }
  const FindRecordBytes bytes = EncodeFindRecord(answer.record);
  link_.SendBlock(kFindRecordSize, bytes.data());
  SendI32(link_, answer.result);
  link_.WaitForAck();
  return link_.connected();
}

}  // namespace duplane
