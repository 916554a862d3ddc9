// Request framing on the Remote Module's side.
#include "remote/request_io.h"

#include "link/link_layer.h"
#include "link/wire_format.h"

namespace duplane {

bool RequestIo::GetText(std::string* text) {
  const std::int32_t count = GetI32(link_);
  if (count < 0 || count > kMaxWireText || !link_.connected()) return false;
  text->assign(static_cast<std::size_t>(count), '\0');
  link_.GetBlock(count, &(*text)[0]);
  return link_.connected();
}

bool RequestIo::EndRequest() {
  if (!link_.connected()) return false;
  link_.FinishReceive();
  // Nothing is carried out before the program shows that it took the
  // acknowledge. A program that went away in the middle of a request leaves it
  // one nibble short, and whatever that program's end writes next (a
  // restarted program's synchronisation writes 0x00) would complete it with a
  // nibble it never sent: a block of file data written with one wrong nibble.
  // Such a program never answers the acknowledge, so the request is dropped.
  return link_.WaitForReceiver();
}

bool RequestIo::EndAnswer() {
  link_.WaitForAck();
  return link_.connected();
}

}  // namespace duplane
