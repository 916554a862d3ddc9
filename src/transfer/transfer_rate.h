// The progress window's arithmetic: the bars' percentages, the transfer rate
// over the last few seconds and the time left for a run. Pure arithmetic on
// (time, bytes) samples; the clock is whatever the caller reads, so tests feed
// times by hand.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <utility>

namespace duplane {

// 100 - remaining * 100 / total in 64-bit integers, kept within 0..100; a total
// of 0 or less counts as done (100).
std::int32_t ProgressPercent(std::int64_t remaining, std::int64_t total);

class TransferRate {
 public:
  // Samples older than this (ms) no longer count towards the rate.
  static constexpr std::int64_t kWindowMs = 5000;

  // Starts a run at `now_ms` with nothing transferred.
  void Start(std::int64_t now_ms);
  // `bytes` more were transferred by `now_ms`.
  void Add(std::int64_t now_ms, std::int64_t bytes);
  // Bytes per second over the window ending at the last sample; -1 while less
  // than a quarter of a second of data is known.
  std::int64_t BytesPerSecond() const;
  // Seconds to transfer `remaining` bytes at the current rate, rounded up;
  // -1 when the rate is unknown or 0; 0 when nothing remains.
  std::int64_t SecondsLeft(std::int64_t remaining) const;

 private:
  // (time, total bytes by then), oldest first, always holding the newest sample.
  std::deque<std::pair<std::int64_t, std::int64_t>> samples_;
  std::int64_t total_ = 0;
};

// "1.2 MB/s", "850 KB/s", "12 B/s"; "" when unknown (negative).
std::string FormatRate(std::int64_t bytes_per_second);
// "0:42", "12:05", "1:02:09"; "" when unknown (negative).
std::string FormatTimeLeft(std::int64_t seconds);

}  // namespace duplane
