// The busy window of a directory read that takes long. Over the cable every
// entry is one request and one answer, so a directory of tens of thousands of
// entries takes a minute or more: after a short delay the busy window shows
// how many entries have been read and offers Cancel, the main window is
// disabled (so clicks meant for the old list are dropped, not replayed on the
// new one) and keeps repainting. A quick read shows nothing.
#pragma once

#include <QElapsedTimer>
#include <cstdint>
#include <functional>

class QWidget;

namespace duplane {

class TMessageForm;

class ListingProgress {
 public:
  // `window` is disabled while `busy` shows; `ending` tells that the program
  // is ending. `busy` may be null (no window to show). When another operation
  // already shows the busy window, this read neither takes it over nor pumps
  // events.
  ListingProgress(QWidget* window, TMessageForm* busy, std::function<bool()> ending);
  ~ListingProgress();
  ListingProgress(const ListingProgress&) = delete;
  ListingProgress& operator=(const ListingProgress&) = delete;

  // Called once per entry read, with the count so far. False when the read
  // is to stop: Cancel was pressed or the program is ending.
  bool Entry(std::int32_t count);

  // Tests: the delay before the window shows.
  static void SetDelayMs(int ms);

 private:
  void Show(std::int32_t count);
  void Update(std::int32_t count);

  QWidget* window_;
  TMessageForm* busy_;
  std::function<bool()> ending_;
  bool may_show_;
  bool shown_ = false;
  QElapsedTimer started_;
  qint64 last_pump_ms_ = 0;
};

}  // namespace duplane
