// Little-endian layouts of the batched entries, read with every length checked
// against what is left, since the bytes came over the cable.
#include "link/batch_records.h"

#include <algorithm>

namespace duplane {
namespace {

constexpr std::size_t kRecordFixed = 1 + 8 + 4 + 3 * 8;
constexpr std::size_t kSubDirFixed = 2 + 1 + 1 + 4 + 4;
constexpr std::size_t kMaxSubDirName = 0xFFFF;

template <typename T>
void Put(T value, std::vector<std::uint8_t>* out) {
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    out->push_back(static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i)));
  }
}

class Reader {
 public:
  Reader(const std::uint8_t* bytes, std::size_t size) : at_(bytes), left_(size) {}

  bool done() const { return left_ == 0; }

  template <typename T>
  bool Get(T* value) {
    if (left_ < sizeof(T)) return false;
    std::uint64_t v = 0;
    for (std::size_t i = sizeof(T); i > 0; --i) v = (v << 8) | at_[i - 1];
    *value = static_cast<T>(v);
    Skip(sizeof(T));
    return true;
  }

  // A name after its length, which takes a `Length`.
  template <typename Length>
  bool GetName(std::string* name) {
    Length length = 0;
    if (!Get(&length) || left_ < length) return false;
    name->assign(reinterpret_cast<const char*>(at_), length);
    Skip(length);
    return true;
  }

 private:
  void Skip(std::size_t n) {
    at_ += n;
    left_ -= n;
  }

  const std::uint8_t* at_;
  std::size_t left_;
};

std::size_t CutName(const std::string& name) { return std::min(name.size(), kMaxFindName); }

// A name after its length, which takes a `Length`; cut to `most` bytes.
template <typename Length>
void PutName(const std::string& name, std::size_t most, std::vector<std::uint8_t>* out) {
  const std::size_t length = std::min(name.size(), most);
  Put(static_cast<Length>(length), out);
  out->insert(out->end(), name.begin(), name.begin() + static_cast<std::ptrdiff_t>(length));
}

// Exactly `count` entries, each read by `read_one`, that fill the `size`
// bytes. The count is held against the bytes (no entry is shorter than
// `fixed`) before anything is reserved for it.
template <typename Entry, typename ReadOne>
bool DecodeEntries(const std::uint8_t* bytes, std::size_t size, std::int32_t count,
                   std::size_t fixed, ReadOne read_one, std::vector<Entry>* entries) {
  entries->clear();
  if (count < 0 || static_cast<std::size_t>(count) > size / fixed) return false;
  entries->reserve(static_cast<std::size_t>(count));
  Reader in(bytes, size);
  for (std::int32_t i = 0; i < count; ++i) {
    Entry entry;
    if (!read_one(in, &entry)) return false;
    entries->push_back(std::move(entry));
  }
  return in.done();
}

bool ReadRecord(Reader& in, FindRecord* record) {
  return in.GetName<std::uint8_t>(&record->name) && in.Get(&record->size) &&
         in.Get(&record->attributes) && in.Get(&record->creation_time) &&
         in.Get(&record->last_access_time) && in.Get(&record->last_write_time);
}

bool ReadSubDir(Reader& in, SubDirEntry* entry) {
  std::uint8_t icons = 0;
  if (!in.GetName<std::uint16_t>(&entry->name) || !in.Get(&entry->has_subdirs) || !in.Get(&icons) ||
      !in.Get(&entry->normal_icon) || !in.Get(&entry->open_icon) ||
      entry->has_subdirs > kSubDirsNotAsked || icons > 1) {
    return false;
  }
  entry->icons_known = icons == 1;
  return true;
}

}  // namespace

std::size_t BatchRecordSize(const FindRecord& record) {
  return kRecordFixed + CutName(record.name);
}

void AppendBatchRecord(const FindRecord& record, std::vector<std::uint8_t>* out) {
  PutName<std::uint8_t>(record.name, kMaxFindName, out);
  Put(record.size, out);
  Put(record.attributes, out);
  Put(record.creation_time, out);
  Put(record.last_access_time, out);
  Put(record.last_write_time, out);
}

bool DecodeBatchRecords(const std::uint8_t* bytes, std::size_t size, std::int32_t count,
                        std::vector<FindRecord>* records) {
  return DecodeEntries(bytes, size, count, kRecordFixed, ReadRecord, records);
}

std::size_t SubDirEntrySize(const SubDirEntry& entry) {
  return kSubDirFixed + std::min(entry.name.size(), kMaxSubDirName);
}

void AppendSubDirEntry(const SubDirEntry& entry, std::vector<std::uint8_t>* out) {
  PutName<std::uint16_t>(entry.name, kMaxSubDirName, out);
  out->push_back(entry.has_subdirs);
  out->push_back(entry.icons_known ? 1 : 0);
  Put(entry.normal_icon, out);
  Put(entry.open_icon, out);
}

bool DecodeSubDirEntries(const std::uint8_t* bytes, std::size_t size, std::int32_t count,
                         std::vector<SubDirEntry>* entries) {
  return DecodeEntries(bytes, size, count, kSubDirFixed, ReadSubDir, entries);
}

}  // namespace duplane
