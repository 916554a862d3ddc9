// The parallel ports this computer has, as its kernel lists them, and the
// texts that name them in messages: a port that is not found is reported with
// the ports that are.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace duplane {

struct SystemPort {
  int number = 0;    // N of parportN and /dev/parportN
  std::string name;  // "parport1"
  std::uint16_t base = 0;
  std::string modes;  // as the kernel lists them: "PCSPP,TRISTATE,EPP"
};

// Where the kernel lists its ports (Linux); empty elsewhere.
extern const char kSystemPortsRoot[];

// The sentence for a system that lists no port: where it was asked, and what
// to do about it.
std::string NoSystemPortsText();

// In order of their numbers; empty where the system lists none (no parport
// driver loaded on Linux, no LPT port in Windows' Device Manager). On Windows
// the number of LPTn is n - 1, as Linux numbers parport0 for LPT1.
std::vector<SystemPort> ListSystemPorts();

// The other drivers registered on port `number` ("lp" while the printer
// driver is loaded), and the one that holds it claimed right now ("" for none).
std::vector<std::string> PortDrivers(int number);
std::string PortHolder(int number);

// "0x378", "0xD010": how an I/O address appears in every message.
std::string HexAddress(std::uint16_t address);

// "parport0 at 0x378, parport1 at 0xD010", or NoSystemPortsText().
std::string DescribeSystemPorts(const std::vector<SystemPort>& ports);

}  // namespace duplane
