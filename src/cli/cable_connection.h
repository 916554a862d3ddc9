// duplane-cli's end of the cable: the port the command line names, the link
// layer over it, the synchronisation with the Remote Module (bounded in time,
// unlike the window's, so a script never hangs on a module that is not there)
// and the time-out policy of an unattended run: give up and report.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "cli/cli_options.h"
#include "link/link_layer.h"
#include "port/port_access.h"

namespace duplane {

class CableConnection {
 public:
  // `report` receives the link layer's time-out message.
  explicit CableConnection(std::function<void(const std::string&)> report);
  ~CableConnection();

  // Opens the port of --cable, --lpt or --base (LPT1 when none is given).
  // False with a one-line reason that names the port.
  bool Open(const CliOptions& options, std::string* error);
  // Synchronises with the Remote Module. False when it did not answer within
  // `timeout_seconds` or the run was interrupted meanwhile.
  bool Connect(int timeout_seconds, std::string* error);
  // Tells the Remote Module the session is over, so it waits for the next one.
  void Disconnect();

  LinkLayer* layer() { return layer_.get(); }
  bool connected() const { return layer_ != nullptr && layer_->connected(); }
  // A cable time-out ended the connection during the run.
  bool lost() const { return lost_; }

 private:
  std::function<void(const std::string&)> report_;
  std::string port_name_;
  std::unique_ptr<PortAccess> port_;
  std::unique_ptr<LinkLayer> layer_;
  bool lost_ = false;
};

}  // namespace duplane
