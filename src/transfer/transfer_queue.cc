// The transfer queue's lists and counters.
#include "transfer/transfer_queue.h"

#include <cerrno>
#include <cstdlib>

namespace duplane {

std::int64_t ParseInt64(const std::string& text) {
  if (text.empty()) return 0;
  errno = 0;
  char* end = nullptr;
  long long value = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || end == text.c_str() || *end != '\0') return 0;
  return static_cast<std::int64_t>(value);
}

void TransferQueue::Clear() {
  paths_.clear();
  sizes_.clear();
  file_count = 0;
  dir_count = 0;
  byte_count = 0;
}

void TransferQueue::AddFile(const std::string& path, std::int64_t size) {
  paths_.push_back(path);
  sizes_.push_back(std::to_string(size));
  ++file_count;
  byte_count += size;
}

void TransferQueue::AddDir(const std::string& path) {
  paths_.push_back(IsDirPath(path) ? path : path + "\\");
  sizes_.push_back("0");
  ++dir_count;
}

void TransferQueue::RemoveAt(std::size_t index) {
  if (index >= paths_.size()) return;
  paths_.erase(paths_.begin() + static_cast<std::ptrdiff_t>(index));
  sizes_.erase(sizes_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::int64_t TransferQueue::size_value(std::size_t index) const {
  return ParseInt64(sizes_[index]);
}

}  // namespace duplane
