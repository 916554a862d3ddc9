// Wire verdicts for the port self-test.
#include "port/wire_check.h"

#include "port/port_registers.h"

namespace duplane {
namespace {

constexpr int kSendingPins[5] = {2, 3, 4, 5, 6};
constexpr int kReceivingPins[5] = {15, 13, 12, 10, 11};

std::string Data(const std::string& sender, int line) {
  return sender + "D" + std::to_string(line) + " (pin " + std::to_string(SendingPin(line)) + ")";
}

}  // namespace

std::uint8_t LinesOfStatus(std::uint8_t status) { return FarDataOfStatus(status); }

int SendingPin(int line) { return kSendingPins[line]; }
int ReceivingPin(int line) { return kReceivingPins[line]; }

std::string ReceivingPins(std::uint8_t lines) {
  std::string text;
  for (int i = 0; i < 5; ++i) {
    if (!(lines & (1u << i))) continue;
    text += (text.empty() ? "pin " : ", pin ") + std::to_string(ReceivingPin(i));
  }
  return text.empty() ? "none" : text;
}

std::vector<std::string> JudgeWires(const std::uint8_t seen[5], const std::string& sender) {
  std::vector<std::string> faults;
  bool reported[5] = {};
  for (int i = 0; i < 5; ++i) {
    const std::uint8_t want = static_cast<std::uint8_t>(1u << i);
    if (seen[i] == want || reported[i]) continue;
    if (seen[i] == 0) {
      faults.push_back(Data(sender, i) + " reaches no line: its wire to pin " +
                       std::to_string(ReceivingPin(i)) + " is broken");
      continue;
    }
    // Di arrives on exactly one other line j: swapped with Dj when Dj arrives
    // on line i.
    int partner = -1;
    for (int j = 0; j < 5; ++j) {
      if (j != i && seen[i] == (1u << j) && seen[j] == want) partner = j;
    }
    if (partner >= 0) {
      faults.push_back(Data(sender, i) + " and " + Data(sender, partner) +
                       " are swapped: each arrives on the other's pin (" +
                       std::to_string(ReceivingPin(i)) + ", " +
                       std::to_string(ReceivingPin(partner)) + ")");
      reported[partner] = true;
      continue;
    }
    faults.push_back(Data(sender, i) + " arrives on " + ReceivingPins(seen[i]) +
                     " instead of pin " + std::to_string(ReceivingPin(i)) +
                     ((seen[i] & want) ? ": its wire touches another" : ""));
  }
  if (faults.empty()) faults.push_back("all five wires are right");
  return faults;
}

}  // namespace duplane
