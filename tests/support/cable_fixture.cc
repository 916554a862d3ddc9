// The in-process link for tests.
#include "support/cable_fixture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

#include "remote/remote_module.h"
#include "support/remote_process.h"
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
  if (options.program_port) {
    program_external_port_ = std::move(options.program_port);
  } else if (options.remote_process) {
    cable_path_ = TempCablePath();
    std::vector<std::string> args = {"--cable", cable_path_};
    for (const DriveMapping& drive : options.remote_drives) {
      args.push_back("--drive");
      args.push_back(std::string(1, drive.letter) + "=" + drive.directory);
    }
    process_ = std::make_unique<RemoteProcess>(args, options.remote_process_setup);
    std::string error;
    program_cable_ = VirtualCable::Open(cable_path_, 0, &error);
    if (!program_cable_) ADD_FAILURE() << error;
  } else {
    auto cable = VirtualCable::CreatePair(kDefaultPortBase);
    program_cable_ = std::move(cable.first);
    remote_cable_ = std::move(cable.second);
  }
  PortAccess* program_port =
      program_external_port_ ? program_external_port_.get() : program_cable_.get();
  if (options.wrap_program_port) {
    program_port_wrapper_ = options.wrap_program_port(*program_port);
    program_port = program_port_wrapper_.get();
  }
  local_files_ = std::make_unique<LocalFileSystem>(options.local_drives, /*confine=*/false);
  program_link_ = std::make_unique<LinkLayer>(
      *program_port, options.program_base,
      options.program_clock != nullptr ? *options.program_clock : SystemClock());
  program_link_->SetTimeoutHandler([this](const std::string& message) {
    timeouts_.push_back(message);
    return TimeoutAnswer::kCancel;
  });
  link_ = std::make_unique<Link>(*local_files_, program_link_.get());
  link_->SetExtensionsEnabled(options.program_extensions);
  if (remote_cable_ == nullptr) return;
  PortAccess* remote_port = remote_cable_.get();
  if (options.wrap_remote_port) {
    remote_port_wrapper_ = options.wrap_remote_port(*remote_port);
    remote_port = remote_port_wrapper_.get();
  }
  remote_files_ = std::make_unique<LocalFileSystem>(options.remote_drives, /*confine=*/true);
  module_ = std::make_unique<RemoteModule>(
      *remote_port, kDefaultPortBase, *remote_files_, options.remote_log,
      options.remote_clock != nullptr ? *options.remote_clock : SystemClock(),
      options.remote_extensions);
  remote_thread_ = std::thread([this] { module_->Serve(stop_); });
}

CableFixture::~CableFixture() {
  stop_ = true;
  if (remote_thread_.joinable()) remote_thread_.join();
  if (process_) {
    process_->Stop();
    unlink(cable_path_.c_str());
  }
}

// A process has to start before it answers.
bool CableFixture::Connect() { return SyncRemoteWithin(*program_link_, process_ ? 20 : 10); }

void CableFixture::Disconnect() {
  link_->LinkNop();
  program_link_->set_connected(false);
}

}  // namespace duplane
