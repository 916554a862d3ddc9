// A Remote Module on a thread, serving its drives over an in-process virtual
// cable, and the program's end of that cable with its own Link and local
// drives: the pair every over-the-cable test of the command protocol uses.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/link.h"
#include "link/link_clock.h"
#include "link/link_layer.h"
#include "link/local_file_system.h"
#include "link/virtual_cable.h"

namespace duplane {

// Runs `factor` times faster than the wall clock, so the program's 10 s
// time-outs after a request the Remote Module refuses pass quickly.
class FastClock : public LinkClock {
 public:
  explicit FastClock(std::uint64_t factor) : factor_(factor) {}
  std::uint64_t TickCount() override { return factor_ * SystemClock().TickCount(); }
  void Sleep(std::uint32_t milliseconds) override { SystemClock().Sleep(milliseconds); }

 private:
  std::uint64_t factor_;
};

class ServedRemote {
 public:
  // `program_clock` drives the program end's time-outs (the remote keeps real time).
  ServedRemote(std::vector<DriveMapping> remote_drives, std::vector<DriveMapping> local_drives,
               LinkClock& program_clock = SystemClock());
  ~ServedRemote();

  // Synchronises the program end with the module; false after `seconds`.
  bool Connect(double seconds = 20);
  // Sends code 0 and drops the Connected flag, as the program's Disconnect does.
  void Disconnect();

  Link& link() { return *link_; }
  LinkLayer& program() { return *program_; }
  LocalFileSystem& local_files() { return *local_files_; }
  // The module's log lines so far.
  std::vector<std::string> Log();

 private:
  std::pair<std::unique_ptr<VirtualCable>, std::unique_ptr<VirtualCable>> cable_;
  std::unique_ptr<LocalFileSystem> local_files_;
  std::unique_ptr<LocalFileSystem> remote_files_;
  std::unique_ptr<LinkLayer> program_;
  std::unique_ptr<Link> link_;
  std::atomic<bool> stop_{false};
  std::mutex log_mutex_;
  std::vector<std::string> log_;
  std::thread remote_thread_;
};

}  // namespace duplane
