// Splitting and matching of filespecs.
#include "transfer/name_patterns.h"

#include "localfs/find_record.h"
#include "localfs/name_pattern.h"

namespace duplane {
namespace {

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool TakesEveryName(const std::string& pattern) { return pattern == "*.*" || pattern == "*"; }

}  // namespace

NamePatterns::NamePatterns(const std::string& text) : text_(text) {
  if (text.find(';') == std::string::npos) {
    // Exactly as typed: only "*.*" itself spares the second search.
    all_ = text == "*.*";
    if (IsPlainFindName(text)) patterns_.push_back(text);
    return;
  }
  several_ = true;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    const std::string pattern = Trimmed(text.substr(start, end - start));
    if (!pattern.empty()) {
      all_ = all_ || TakesEveryName(pattern);
      if (IsPlainFindName(pattern)) patterns_.push_back(pattern);
    }
    start = end + 1;
  }
}

bool NamePatterns::Matches(const std::string& name) const {
  if (all_) return true;
  for (const std::string& pattern : patterns_) {
    if (MatchesPattern(pattern, name)) return true;
  }
  return false;
}

}  // namespace duplane
