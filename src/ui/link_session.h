// The link state the window reaches every Link operation through: the local
// branch (always there), and once a port is open the link layer over it with
// the Remote branch. The port is replaced when a different LPT base address is
// chosen, so callers ask for link() afresh each time instead of keeping it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/link.h"
#include "link/link_layer.h"
#include "port/port_access.h"

namespace duplane {

class LinkSession {
 public:
  explicit LinkSession(LocalFileSystem& local);
  ~LinkSession();

  Link& link() { return *link_; }
  LinkLayer* layer() { return layer_.get(); }

  // The Connected flag lives in the link layer, whose waits read it; without
  // a port there is no connection.
  bool connected() const { return layer_ != nullptr && layer_->connected(); }
  void set_connected(bool value) {
    if (layer_ != nullptr) layer_->set_connected(value);
  }

  // Takes a port. `fixed` ports (a virtual cable) serve whatever base address
  // the settings name; a hardware port serves only its own.
  void AttachPort(std::unique_ptr<PortAccess> port, std::uint16_t base, bool fixed);
  bool HasPortFor(std::uint16_t base) const {
    return port_ != nullptr && (fixed_ || base_ == base);
  }

  // The program runs over a virtual cable named on its command line: no LPT
  // port is chosen, checked or named then.
  void set_over_virtual_cable(bool value) { over_virtual_cable_ = value; }
  bool over_virtual_cable() const { return over_virtual_cable_; }

  // The clock of the link layers created from now on (tests step it instead
  // of waiting out the 10-second time-outs).
  void SetClock(LinkClock& clock) { clock_ = &clock; }

  // Installed on every link layer this session creates.
  void SetTimeoutHandler(std::function<TimeoutAnswer(const std::string&)> handler);
  void SetPumpEvents(std::function<void()> pump);

 private:
  void InstallTimeoutHandler();

  LocalFileSystem& local_;
  std::unique_ptr<PortAccess> port_;
  std::uint16_t base_ = 0;
  bool fixed_ = false;
  bool over_virtual_cable_ = false;
  LinkClock* clock_ = &SystemClock();
  std::unique_ptr<LinkLayer> layer_;
  std::unique_ptr<Link> link_;
  std::function<TimeoutAnswer(const std::string&)> timeout_handler_;
  std::function<void()> pump_;
};

}  // namespace duplane
