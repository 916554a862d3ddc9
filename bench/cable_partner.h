// A partner process on end 1 of a fresh virtual cable that plays, on the
// program's word, either part a benchmark compares: the raw link (blocks
// straight through GetBlock / SendBlock) or the Remote Module (the session
// and dispatcher duplane-remote runs). Both figures of a ratio then come from
// the same process, polling the same way on the same cable.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

#include "link/link_layer.h"
#include "port/virtual_cable.h"

namespace duplane {

class CablePartner {
 public:
  // The Remote Module part serves `remote_folder` as drive C:.
  explicit CablePartner(const std::string& remote_folder);
  ~CablePartner();
  CablePartner(const CablePartner&) = delete;
  CablePartner& operator=(const CablePartner&) = delete;

  bool started() const { return port_ != nullptr; }
  pid_t pid() const { return pid_; }
  // The program's end of the cable.
  PortAccess& port() { return *port_; }

  // Synchronises and moves `bytes` in 8192-byte blocks to the partner or from
  // it; returns the seconds from the first block to the hand-over.
  double RawTransfer(LinkLayer& program, bool to_partner, long bytes);
  // The partner answers as the Remote Module from now until the program
  // sends code 0; the program synchronises next.
  void ServeModule();

 private:
  struct Order {
    char part;  // 'u' raw to the partner, 'd' raw from it, 'm' module, 'q' quit
    long bytes;
  };
  void Tell(const Order& order);
  static void Run(VirtualCable& port, int orders, const std::string& remote_folder);

  pid_t pid_ = -1;
  int orders_ = -1;
  std::string cable_;
  std::unique_ptr<VirtualCable> port_;
};

}  // namespace duplane
