// Transfer rate over a sliding window of samples, and its display texts.
#include "transfer/transfer_rate.h"

#include <cstdio>

namespace duplane {

namespace {
constexpr std::int64_t kMinSpanMs = 250;
}

std::int32_t ProgressPercent(std::int64_t remaining, std::int64_t total) {
  if (total <= 0) return 100;
  if (remaining <= 0) return 100;
  if (remaining >= total) return 0;
  return static_cast<std::int32_t>(100 - remaining * 100 / total);
}

void TransferRate::Start(std::int64_t now_ms) {
  samples_.clear();
  total_ = 0;
  samples_.emplace_back(now_ms, 0);
}

void TransferRate::Add(std::int64_t now_ms, std::int64_t bytes) {
  if (samples_.empty()) samples_.emplace_back(now_ms, 0);
  total_ += bytes;
  samples_.emplace_back(now_ms, total_);
  // Keep the newest sample at or before the window's start so the window is
  // covered in full, and nothing older.
  while (samples_.size() > 2 && samples_[1].first <= now_ms - kWindowMs) samples_.pop_front();
}

std::int64_t TransferRate::BytesPerSecond() const {
  if (samples_.size() < 2) return -1;
  const std::int64_t span = samples_.back().first - samples_.front().first;
  if (span < kMinSpanMs) return -1;
  const std::int64_t bytes = samples_.back().second - samples_.front().second;
  return bytes * 1000 / span;
}

std::int64_t TransferRate::SecondsLeft(std::int64_t remaining) const {
  if (remaining <= 0) return 0;
  const std::int64_t rate = BytesPerSecond();
  if (rate <= 0) return -1;
  return (remaining + rate - 1) / rate;
}

std::string FormatRate(std::int64_t bytes_per_second) {
  if (bytes_per_second < 0) return std::string();
  char text[32];
  if (bytes_per_second >= 1024 * 1024) {
    std::snprintf(text, sizeof text, "%.1f MB/s", bytes_per_second / (1024.0 * 1024.0));
  } else if (bytes_per_second >= 1024) {
    std::snprintf(text, sizeof text, "%lld KB/s", static_cast<long long>(bytes_per_second / 1024));
  } else {
    std::snprintf(text, sizeof text, "%lld B/s", static_cast<long long>(bytes_per_second));
  }
  return text;
}

std::string FormatTimeLeft(std::int64_t seconds) {
  if (seconds < 0) return std::string();
  char text[32];
  const long long h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
  if (h > 0) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", h, m, s);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", m, s);
  }
  return text;
}

}  // namespace duplane
