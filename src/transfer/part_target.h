// Where a safe copy writes a file: a part file beside the target, named as the
// target plus kPartFileSuffix, which takes the target's place only once the
// copy is verified. An existing target therefore survives any copy that fails;
// a part file left by an interrupted copy is resumed when both ends can check
// its bytes against the source without sending them (the range CRC), and
// otherwise written again from the start.
#pragma once

#include <cstdint>
#include <string>

#include "link/link.h"

namespace duplane {

class PartTarget {
 public:
  PartTarget(Link& link, Side source_side, Side target_side)
      : link_(link), s_(source_side), t_(target_side) {}

  // Opens what the copy of `entry` writes to; `source` is the open source of
  // `size` bytes, positioned at its start, and `target_exists` whether the
  // overwrite decision found a target. Returns the handle, or a negative
  // number when nothing can be created (reported as for the target itself).
  // *resume_from is how many verified bytes are there already; the source and
  // the handle are then positioned after them, and both running CRCs cover
  // only what follows.
  std::int32_t Open(const std::string& entry, std::int32_t source, std::int64_t size,
                    bool target_exists, std::int64_t* resume_from);
  // Where the bytes go: the part file, or the target itself when no part file
  // can be used for this file.
  const std::string& written_path() const { return written_; }
  bool via_part() const { return via_part_; }
  // After the verified file is closed: gives it the target's name, replacing
  // an old target. False when it cannot; the old target is then as it was.
  bool PutInPlace(const std::string& entry);

 private:
  std::int32_t Direct(const std::string& entry);
  // Reopens a part file whose bytes are a prefix of the source; -1 when it is
  // not one or it cannot be checked.
  std::int32_t Resume(const std::string& entry, std::int32_t source, std::int64_t size,
                      std::int64_t* resume_from);
  bool TargetReplaceable(const std::string& entry);

  Link& link_;
  const Side s_;
  const Side t_;
  std::string written_;
  bool via_part_ = false;
};

}  // namespace duplane
