// The in-process Remote Module for protocol tests.
#include "support/served_remote.h"

#include <chrono>

#include "remote/command_dispatcher.h"
#include "remote/remote_session.h"

namespace duplane {

ServedRemote::ServedRemote(std::vector<DriveMapping> remote_drives,
                           std::vector<DriveMapping> local_drives, LinkClock& program_clock)
    : cable_(VirtualCable::CreatePair()),
      local_files_(std::make_unique<LocalFileSystem>(std::move(local_drives), false)),
      remote_files_(std::make_unique<LocalFileSystem>(std::move(remote_drives), true)) {
  program_ = std::make_unique<LinkLayer>(*cable_.first, kDefaultPortBase, program_clock);
  program_->SetTimeoutHandler([](const std::string&) { return TimeoutAnswer::kCancel; });
  link_ = std::make_unique<Link>(*local_files_, program_.get());
  remote_thread_ = std::thread([this] {
    RemoteSession session(*cable_.second, kDefaultPortBase, [this](const std::string& line) {
      std::lock_guard<std::mutex> lock(log_mutex_);
      log_.push_back(line);
    });
    CommandDispatcher dispatcher(session.link_layer(), *remote_files_);
    session.Serve(
        stop_, [&dispatcher](std::uint8_t code) { return dispatcher.Handle(code); },
        [this] { remote_files_->CloseAll(); });
  });
}

ServedRemote::~ServedRemote() {
  stop_.store(true);
  remote_thread_.join();
}

bool ServedRemote::Connect(double seconds) {
  program_->set_connected(true);
  program_->set_cancel(false);
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  program_->SetPumpEvents([&] {
    if (std::chrono::steady_clock::now() > until) program_->set_cancel(true);
  });
  program_->SyncRemote();
  program_->SetPumpEvents(nullptr);
  if (program_->cancel()) program_->set_connected(false);
  return program_->connected();
}

void ServedRemote::Disconnect() {
  link_->LinkNop();
  program_->set_connected(false);
}

std::vector<std::string> ServedRemote::Log() {
  std::lock_guard<std::mutex> lock(log_mutex_);
  return log_;
}

}  // namespace duplane
