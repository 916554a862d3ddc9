// The in-process link for tests.
#include "support/cable_fixture.h"

#include <chrono>

#include "remote/command_dispatcher.h"
#include "remote/remote_session.h"
#include "support/test_ports.h"

namespace duplane {

CableFixture::CableFixture(const std::string& local_root, const std::string& remote_root)
    : CableFixture([&] {
        Options options;
        options.local_drives = {{'C', local_root}};
        options.remote_drives = {{'C', remote_root}};
        return options;
      }()) {}

CableFixture::CableFixture(Options options) {
  PortAccess* program_port = options.program_port.get();
  if (program_port == nullptr) {
    auto cable = VirtualCable::CreatePair(kDefaultPortBase);
    program_cable_ = std::move(cable.first);
    remote_cable_ = std::move(cable.second);
    program_port = program_cable_.get();
  } else {
    program_external_port_ = std::move(options.program_port);
  }
  if (options.wrap_program_port) {
    program_port_wrapper_ = options.wrap_program_port(*program_port);
    program_port = program_port_wrapper_.get();
  }
  local_files_ = std::make_unique<LocalFileSystem>(options.local_drives, /*confine=*/false);
  remote_files_ = std::make_unique<LocalFileSystem>(options.remote_drives, /*confine=*/true);
  program_link_ = std::make_unique<LinkLayer>(
      *program_port, options.program_base,
      options.program_clock != nullptr ? *options.program_clock : SystemClock());
  program_link_->SetTimeoutHandler([this](const std::string& message) {
    timeouts_.push_back(message);
    return TimeoutAnswer::kCancel;
  });
  link_ = std::make_unique<Link>(*local_files_, program_link_.get());
  if (remote_cable_ == nullptr) return;
  session_ = std::make_unique<RemoteSession>(*remote_cable_, kDefaultPortBase);
  dispatcher_ = std::make_unique<CommandDispatcher>(session_->link_layer(), *remote_files_);
  remote_thread_ = std::thread([this] {
    session_->Serve(
        stop_, [this](std::uint8_t code) { return dispatcher_->Handle(code); },
        [this] { remote_files_->CloseAll(); });
  });
}

CableFixture::~CableFixture() {
  stop_ = true;
  if (remote_thread_.joinable()) remote_thread_.join();
}

bool CableFixture::Connect() { return SyncRemoteWithin(*program_link_, 10); }

void CableFixture::Disconnect() {
  link_->LinkNop();
  program_link_->set_connected(false);
}

}  // namespace duplane
