// Directory searches on Linux: the twenty slots of LinkFindFirst/Next/Close and
// the subdirectory listings of the trees. A search reads the matching names
// once and looks each entry up when it is reached, so "." and ".." come first
// (except at a drive's root, as on Windows) and the mask filter is applied to
// the attributes of the moment.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "localfs/local_file_system.h"
#include "localfs/local_native_linux.h"
#include "localfs/name_mapping.h"
#include "localfs/name_pattern.h"

namespace duplane {
namespace {

constexpr std::int32_t kSkippableBits = kAttrHidden | kAttrSystem | kAttrVolume | kAttrDirectory;

bool ValidSlot(std::int32_t slot) { return slot >= 1 && slot <= kSearchSlots; }

// Reads the native names of an open directory whose wire form matches the
// pattern. Left out are names no find record can carry as they are: one that
// already holds a private-use twin (on the wire it would name its namesake
// with the real character) and one whose wire form is longer than a record's
// 255 bytes (cut, it would name some other entry).
bool ReadNames(int directory_fd, const std::string& pattern, std::vector<std::string>* names) {
  const int dup_fd = dup(directory_fd);
  if (dup_fd < 0) return false;
  DIR* dir = fdopendir(dup_fd);
  if (dir == nullptr) {
    close(dup_fd);
    return false;
  }
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || HoldsMappedTwin(name)) continue;
    const std::string wire = WireNameOf(name);
    if (wire.size() > kMaxFindName || !IsPlainFindName(wire)) continue;
    if (MatchesPattern(pattern, wire)) names->push_back(name);
  }
  closedir(dir);
  return true;
}

}  // namespace

// Looks one native name of a search up; the record carries its wire form.
// "." and ".." are the directories themselves; any other entry is described
// as LinkFileGetAttr does, a link by what it leads to (through the confined
// walk) and marked as a link.
static bool LookUpEntry(const LocalFileSystem::Native& native, const SearchState& search,
                        const std::string& name, FindRecord* record, std::int32_t* attributes) {
  struct statx info;
  ResolvedPath path = search.path;
  if (name == "." || name == "..") {
    if (name == ".." && !path.names.empty()) path.names.pop_back();
    ScopedFd fd(native.Open(path, O_PATH));
    if (!fd.valid() ||
        statx(fd.get(), "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &info) != 0) {
      return false;
    }
    *attributes = AttributesOf(info, name, FdPath(fd.get()));
  } else {
    path.names.push_back(name);
    // Gone since the names were read: passed over.
    if (!DescribeEntry(native, search.directory.get(), path, &info, attributes)) return false;
  }
  *record = RecordOf(info, WireNameOf(name), *attributes);
  return true;
}

// Moves the search to the next entry that passes the mask; 0 or 18.
static std::int32_t Advance(const LocalFileSystem::Native& native, SearchState* search,
                            FindRecord* record) {
  while (search->next < search->names.size()) {
    const std::string& name = search->names[search->next++];
    std::int32_t attributes = 0;
    FindRecord found;
    if (!LookUpEntry(native, *search, name, &found, &attributes)) continue;
    if ((attributes & kSkippableBits & ~search->mask) != 0) continue;
    *record = std::move(found);
    return 0;
  }
  return kErrorNoMoreFiles;
}

std::int32_t LocalFileSystem::FindFirst(std::int32_t slot, const std::string& pattern,
                                        std::int32_t mask, FindRecord* record) {
  if (!ValidSlot(slot)) return kErrorInvalidHandle;
  FindClose(slot);
  SearchState& search = native_->searches[slot - 1];
  std::string directory, name_pattern;
  SplitSearchPattern(pattern, &directory, &name_pattern);
  if (!table_.Resolve(directory, &search.path)) return kErrorPathNotFound;
  search.directory.Reset(native_->Open(search.path, O_RDONLY | O_DIRECTORY));
  if (!search.directory.valid()) {
    const int error = errno;
    // A missing directory is a missing path, whatever its last name.
    return error == ENOENT ? kErrorPathNotFound : WindowsError(*native_, search.path, error);
  }
  search.names.clear();
  if (!search.path.names.empty()) {
    for (const char* dot : {".", ".."}) {
      if (MatchesPattern(name_pattern, dot)) search.names.push_back(dot);
    }
  }
  if (name_pattern.empty() || !ReadNames(search.directory.get(), name_pattern, &search.names)) {
    search.names.clear();
  }
  search.next = 0;
  search.mask = mask;
  search.open = true;
  if (search.names.empty()) {
    FindClose(slot);
    return kErrorFileNotFound;
  }
  const std::int32_t result = Advance(*native_, &search, record);
  if (result != 0) FindClose(slot);
  return result;
}

std::int32_t LocalFileSystem::FindNext(std::int32_t slot, FindRecord* record) {
  if (!ValidSlot(slot) || !native_->searches[slot - 1].open) return kErrorInvalidHandle;
  return Advance(*native_, &native_->searches[slot - 1], record);
}

void LocalFileSystem::FindClose(std::int32_t slot) {
  if (!ValidSlot(slot)) return;
  SearchState& search = native_->searches[slot - 1];
  search.open = false;
  search.directory.Reset();
  search.names.clear();
  search.names.shrink_to_fit();
  search.next = 0;
}

// The walk shared by the two subdirectory operations: every entry of the
// directory with mask 0x3F that is a directory other than "." and "..". Stops
// at the first when `first_only`.
static std::int32_t WalkSubDirs(const LocalFileSystem::Native& native, const DriveTable& table,
                                const std::string& path, bool first_only,
                                std::vector<std::string>* names) {
  SearchState search;
  if (!table.Resolve(path, &search.path)) return 0;
  search.directory.Reset(native.Open(search.path, O_RDONLY | O_DIRECTORY));
  if (!search.directory.valid() || !ReadNames(search.directory.get(), "*.*", &search.names)) {
    return 0;
  }
  search.mask = kMaskEverything;
  std::int32_t count = 0;
  FindRecord record;
  while (Advance(native, &search, &record) == 0) {
    if ((record.attributes & kAttrDirectory) == 0) continue;
    ++count;
    if (names != nullptr) names->push_back(record.name);
    if (first_only) break;
  }
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
