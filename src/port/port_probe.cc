// The port self-test. The walk repeats a cycle of six steps: a marker with
// all five data lines high, then D0 to D4 alone. A loopback plug shows each
// of our writes on our own status lines at once, so each step's lines say
// where that data line arrives. Between two PCs running the probe the other
// end's cycles arrive out of phase with ours; its markers show where a cycle
// begins and ends, and the five steps between say where its lines arrive.
#include "port/port_probe.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "port/port_access.h"
#include "port/port_registers.h"
#include "port/system_ports.h"
#include "port/wire_check.h"

namespace duplane {
namespace {

constexpr int kSteps = 6;  // marker, D0..D4
constexpr std::uint8_t kMarker = kDataLines;

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
    port_.WritePort(base_ + kLptControl, kControlIdle);  // data lines driven, as the link has them
    const bool data_ok = CheckDataRegister();
    print_("Other end's lines now (pins 15, 13, 12, 10, 11 as its D0-D4): " +
           ReceivingPins(Lines()));
    const bool wires_ok = Walk();
    TimeAccesses();
    port_.WritePort(base_ + kLptData, 0x00);
    const std::string fault = port_.Fault();
    if (!fault.empty()) print_("The port failed: " + fault);
    return data_ok && wires_ok && fault.empty();
  }

 private:
  std::uint8_t Lines() { return LinesOfStatus(port_.ReadPort(base_ + kLptStatus)); }

  bool CheckDataRegister() {
    std::string report = "Data register:";
    bool ok = true;
    for (std::uint8_t pattern : {0x55, 0xAA}) {
      port_.WritePort(base_ + kLptData, pattern);
      const std::uint8_t back = port_.ReadPort(base_ + kLptData);
      char text[48];
      std::snprintf(text, sizeof text, " wrote 0x%02X, read 0x%02X;", pattern, back);
      report += text;
      ok = ok && back == pattern;
    }
    print_(report + (ok ? " it keeps what is written" : " it does NOT keep what is written"));
    port_.WritePort(base_ + kLptData, 0x00);
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
    const bool loopback = FollowsOwnWrites();
    std::vector<std::uint8_t> own(kSteps);  // the lines at the end of each step
    std::vector<Sample> samples;
    for (int cycle = 0; cycle < timing_.cycles; ++cycle) {
      for (int step = 0; step < kSteps; ++step) {
        port_.WritePort(base_ + kLptData,
                        step == 0 ? kMarker : static_cast<std::uint8_t>(1u << (step - 1)));
        const std::uint64_t end = clock_.TickCount() + timing_.step_ms;
        do {
          clock_.Sleep(1);
          samples.push_back({clock_.TickCount(), Lines()});
        } while (clock_.TickCount() < end);
        own[step] = samples.back().lines;
        print_("  sending " + StepName(step) + ": other end shows " +
               ReceivingPins(samples.back().lines));
      }
    }
    port_.WritePort(base_ + kLptData, 0x00);
    if (loopback) {
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

  // A loopback plug answers each of our writes at once, the same way every
  // time; the other PC's walk moves only every step_ms, whatever we write.
  bool FollowsOwnWrites() {
    constexpr std::uint8_t kPatterns[] = {0x00, 0x1F, 0x01, 0x02, 0x04, 0x08, 0x10};
    std::vector<std::uint8_t> answers[2];
    for (std::vector<std::uint8_t>& answer : answers) {
      for (std::uint8_t pattern : kPatterns) {
        port_.WritePort(base_ + kLptData, pattern);
        answer.push_back(Lines());
      }
    }
    port_.WritePort(base_ + kLptData, 0x00);
    if (answers[0] != answers[1]) return false;
    for (std::uint8_t lines : answers[0]) {
      if (lines != answers[0].front()) return true;
    }
    return false;
  }

  // The other end's walk, from the runs of equal samples: a run shorter than
  // a quarter step is a moment between two steps and does not count, and a
  // cycle is the five runs between two of its markers (four or more lines
  // high: a broken wire leaves four). Going by runs rather than by the clock
  // keeps the walk readable when either PC was busy for a moment.
  bool OtherEndsWalk(const std::vector<Sample>& samples, std::uint8_t seen[5]) const {
    std::vector<Sample> runs;  // the first sample of each run that counts
    std::size_t first = 0;
    for (std::size_t i = 1; i <= samples.size(); ++i) {
      if (i < samples.size() && samples[i].lines == samples[first].lines) continue;
      const std::uint64_t end = i < samples.size() ? samples[i].ms : samples[i - 1].ms;
      const bool counts = end - samples[first].ms >= timing_.step_ms / 4;
      if (counts && (runs.empty() || runs.back().lines != samples[first].lines)) {
        runs.push_back(samples[first]);
      }
      first = i;
    }
    auto marker = [](std::uint8_t lines) {
      int n = 0;
      for (; lines; lines &= lines - 1) ++n;
      return n >= 4;
    };
    for (std::size_t i = 0; i + 6 < runs.size(); ++i) {
      if (!marker(runs[i].lines) || !marker(runs[i + 6].lines)) continue;
      bool cycle = true;
      for (int line = 0; line < 5; ++line) {
        seen[line] = runs[i + 1 + line].lines;
        cycle = cycle && !marker(seen[line]);
      }
      if (cycle) return true;
    }
    return false;
  }

  bool Verdict(const std::string& what, const std::vector<std::string>& sentences) {
    for (const std::string& sentence : sentences) print_(what + ": " + sentence);
    return sentences.size() == 1 && sentences.front() == "all five wires are right";
  }

  // Per nibble the sender writes it, the receiver's poll sees it and reads
  // it, the receiver acknowledges and the sender's poll sees that: three
  // accesses and two waits, about six access times; a byte is two nibbles.
  void TimeAccesses() {
    constexpr int kAccesses = 2000;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kAccesses / 2; ++i) {
      port_.ReadPort(base_ + kLptStatus);
      port_.WritePort(base_ + kLptData, 0x00);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double per_access = seconds / kAccesses;
    char text[160];
    std::snprintf(text, sizeof text,
                  "Port access: %.2f microseconds; expect about %.0f bytes per second on this "
                  "port (if the other PC's port is as fast)",
                  per_access * 1e6, per_access > 0 ? 1.0 / (12 * per_access) : 0.0);
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
    if (port.base != base) continue;
    // Windows does not say which modes a port has.
    heading += " (" + port.name + (port.modes.empty() ? "" : ", modes " + port.modes) + ")";
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
