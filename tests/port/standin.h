// The port tests' view of the ppdev stand-in (ppdev_standin.c): the fake
// /proc/sys/dev/parport tree a test builds, what the stand-in's ports are
// wired to, and the stand-in's log of opens, claims and direct I/O attempts.
// The stand-in reads its settings from the environment at each open, so one
// test process can change them between ports, and a child process takes the
// values current when it starts.
#pragma once

#include <cstdint>
#include <string>

#include "support/file_tree.h"

namespace duplane {

class Standin {
 public:
  Standin();
  ~Standin();
  Standin(const Standin&) = delete;
  Standin& operator=(const Standin&) = delete;

  // parportN with its base address (written in decimal, as the kernel does)
  // and its modes.
  void AddPort(int index, std::uint16_t base, const std::string& modes = "PCSPP,TRISTATE");
  // Another driver registered on the port (the printer driver "lp", say);
  // `active` when it holds the port claimed right now.
  void RegisterDriver(int index, const std::string& name, bool active = false);

  // The ports open as end `end` of the virtual cable at `path`; their status
  // line i shows the other end's data line wiring[i].
  void WireToCable(const std::string& path, int end, const std::string& wiring = "01234");
  // The ports open with a loopback plug: status line i shows data line
  // wiring[i] ("01234" wired right).
  void WireLoopback(const std::string& wiring);
  // Every first status read after the other end moved shows its new strobe
  // with its old nibble.
  void TearStatusReads(bool on);
  // Every status read fails (EIO), as on a port that went away.
  void FailStatusReads(bool on);

  std::string Log() const;
  const std::string& proc_root() const { return proc_.path(); }

 private:
  TempFolder proc_{"parport"};
  std::string log_path_;
};

}  // namespace duplane
