// The Remote Module's framing of one request, shared by the plain codes and
// the extension codes: bounded text fields, the hand-over after the request
// and the one after the answer.
#pragma once

#include <string>

namespace duplane {

class LinkLayer;

class RequestIo {
 public:
  explicit RequestIo(LinkLayer& link) : link_(link) {}

  LinkLayer& link() { return link_; }

  // A text field; false when its count is negative or above kMaxWireText, in
  // which case nothing has been allocated and the request is abandoned.
  bool GetText(std::string* text);
  // Ends the request: FinishReceive, then waits until the program is ready for
  // the answer; false when the link died meanwhile (nothing may be carried out).
  bool EndRequest();
  // Ends the answer: WaitForAck; false when the link died.
  bool EndAnswer();

 private:
  LinkLayer& link_;
};

}  // namespace duplane
