// The Remote Module put together: a session on one end of the cable, the
// dispatcher carrying each request out on the served drives, and the end of
// every connection closing whatever that connection opened. duplane-remote,
// the tests and the benchmarks all serve through this one assembly, so what
// they exercise is what runs on the Remote PC.
#pragma once

#include <atomic>
#include <cstdint>

#include "port/link_clock.h"
#include "port/port_access.h"
#include "remote/command_dispatcher.h"
#include "remote/remote_session.h"

namespace duplane {

class LocalFileSystem;

class RemoteModule {
 public:
  // `files` are the served drives; they stay the caller's, who may look at
  // them while the module serves.
  RemoteModule(PortAccess& port, std::uint16_t base, LocalFileSystem& files,
               RemoteSession::Log log = nullptr, LinkClock& clock = SystemClock(),
               ExtensionOptions extensions = ExtensionOptions());

  // Serves connections until `stop` becomes true. A test stand-in that
  // answers some requests its own way passes itself as `handle`; without one
  // the dispatcher answers every request.
  void Serve(const std::atomic<bool>& stop, const RemoteSession::RequestHandler& handle = nullptr);

  LinkLayer& link_layer() { return session_.link_layer(); }
  LocalFileSystem& files() { return files_; }

 private:
  LocalFileSystem& files_;
  RemoteSession session_;
  CommandDispatcher dispatcher_;
};

}  // namespace duplane
