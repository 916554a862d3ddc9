// Directory searches on Windows: the twenty slots of LinkFindFirst/Next/Close
// and the subdirectory listings of the trees, on the system's own search with
// its own wildcard rules (short names, "*.*", trailing dots). Entries keep
// the attributes and times Windows reports; only the mask filter of the
// protocol is applied on top.
#include <windows.h>

#include "localfs/local_file_system.h"
#include "localfs/local_native_win.h"
#include "localfs/name_pattern.h"
#include "text/windows_text.h"

namespace duplane {
namespace {

constexpr std::int32_t kSkippableBits = kAttrHidden | kAttrSystem | kAttrVolume | kAttrDirectory;

bool ValidSlot(std::int32_t slot) { return slot >= 1 && slot <= kSearchSlots; }

bool IsDotName(const wchar_t* name) {
  return (name[0] == L'.' && name[1] == L'\0') ||
         (name[0] == L'.' && name[1] == L'.' && name[2] == L'\0');
}

// A pattern is one name with wildcards: nothing that would reach another
// directory or a stream of a file.
bool IsPatternName(const std::wstring& pattern) {
  if (pattern.empty()) return false;
  for (wchar_t c : pattern) {
    if (c < 0x20 || c == L'\\' || c == L'/' || c == L':' || c == L'|' || c == L'"') return false;
  }
  return true;
}

bool Passes(const WIN32_FIND_DATAW& data, const SearchState& search) {
  if (search.at_drive_root && IsDotName(data.cFileName)) return false;
  if ((static_cast<std::int32_t>(data.dwFileAttributes) & kSkippableBits & ~search.mask) != 0) {
    return false;
  }
  return IsPlainFindName(RecordOfFindData(data).name);
}

// Moves on to the first entry from `data` on that passes; 0 or 18.
std::int32_t Advance(const SearchState& search, WIN32_FIND_DATAW* data, bool have_entry) {
  for (;;) {
    if (!have_entry && !FindNextFileW(search.find, data)) {
      const DWORD error = GetLastError();
      return error == ERROR_NO_MORE_FILES ? kErrorNoMoreFiles : static_cast<std::int32_t>(error);
    }
    have_entry = false;
    if (Passes(*data, search)) return 0;
  }
}

}  // namespace

// A file that is a reparse point (a symbolic link to a file) is one the
// confined module never opens: marked so, a copy passes over it and counts it
// instead of failing on it. A directory link keeps its reparse bit, which
// already keeps every walk out of it.
static FindRecord RecordOfEntry(const WIN32_FIND_DATAW& data, bool confine) {
  FindRecord record = RecordOfFindData(data);
  if (confine && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    record.attributes |= kAttrDevice;
  }
  return record;
}

FindRecord RecordOfFindData(const WIN32_FIND_DATAW& data) {
  FindRecord record;
  record.name = Utf8FromWide(data.cFileName, wcslen(data.cFileName));
  if (record.name.size() > kMaxFindName && data.cAlternateFileName[0] != L'\0') {
    record.name = Utf8FromWide(data.cAlternateFileName, wcslen(data.cAlternateFileName));
  }
  record.name = record.name.substr(0, kMaxFindName);
  record.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  record.attributes = data.dwFileAttributes;
  record.creation_time = FromFileTime(data.ftCreationTime);
  record.last_access_time = FromFileTime(data.ftLastAccessTime);
  record.last_write_time = FromFileTime(data.ftLastWriteTime);
  return record;
}

// Opens a search of `text` ("C:\DIR\*.TXT") into `search`; 0 with the first
// entry that passes in `data`, or the error code (the search then closed).
static std::int32_t StartSearch(const LocalFileSystem::Native& native, const DriveTable& table,
                                const std::string& text, std::int32_t mask, SearchState* search,
                                WIN32_FIND_DATAW* data) {
  std::string directory, pattern;
  SplitSearchPattern(text, &directory, &pattern);
  ResolvedPath resolved;
  if (!table.Resolve(directory, &resolved)) return kErrorPathNotFound;
  PinnedWalk pins;
  std::wstring native_dir, wide_pattern;
  const std::int32_t error = native.Reach(resolved, false, &pins, &native_dir);
  if (error != 0) return error == kErrorFileNotFound ? kErrorPathNotFound : error;
  if (!WideFromUtf8(pattern, &wide_pattern) || !IsPatternName(wide_pattern)) {
    return kErrorFileNotFound;
  }
  if (native_dir.back() != L'\\') native_dir += L'\\';
  search->find = FindFirstFileW((native_dir + wide_pattern).c_str(), data);
  if (search->find == INVALID_HANDLE_VALUE) return static_cast<std::int32_t>(GetLastError());
  search->at_drive_root = resolved.names.empty();
  search->mask = mask;
  const std::int32_t result = Advance(*search, data, true);
  if (result != 0) {
    FindClose(search->find);
    search->find = INVALID_HANDLE_VALUE;
  }
  return result;
}

std::int32_t LocalFileSystem::FindFirst(std::int32_t slot, const std::string& pattern,
                                        std::int32_t mask, FindRecord* record) {
  if (!ValidSlot(slot)) return kErrorInvalidHandle;
  FindClose(slot);
  WIN32_FIND_DATAW data;
  const std::int32_t result =
      StartSearch(*native_, table_, pattern, mask, &native_->searches[slot - 1], &data);
  if (result == 0) *record = RecordOfEntry(data, confine_);
  return result;
}

std::int32_t LocalFileSystem::FindNext(std::int32_t slot, FindRecord* record) {
  if (!ValidSlot(slot) || native_->searches[slot - 1].find == INVALID_HANDLE_VALUE) {
    return kErrorInvalidHandle;
  }
  WIN32_FIND_DATAW data;
  const std::int32_t result = Advance(native_->searches[slot - 1], &data, false);
  if (result == 0) *record = RecordOfEntry(data, confine_);
  return result;
}

void LocalFileSystem::FindClose(std::int32_t slot) {
  if (!ValidSlot(slot)) return;
  SearchState& search = native_->searches[slot - 1];
  if (search.find != INVALID_HANDLE_VALUE) ::FindClose(search.find);
  search = SearchState();
}

// The walk shared by the two subdirectory operations: every entry of the
// directory with mask 0x3F that is a directory other than "." and "..". Stops
// at the first when `first_only`.
static std::int32_t WalkSubDirs(const LocalFileSystem::Native& native, const DriveTable& table,
                                const std::string& path, bool first_only,
                                std::vector<std::string>* names) {
  SearchState search;
  WIN32_FIND_DATAW data;
  std::int32_t count = 0;
  for (std::int32_t result =
           StartSearch(native, table, path + "*.*", kMaskEverything, &search, &data);
       result == 0; result = Advance(search, &data, false)) {
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || IsDotName(data.cFileName)) {
      continue;
    }
    ++count;
    if (names != nullptr) names->push_back(RecordOfFindData(data).name);
    if (first_only) break;
  }
  if (search.find != INVALID_HANDLE_VALUE) ::FindClose(search.find);
  return count;
}

bool LocalFileSystem::HasSubDirs(const std::string& path) {
  return WalkSubDirs(*native_, table_, path, true, nullptr) > 0;
}

std::int32_t LocalFileSystem::ListSubDirs(const std::string& path,
                                          std::vector<std::string>* names) {
  names->clear();
  return WalkSubDirs(*native_, table_, path, false, names);
}

}  // namespace duplane
