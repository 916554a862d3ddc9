// The Remote Module's side of a connection: answers the program's
// synchronisation, waits for command headers, checks them, hands each request
// to the request handler, and goes back to waiting for the next
// synchronisation after code 0, a time-out or anything it cannot decode.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "link/link_layer.h"

namespace duplane {

class RemoteSession {
 public:
  // Carries out one request whose header (a code from 1 to 38 but 13) has been
  // read and checked: reads its fields, FinishReceive, performs it, sends the
  // answer, WaitForAck. Returns false when the request cannot be right; the
  // session then drops back to waiting for a synchronisation.
  using RequestHandler = std::function<bool(std::uint8_t code)>;
  // Closes whatever the connection opened (handles, searches).
  using ConnectionEnd = std::function<void()>;
  using Log = std::function<void(const std::string& line)>;

  RemoteSession(PortAccess& port, std::uint16_t base, Log log = nullptr,
                LinkClock& clock = SystemClock());

  // Serves connections until `stop` becomes true.
  void Serve(const std::atomic<bool>& stop, const RequestHandler& handle,
             const ConnectionEnd& end_connection);

  LinkLayer& link_layer() { return link_; }

 private:
  // kNewConnection: a restarted program synchronised again while we waited for
  // a header; what the old one left open must go before we serve the new one.
  enum class Outcome { kNextCommand, kNewConnection, kResync, kStopped };
  Outcome ServeOneCommand(const std::atomic<bool>& stop, const RequestHandler& handle);
  void Say(const std::string& line);

  // "link lost", with the port's fault when it has one.
  std::string LinkLost() const;

  PortAccess& port_;
  LinkLayer link_;
  Log log_;
};

}  // namespace duplane
