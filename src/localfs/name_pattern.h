// Matching of directory-search patterns as Windows users know them: "*.*" and
// "*" take every name, otherwise '*' and '?' are wildcards and letters match
// without regard to case.
#pragma once

#include <string>

namespace duplane {

bool MatchesPattern(const std::string& pattern, const std::string& name);

// "C:\DIR\*.TXT" -> directory "C:\DIR\" and pattern "*.TXT"; "C:*.*" keeps the
// drive's current directory ("C:").
void SplitSearchPattern(const std::string& text, std::string* directory, std::string* pattern);

}  // namespace duplane
