// Wildcard matching for directory searches.
#include "localfs/name_pattern.h"

#include <cctype>
#include <cstddef>

namespace duplane {
namespace {

bool SameLetter(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

// Iterative matcher with one backtrack point: never recursive, so a pattern of
// many stars cannot exhaust the stack.
bool MatchesCompact(const std::string& pattern, const std::string& name) {
  std::size_t p = 0, n = 0, star = std::string::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || SameLetter(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool MatchesPattern(const std::string& pattern, const std::string& name) {
  if (pattern == "*.*" || pattern == "*") return true;
  // A pattern from the cable may be 32 KiB long. More letters than the name has
  // cannot match, and a run of stars is one star: this keeps the work per name
  // small whatever arrives.
  std::string compact;
  std::size_t letters = 0;
  for (char c : pattern) {
    if (c == '*' && !compact.empty() && compact.back() == '*') continue;
    if (c != '*') ++letters;
    compact += c;
  }
  if (letters > name.size()) return false;
  return MatchesCompact(compact, name);
}

void SplitSearchPattern(const std::string& text, std::string* directory, std::string* pattern) {
  std::size_t cut = std::string::npos;
  for (std::size_t i = text.size(); i > 0; --i) {
    if (IsSeparator(text[i - 1])) {
      cut = i;
      break;
    }
  }
  if (cut == std::string::npos && text.size() >= 2 && text[1] == ':') cut = 2;
  if (cut == std::string::npos) cut = 0;
  *directory = text.substr(0, cut);
  *pattern = text.substr(cut);
}

}  // namespace duplane
