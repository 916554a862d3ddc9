// Row texts. FILETIMEs are converted to local time with the system's own time
// zone rules (localtime_r), as the user's other programs show them.
#include "ui/list_texts.h"

#include <cstdio>
#include <ctime>
#include <limits>

#include "ui/main_form_texts.h"

namespace duplane {
namespace {

constexpr FileTime kUnixEpochAsFileTime = 116444736000000000ull;
constexpr FileTime kTicksPerSecond = 10000000ull;

struct LocalFields {
  int year, month, day, hour, minute, second, hundredths;
};

// False for a zero FILETIME and for one the system cannot convert; both
// show the all-zero texts.
bool ToLocal(FileTime time, LocalFields* f) {
  if (time == 0) return false;
  // A FILETIME is signed on the system it comes from; 2^63 and above is no
  // time at all (and would overflow the arithmetic below).
  if (time > static_cast<FileTime>(std::numeric_limits<long long>::max())) return false;
  // Signed arithmetic so that times before 1970 convert too.
  const long long ticks =
      static_cast<long long>(time) - static_cast<long long>(kUnixEpochAsFileTime);
  long long seconds = ticks / static_cast<long long>(kTicksPerSecond);
  long long rest = ticks % static_cast<long long>(kTicksPerSecond);
  if (rest < 0) {
    rest += kTicksPerSecond;
    --seconds;
  }
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  if (localtime_r(&t, &tm) == nullptr) return false;
  *f = {tm.tm_year + 1900,
        tm.tm_mon + 1,
        tm.tm_mday,
        tm.tm_hour,
        tm.tm_min,
        tm.tm_sec,
        static_cast<int>(rest / 100000)};
  return true;
}

std::string DateText(const LocalFields& f) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", f.year, f.month, f.day);
  return text;
}

std::string DateTimeText(const LocalFields& f) {
  char text[48];
  std::snprintf(text, sizeof text, "%s  %02d:%02d:%02d", DateText(f).c_str(), f.hour, f.minute,
                f.second);
  return text;
}

}  // namespace

std::string AttrText(std::uint32_t a) {
  std::string text = ".....";
  if (a & kAttrArchive) text[0] = 'a';
  if (a & kAttrDirectory) text[1] = 'd';
  if (a & kAttrSystem) text[2] = 's';
  if (a & kAttrHidden) text[3] = 'h';
  if (a & kAttrReadOnly) text[4] = 'r';
  return text;
}

std::string ModifiedText(FileTime time) {
  LocalFields f;
  return ToLocal(time, &f) ? DateTimeText(f) : "0000-00-00  00:00:00";
}

std::string AccessedText(FileTime time) {
  LocalFields f;
  return ToLocal(time, &f) ? DateText(f) : "0000-00-00";
}

std::string CellText(const PaneRow& row, int column) {
  switch (column) {
    case kColName:
      return row.name;
    case kColSize:
      switch (row.kind) {
        case RowKind::kParent:
          return form1_text::kParentRow;
        case RowKind::kRoot:
          return form1_text::kRootRow;
        case RowKind::kDirectory:
          return form1_text::kDirRow;
        case RowKind::kFile:
          return std::to_string(row.size);
      }
      return std::string();
    case kColAttr:
      return AttrText(row.attributes);
    case kColModified:
      return row.IsSpecial() ? std::string() : ModifiedText(row.modified);
    case kColAccessed:
      return row.IsSpecial() ? std::string() : AccessedText(row.accessed);
    case kColCreated:
      return row.IsSpecial() ? std::string() : CreatedText(row.created);
    default:
      return std::string();
  }
}

std::string CreatedText(FileTime time) {
  LocalFields f;
  if (!ToLocal(time, &f)) return "0000-00-00  00:00:00.00";
  char hundredths[8];
  std::snprintf(hundredths, sizeof hundredths, ".%02d", f.hundredths);
  return DateTimeText(f) + hundredths;
}

}  // namespace duplane
