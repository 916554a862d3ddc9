// The framing of one remote operation on the program's side.
#include "link/remote_call.h"

#include "link/wire_format.h"

namespace duplane {

RemoteCall::RemoteCall(LinkLayer* link, std::uint8_t code) : link_(link) {
  if (link_ == nullptr || !link_->connected()) {
    failed_ = true;
    return;
  }
  link_->SendCommand(code);
}

bool RemoteCall::Finish() {
  link_->FinishReceive();
  return live();
}

void RemoteCall::Break() {
  failed_ = true;
  link_->set_connected(false);
}

void RemoteCall::Drop(std::int64_t count) {
  Fail();
  if (count > kDiscardLimit) {
    Break();
  } else {
    DiscardBytes(*link_, count);
  }
}

bool RemoteCall::GetText(std::int32_t max, std::string* out) {
  const std::int32_t count = GetI32(*link_);
  if (count < 0) {
    Fail();  // nothing follows a negative count
    return false;
  }
  if (count > max) {
    Drop(count);
    return false;
  }
  out->assign(static_cast<std::size_t>(count), '\0');
  link_->GetBlock(count, &(*out)[0]);
  return true;
}

}  // namespace duplane
