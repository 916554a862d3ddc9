// The port self-test. The walk repeats a cycle of six steps: a marker with
// all five data lines high, then D0 to D4 alone. Through a loopback plug each
// step shows on this port's own status lines at once, the same in every
// cycle. Between two PCs running the probe the other end's cycles arrive out
// of phase with ours; its marker shows where one starts, and the middle of
// each following step says which of its lines arrives where.
#include "link/port_probe.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "link/port_access.h"
#include "link/system_ports.h"
#include "link/wire_check.h"

namespace duplane {
namespace {

constexpr int kSteps = 6;  // marker, D0..D4
constexpr std::uint8_t kMarker = 0x1F;

struct Sample {
  std::uint64_t ms;
  std::uint8_t lines;
};

class Probe {
 public:
  Probe(PortAccess& port, std::uint16_t base, const std::function<void(const std::string&)>& print,
        LinkClock& clock, ProbeTiming timing)
      : port_(port), base_(base), print_(print), clock_(clock), timing_(timing) {}

  bool Run() {
    port_.WritePort(base_ + 2u, 0x04);  // data lines driven, as the link has them
    const bool data_ok = CheckDataRegister();
    print_("Other end's lines now (pins 15, 13, 12, 10, 11 as its D0-D4): " +
           ReceivingPins(Lines()));
    const bool wires_ok = Walk();
    TimeAccesses();
    port_.WritePort(base_, 0x00);
    return data_ok && wires_ok;
  }

 private:
  std::uint8_t Lines() { return LinesOfStatus(port_.ReadPort(base_ + 1u)); }

  bool CheckDataRegister() {
    std::string report = "Data register:";
    bool ok = true;
    for (std::uint8_t pattern : {0x55, 0xAA}) {
      port_.WritePort(base_, pattern);
      const std::uint8_t back = port_.ReadPort(base_);
      char text[48];
      std::snprintf(text, sizeof text, " wrote 0x%02X, read 0x%02X;", pattern, back);
      report += text;
      ok = ok && back == pattern;
    }
    print_(report + (ok ? " it keeps what is written" : " it does NOT keep what is written"));
    port_.WritePort(base_, 0x00);
    return ok;
  }

  static std::string StepName(int step) {
    if (step == 0) return "marker, D0-D4 (pins 2-6)";
    return "D" + std::to_string(step - 1) + " (pin " + std::to_string(SendingPin(step - 1)) + ")";
  }

  bool Walk() {
    char duration[32];
    std::snprintf(duration, sizeof duration, "%.1f s",
                  timing_.cycles * kSteps * timing_.step_ms / 1000.0);
    print_(std::string("Walking a single 1 across D0-D4 for ") + duration +
           "; run the probe on the other PC at the same time, or put a loopback plug in here:");
    std::vector<std::uint8_t> own(timing_.cycles * kSteps);  // our lines at each step's end
    std::vector<Sample> samples;
    for (int cycle = 0; cycle < timing_.cycles; ++cycle) {
      for (int step = 0; step < kSteps; ++step) {
        port_.WritePort(base_, step == 0 ? kMarker : static_cast<std::uint8_t>(1u << (step - 1)));
        const std::uint64_t end = clock_.TickCount() + timing_.step_ms;
        do {
          clock_.Sleep(1);
          samples.push_back({clock_.TickCount(), Lines()});
        } while (clock_.TickCount() < end);
        own[cycle * kSteps + step] = samples.back().lines;
        print_("  sending " + StepName(step) + ": other end shows " +
               ReceivingPins(samples.back().lines));
      }
    }
    port_.WritePort(base_, 0x00);
    if (Loopback(own)) {
      std::uint8_t seen[5];
      for (int i = 0; i < 5; ++i) seen[i] = own[i + 1];
      return Verdict("Loopback plug", JudgeWires(seen, ""));
    }
    std::uint8_t seen[5];
    if (OtherEndsWalk(samples, seen)) {
      Verdict("The other PC's walk", JudgeWires(seen, "its "));
      return true;  // what arrives here says nothing about this port
    }
    print_(
        "The lines did not follow a walk: no loopback plug here, and no probe running on "
        "the other PC (or no cable between them)");
    return true;
  }

  // Our own steps show on our own lines, identically in every cycle, and the
  // lines do follow them.
  static bool Loopback(const std::vector<std::uint8_t>& own) {
    for (std::size_t i = kSteps; i < own.size(); ++i) {
      if (own[i] != own[i % kSteps]) return false;
    }
    for (int step = 1; step < kSteps; ++step) {
      if (own[step] != own[0]) return true;
    }
    return false;
  }

  // The other end's steps: after the end of one of its markers (four or more
  // lines high: a broken wire leaves four), the middle of each step.
  bool OtherEndsWalk(const std::vector<Sample>& samples, std::uint8_t seen[5]) const {
    auto count = [](std::uint8_t lines) {
      int n = 0;
      for (; lines; lines &= lines - 1) ++n;
      return n;
    };
    for (std::size_t i = 1; i < samples.size(); ++i) {
      if (count(samples[i - 1].lines) < 4 || count(samples[i].lines) >= 4) continue;
      const std::uint64_t start = samples[i].ms;
      if (samples.back().ms < start + 5 * timing_.step_ms) return false;
      std::size_t at = i;
      for (int line = 0; line < 5; ++line) {
        const std::uint64_t middle = start + line * timing_.step_ms + timing_.step_ms / 2;
        while (at + 1 < samples.size() && samples[at].ms < middle) ++at;
        seen[line] = samples[at].lines;
      }
      return true;
    }
    return false;
  }

  bool Verdict(const std::string& what, const std::vector<std::string>& sentences) {
    for (const std::string& sentence : sentences) print_(what + ": " + sentence);
    return sentences.size() == 1 && sentences.front() == "all five wires are right";
  }

  // Each nibble costs about five port accesses one after another (the
  // sender's write, the receiver's poll that sees it, its nibble read and
  // its answer, the sender's poll that sees that); a byte is two nibbles.
  void TimeAccesses() {
    constexpr int kAccesses = 2000;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kAccesses / 2; ++i) {
      port_.ReadPort(base_ + 1u);
      port_.WritePort(base_, 0x00);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double per_access = seconds / kAccesses;
    char text[160];
    std::snprintf(text, sizeof text,
                  "Port access: %.2f microseconds; expect about %.0f bytes per second on this "
                  "port (if the other PC's port is as fast)",
                  per_access * 1e6, per_access > 0 ? 1.0 / (10 * per_access) : 0.0);
    print_(text);
  }

  PortAccess& port_;
  std::uint16_t base_;
  const std::function<void(const std::string&)>& print_;
  LinkClock& clock_;
  ProbeTiming timing_;
};

}  // namespace

bool ProbePort(std::uint16_t base, const std::function<void(const std::string&)>& print,
               LinkClock& clock, ProbeTiming timing) {
  std::string heading = "Port at " + HexAddress(base);
  for (const SystemPort& port : ListSystemPorts()) {
    if (port.base == base) heading += " (" + port.name + ", modes " + port.modes + ")";
  }
  print(heading);
  std::string error;
  std::string access;
  std::unique_ptr<PortAccess> port = OpenHardwarePort(base, &error, &access);
  if (port == nullptr) {
    print(error);
    return false;
  }
  print("Reached through " + access);
  return Probe(*port, base, print, clock, timing).Run();
}

}  // namespace duplane
