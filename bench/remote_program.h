// A real duplane-remote serving a folder as drive C: over a fresh virtual
// cable, and the program's end of that cable counted by a CountingPort, with
// its Link and a local drive C: of its own.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

#include "counting_port.h"
#include "link/link.h"
#include "link/link_layer.h"
#include "localfs/local_file_system.h"
#include "port/virtual_cable.h"

namespace duplane {

class RemoteProgram {
 public:
  RemoteProgram(const std::string& exe, const std::string& remote_folder,
                const std::string& local_folder);
  ~RemoteProgram();
  RemoteProgram(const RemoteProgram&) = delete;
  RemoteProgram& operator=(const RemoteProgram&) = delete;

  // True once the module runs and the cable is open.
  bool started() const { return port_ != nullptr; }
  // Synchronises as Connect does; false when the module did not answer in 20 s.
  bool Connect();
  // Sends code 0, as Disconnect does.
  void Disconnect();

  pid_t pid() const { return pid_; }
  Link& link() { return *link_; }
  LinkLayer& link_layer() { return *link_layer_; }
  CountingPort& port() { return *counting_; }

 private:
  pid_t pid_ = -1;
  std::string cable_;
  std::unique_ptr<VirtualCable> port_;
  std::unique_ptr<CountingPort> counting_;
  std::unique_ptr<LinkLayer> link_layer_;
  std::unique_ptr<LocalFileSystem> local_files_;
  std::unique_ptr<Link> link_;
};

// A fresh folder under /tmp, removed with its contents on destruction.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& tag);
  ~ScratchFolder();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Writes `size` bytes of a pattern that differs per `seed`.
void WritePatternFile(const std::string& path, std::int64_t size, unsigned seed);

}  // namespace duplane
