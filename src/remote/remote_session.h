// The Remote Module's side of a connection: answers the program's
// synchronisation, waits for command headers, checks them, lets the command
// dispatcher carry out each request, and goes back to waiting for the next
// synchronisation after code 0, a time-out or anything it cannot decode.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "link/link_layer.h"

namespace duplane {

class LocalFileSystem;

class RemoteSession {
 public:
  // `log` receives one line per connection event (waiting, connected,
  // disconnected, link lost, bad request).
  RemoteSession(PortAccess& port, std::uint16_t base, LocalFileSystem& files,
                std::function<void(const std::string&)> log = nullptr,
                LinkClock& clock = SystemClock());

  // Serves connections until `stop` becomes true.
  void Serve(const std::atomic<bool>& stop);

  LinkLayer& link_layer() { return link_; }

 private:
  LinkLayer link_;
  LocalFileSystem& files_;
  std::function<void(const std::string&)> log_;
};

}  // namespace duplane
