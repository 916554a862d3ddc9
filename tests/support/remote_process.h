// A real duplane-remote process for tests: started with the given options, its
// standard output and error kept in one file, stopped with SIGTERM.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace duplane {

class RemoteProcess {
 public:
  // `in_child` runs in the new process just before duplane-remote replaces it,
  // e.g. to take a system call away.
  explicit RemoteProcess(const std::vector<std::string>& args,
                         const std::function<void()>& in_child = {});
  ~RemoteProcess();
  RemoteProcess(const RemoteProcess&) = delete;
  RemoteProcess& operator=(const RemoteProcess&) = delete;

  // Sends SIGTERM and waits; returns the exit status (or -1 for a signal death).
  int Stop();
  // Waits for the process to end by itself; returns its exit status (-1 for a signal).
  int Wait();
  // What the process wrote to standard error so far.
  std::string Log() const;
  // Waits up to `seconds` for `text` to appear in the log.
  bool WaitForLog(const std::string& text, double seconds) const;

 private:
  pid_t pid_ = -1;
  std::string log_path_;
};

// A fresh path for a virtual cable file under /dev/shm, removed by the caller.
std::string TempCablePath();

}  // namespace duplane
