// Busy window of a long directory read.
#include "ui/listing_progress.h"

#include <QApplication>
#include <QLocale>
#include <QWidget>

#include "ui/message_form.h"

namespace duplane {
namespace {

constexpr char kCaption[] = "Reading directory";
constexpr char kEntriesRead[] = "Entries read: ";
// Events are pumped (and the count repainted) this often, not per entry: a
// local directory reads thousands of entries in that time.
constexpr qint64 kPumpEveryMs = 50;

int delay_ms = 500;

QString Text(std::int32_t count) {
  return QString::fromLatin1(kEntriesRead) + QLocale().toString(count);
}

}  // namespace

void ListingProgress::SetDelayMs(int ms) { delay_ms = ms; }

ListingProgress::ListingProgress(QWidget* window, TMessageForm* busy, std::function<bool()> ending)
    : window_(window),
      busy_(busy),
      ending_(std::move(ending)),
      may_show_(window != nullptr && busy != nullptr && !busy->isVisible()) {
  started_.start();
}

ListingProgress::~ListingProgress() {
  if (!shown_) return;
  // Whatever input arrived for the old list reaches the disabled window now
  // and is dropped there.
  QApplication::processEvents();
  window_->setEnabled(true);
  busy_->CloseForm();
  // The busy window had the activation; it is taken back now, before the
  // read's caller goes on (only the window system's own events run).
  window_->activateWindow();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool ListingProgress::Entry(std::int32_t count) {
  if (ending_()) return false;
  if (!may_show_) return true;
  const qint64 now = started_.elapsed();
  if (!shown_) {
    if (now < delay_ms) return true;
    Show(count);
  } else if (now - last_pump_ms_ < kPumpEveryMs) {
    return true;
  }
  last_pump_ms_ = now;
  Update(count);
  QApplication::processEvents();
  return !busy_->cancel() && !ending_();
}

void ListingProgress::Show(std::int32_t count) {
  shown_ = true;
  window_->setEnabled(false);
  busy_->setWindowTitle(QString::fromLatin1(kCaption));
  busy_->SetText(Text(count));
  busy_->ShowAndRepaint();
}

void ListingProgress::Update(std::int32_t count) {
  busy_->SetText(Text(count));
  busy_->repaint();
}

}  // namespace duplane
