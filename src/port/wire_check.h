// Judging the five wires of a nibble cable from a walk of a single 1 across
// the sending end's data lines D0-D4 (pins 2-6): what the receiving end's
// status lines (pins 15, 13, 12, 10, 11, read as the sender's levels) showed
// at each step says which wire is broken, swapped or touching another.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace duplane {

// The five lines as levels, bit i = the far data line Di: status bits 3-7,
// with bit 7's inversion by the port undone.
std::uint8_t LinesOfStatus(std::uint8_t status);

// "pin 15 pin 13 ..." style text of the lines set in `lines`, or "none".
std::string ReceivingPins(std::uint8_t lines);
int SendingPin(int line);    // D0 -> 2 ... D4 -> 6
int ReceivingPin(int line);  // S3 -> 15, S4 -> 13, S5 -> 12, S6 -> 10, S7 -> 11

// `seen[i]`: the lines while Di alone was high. One sentence per fault, or a
// single sentence saying all five wires are right. `sender` names the sending
// end in the sentences ("" for this port, through a loopback plug).
std::vector<std::string> JudgeWires(const std::uint8_t seen[5], const std::string& sender);

}  // namespace duplane
