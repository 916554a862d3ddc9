// One remote operation from the program's side: the command header, then the
// caller's request fields, the turn, the caller's answer fields and the end.
// An answer that does not fit the caller's limits is read and dropped when
// that is cheap, so the link stays in step; otherwise the connection is given
// up. Either way the call counts as failed.
#pragma once

#include <cstdint>
#include <string>

#include "link/link_layer.h"

namespace duplane {

class RemoteCall {
 public:
  // Answers longer than this are not read and dropped but end the connection:
  // reading them would keep the program blocked for minutes.
  static constexpr std::int64_t kDiscardLimit = 64 << 10;

  // Sends the command header unless there is no live link to send it on.
  RemoteCall(LinkLayer* link, std::uint8_t code);

  bool live() const { return link_ != nullptr && link_->connected() && !failed_; }
  LinkLayer& link() { return *link_; }

  // Between the request fields and the answer fields.
  void Turn() { link_->WaitForAck(); }
  // Ends the exchange; true when every field arrived and fitted.
  bool Finish();

  void Fail() { failed_ = true; }
  // An answer so far out of bounds that the two ends cannot be put back in step
  // cheaply: the connection is over.
  void Break();
  // Drops `count` bytes that have no place to go; gives up the link if there are
  // too many to drop.
  void Drop(std::int64_t count);

  // A text field of at most `max` bytes.
  bool GetText(std::int32_t max, std::string* out);

 private:
  LinkLayer* link_;
  bool failed_ = false;
};

}  // namespace duplane
