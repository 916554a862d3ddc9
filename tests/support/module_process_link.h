// The program's end of a link to a real module process: the process serving
// the given drives over a file-backed cable, and a Link whose local branch
// serves `local_root` as C:. The Windows module under Wine when the tests run
// against it (see remote_process.h).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "link/link.h"
#include "link/link_layer.h"
#include "localfs/local_file_system.h"
#include "port/virtual_cable.h"
#include "support/remote_process.h"

namespace duplane {

class ModuleProcessLink {
 public:
  // `module_args` follow "--cable PATH".
  ModuleProcessLink(const std::vector<std::string>& module_args, const std::string& local_root);
  ~ModuleProcessLink();

  // Synchronises on the real clock (the Windows module under Wine is slow to
  // answer its first system icons, and no request here may time out).
  bool Connect();
  // Code 0, then stops the module; its exit status.
  int DisconnectAndStop();

  Link& link() { return *link_; }
  LinkLayer& program() { return *program_; }
  RemoteProcess& module() { return module_; }

 private:
  std::string cable_path_;
  RemoteProcess module_;
  std::unique_ptr<VirtualCable> port_;
  std::unique_ptr<LinkLayer> program_;
  LocalFileSystem local_files_;
  std::unique_ptr<Link> link_;
};

}  // namespace duplane
