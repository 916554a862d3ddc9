// The typical mix of files a copy between an old PC and a new one carries,
// for the fast path's figures: text (the licence texts every Debian system
// keeps), an executable (the system's shell, stripped as distributed) and
// already-compressed images (pseudo-random bytes, which deflate exactly as
// little as JPEG data does: not at all). Each is cut or repeated to `size`.
#pragma once

#include <cstddef>
#include <string>

namespace duplane {

struct SampleKind {
  const char* name;   // as the figures print it
  const char* file;   // the file written for the copy
  std::string bytes;  // empty when the system lacks the source
};

SampleKind SampleText(std::size_t size);
SampleKind SampleExecutable(std::size_t size);
SampleKind SampleImages(std::size_t size);

}  // namespace duplane
