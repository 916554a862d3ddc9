// A link to a real module process.
#include "support/module_process_link.h"

#include <unistd.h>

#include "support/test_ports.h"

namespace duplane {
namespace {

std::vector<std::string> WithCable(const std::string& cable, const std::vector<std::string>& args) {
  std::vector<std::string> all = {"--cable", cable};
  all.insert(all.end(), args.begin(), args.end());
  return all;
}

}  // namespace

ModuleProcessLink::ModuleProcessLink(const std::vector<std::string>& module_args,
                                     const std::string& local_root)
    : cable_path_(TempCablePath()),
      module_(WithCable(cable_path_, module_args)),
      local_files_({{'C', local_root}}, false) {
  std::string error;
  port_ = VirtualCable::Open(cable_path_, 0, &error);
  program_ = std::make_unique<LinkLayer>(*port_, kDefaultPortBase, SystemClock());
  program_->SetTimeoutHandler([](const std::string&) { return TimeoutAnswer::kCancel; });
  link_ = std::make_unique<Link>(local_files_, program_.get());
}

ModuleProcessLink::~ModuleProcessLink() {
  module_.Stop();
  unlink(cable_path_.c_str());
}

bool ModuleProcessLink::Connect() { return port_ && SyncRemoteWithin(*program_, 30); }

int ModuleProcessLink::DisconnectAndStop() {
  link_->LinkNop();
  program_->set_connected(false);
  return module_.Stop();
}

}  // namespace duplane
