// A pane's filespec as the user types it: one pattern ("*.txt") or several
// separated by ';' ("*.txt;*.log"). Patterns use the directory searches' own
// wildcard rules on both sides ('*', '?', letters without regard to case), so
// a name the Remote Module would report for a pattern is the name this
// matcher accepts.
#pragma once

#include <string>
#include <vector>

namespace duplane {

class NamePatterns {
 public:
  explicit NamePatterns(const std::string& text);

  // Every file: exactly "*.*", or a list that holds "*.*" or "*".
  bool all() const { return all_; }
  // One pattern, typed without ';': the search itself filters with it, as it
  // always has, so the side sees the same request as before.
  bool single() const { return !all_ && !several_; }
  // The text of the one pattern (only meaningful when single()).
  const std::string& text() const { return text_; }
  // True when `name` is matched by a pattern. A pattern that is more than
  // one plain name (..\*, C:*) matches nothing: it would describe another
  // directory's files.
  bool Matches(const std::string& name) const;

 private:
  std::string text_;
  // Only the plain ones: the others match nothing, so they are left out once
  // here rather than looked at again for every name.
  std::vector<std::string> patterns_;
  bool all_ = false;
  bool several_ = false;
};

}  // namespace duplane
