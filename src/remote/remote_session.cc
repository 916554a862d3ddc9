// The Remote Module's connection loop.
#include "remote/remote_session.h"

#include "link/extension_codes.h"
#include "link/link.h"

namespace duplane {

RemoteSession::RemoteSession(PortAccess& port, std::uint16_t base, Log log, LinkClock& clock)
    : port_(port), link_(port, base, clock), log_(std::move(log)) {
  // Nobody sits at the Remote PC to answer a time-out: give up the connection
  // and wait for the program to synchronise again.
  link_.SetTimeoutHandler([](const std::string&) { return TimeoutAnswer::kCancel; });
}

std::string RemoteSession::LinkLost() const {
  const std::string fault = port_.Fault();
  return fault.empty() ? "link lost" : "link lost: " + fault;
}

void RemoteSession::Say(const std::string& line) {
  if (log_) log_(line);
}

void RemoteSession::Serve(const std::atomic<bool>& stop, const RequestHandler& handle,
                          const ConnectionEnd& end_connection) {
  const auto stopped = [&stop] { return stop.load(std::memory_order_relaxed); };
  bool synced = false;
  while (!stopped()) {
    if (!synced) {
      Say("waiting for the program to connect");
      if (!link_.AnswerSync(stopped)) break;
      Say("connected");
      synced = true;
    }
    const Outcome outcome = ServeOneCommand(stop, handle);
    if (outcome == Outcome::kNextCommand) continue;
    if (end_connection) end_connection();
    if (outcome == Outcome::kNewConnection) continue;
    if (outcome == Outcome::kStopped) break;
    synced = false;
  }
  if (end_connection) end_connection();
  link_.set_connected(false);
}

RemoteSession::Outcome RemoteSession::ServeOneCommand(const std::atomic<bool>& stop,
                                                      const RequestHandler& handle) {
  const auto stopped = [&stop] { return stop.load(std::memory_order_relaxed); };
  switch (link_.WaitForCommandStart(stopped)) {
    case LinkLayer::CommandWait::kStopped:
      return Outcome::kStopped;
    case LinkLayer::CommandWait::kResyncRequested:
      Say("disconnected: the program synchronises again");
      link_.set_connected(false);
      return Outcome::kResync;
    case LinkLayer::CommandWait::kResynced:
      Say("connected again");
      return Outcome::kNewConnection;
    case LinkLayer::CommandWait::kCommand:
      break;
  }
  std::uint8_t header[3] = {};
  link_.GetBlock(3, header);
  if (!link_.connected()) {
    Say(LinkLost());
    return Outcome::kResync;
  }
  const std::uint8_t code = header[1];
  if (header[0] != LinkLayer::kHeaderStart || header[2] != static_cast<std::uint8_t>(code ^ 0xFF)) {
    Say("bad command header: waiting for a new connection");
    link_.set_connected(false);
    return Outcome::kResync;
  }
  if (code == kOpNop) {
    // The program disconnects. Our acknowledge is the last write until it
    // synchronises again: another ready strobe would take the acknowledge back
    // before its WaitForAck has seen it.
    link_.FinishReceive();
    link_.set_connected(false);
    Say("disconnected");
    return Outcome::kResync;
  }
  if (code == kOpUnused13 || code > kLastExtensionCode || !handle) {
    Say("unknown operation code " + std::to_string(code) + ": waiting for a new connection");
    link_.set_connected(false);
    return Outcome::kResync;
  }
  const bool understood = handle(code);
  if (!link_.connected()) {
    Say(LinkLost());
    return Outcome::kResync;
  }
  if (!understood) {
    Say("request with operation code " + std::to_string(code) +
        " cannot be right: waiting for a new connection");
    link_.set_connected(false);
    return Outcome::kResync;
  }
  return Outcome::kNextCommand;
}

}  // namespace duplane
