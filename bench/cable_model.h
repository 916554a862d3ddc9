// What the counted traffic costs on a real cable. The cable has no clock: a
// nibble takes as long as the port accesses along the handshake, and every
// access costs the same bus time (about 1 us on an ISA or LPC port), plus a
// system call where the port is reached through a driver (ppdev on Linux,
// IOPORT.SYS on Windows NT). Both ends run the same steps in mirror image, so
// the program end's counts give the whole path:
//
//   per nibble: the sender writes it, the receiver's poll sees it, the
//   receiver reads it, the receiver writes its acknowledge, the sender's poll
//   sees that: three accesses plus two waits. A wait costs 1.5 accesses on
//   average (the other end's write lands anywhere in a poll).  -> 6 accesses
//   per exchange: the ready strobe before the request and its wait, the
//   module's second ready write and immediate poll, the two hand-overs'
//   control writes.                                            -> 9 accesses
//
// The Remote Module's own work (the disk) is not in it.
#pragma once

#include <string>

#include "counting_port.h"

namespace duplane {

struct CableModel {
  std::string name;
  double access_us = 1.0;  // one port access on the bus
  double call_us = 0.0;    // the system call around each access; 0 for direct port I/O

  static constexpr double kAccessesPerNibble = 6.0;
  static constexpr double kAccessesPerExchange = 9.0;

  double PerAccessUs() const { return access_us + call_us; }
  // Port accesses along the handshake for these counts.
  static double PathAccesses(const WireCounts& counts);
  double Seconds(const WireCounts& counts) const;
};

// The cost of one ioctl that reads a value from a character device on this
// machine, in microseconds: the system call a ppdev port access adds to the
// bus access. The smallest of several rounds, so other load counts least.
double MeasureIoctlMicroseconds();

}  // namespace duplane
