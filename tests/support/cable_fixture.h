// A whole link for tests: the program's end with its Link and local branch,
// joined by a virtual cable to a Remote Module serving its drives, either on a
// thread of this process (an in-memory cable) or as a real duplane-remote
// process (a cable file). Everything between the two ends is the real code.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/link.h"
#include "link/link_layer.h"
#include "localfs/drive_table.h"
#include "localfs/local_file_system.h"
#include "port/virtual_cable.h"
#include "remote/extension_handlers.h"
#include "remote/remote_session.h"

namespace duplane {

class RemoteModule;
class RemoteProcess;

class CableFixture {
 public:
  struct Options {
    std::vector<DriveMapping> local_drives;   // the program's drive table
    std::vector<DriveMapping> remote_drives;  // what the Remote Module serves
    // Wraps the program's port, e.g. to disturb the cable; null keeps it plain.
    std::function<std::unique_ptr<PortAccess>(PortAccess& inner)> wrap_program_port;
    // The program end's clock; null keeps real time.
    LinkClock* program_clock = nullptr;
    // Serve through a real duplane-remote instead of a thread; remote_files()
    // does not exist then.
    bool remote_process = false;
    // Runs in that process before it starts serving.
    std::function<void()> remote_process_setup = nullptr;
    // The program's own port at `program_base`, for a Remote Module that the
    // caller runs on a port of its own; remote_files() does not exist then.
    std::shared_ptr<PortAccess> program_port = nullptr;
    std::uint16_t program_base = kDefaultPortBase;
    // The in-process module's extensions; switched off it is a module that
    // knows only the plain codes.
    ExtensionOptions remote_extensions = ExtensionOptions();
    // Wraps the in-process module's port (to watch it, or to hold it off the
    // processor); null keeps it plain.
    std::function<std::unique_ptr<PortAccess>(PortAccess& inner)> wrap_remote_port = nullptr;
    // The in-process module's clock (null: real time) and its log lines.
    LinkClock* remote_clock = nullptr;
    RemoteSession::Log remote_log = nullptr;
    // Whether the program's Link probes for them and uses them.
    bool program_extensions = true;
  };

  // Drive C: is `local_root` for the program and `remote_root` for the module.
  CableFixture(const std::string& local_root, const std::string& remote_root);
  explicit CableFixture(Options options);
  ~CableFixture();
  CableFixture(const CableFixture&) = delete;
  CableFixture& operator=(const CableFixture&) = delete;

  // Synchronises as Connect does; false when the module did not answer within
  // a few seconds.
  bool Connect();
  // Sends code 0 and clears the Connected flag, as Disconnect does.
  void Disconnect();

  Link& link() { return *link_; }
  LinkLayer& program_link() { return *program_link_; }
  // The program's end of the cable itself, unwrapped: where a program started
  // again after the first one gave up puts its own link layer.
  PortAccess& program_cable() {
    return program_external_port_ ? *program_external_port_ : *program_cable_;
  }
  LocalFileSystem& local_files() { return *local_files_; }
  LocalFileSystem& remote_files() { return *remote_files_; }
  // The real Remote Module, when there is one.
  RemoteProcess* process() { return process_.get(); }
  // Time-out questions the program's end was asked (answered Cancel).
  const std::vector<std::string>& timeouts() const { return timeouts_; }

 private:
  std::unique_ptr<VirtualCable> program_cable_;
  std::unique_ptr<VirtualCable> remote_cable_;
  std::shared_ptr<PortAccess> program_external_port_;
  std::unique_ptr<PortAccess> program_port_wrapper_;
  std::unique_ptr<PortAccess> remote_port_wrapper_;
  std::unique_ptr<LocalFileSystem> local_files_;
  std::unique_ptr<LocalFileSystem> remote_files_;
  std::unique_ptr<LinkLayer> program_link_;
  std::unique_ptr<Link> link_;
  std::string cable_path_;  // the cable file of a real process
  std::unique_ptr<RemoteProcess> process_;
  std::unique_ptr<RemoteModule> module_;
  std::vector<std::string> timeouts_;
  std::atomic<bool> stop_{false};
  std::thread remote_thread_;
};

}  // namespace duplane
