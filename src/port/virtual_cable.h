// The virtual cable: two ends of the parallel link on one machine, as two
// processes sharing a 4096-byte file, or as two threads sharing a buffer. Each
// end behaves as a port whose data register is its own byte and whose status
// register shows the other end's data bits 0-4 the way the nibble cable wires
// them (bits 3-7, bit 7 inverted).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "port/port_access.h"

namespace duplane {

constexpr std::uint16_t kDefaultPortBase = 0x378;

class VirtualCable : public PortAccess {
 public:
  static constexpr std::size_t kFileSize = 4096;
  static constexpr std::size_t kEndOffset[2] = {0, 64};

  // Opens (creating or extending to 4096 zero bytes when needed) the cable file
  // and maps it shared. `end` is 0 (the program) or 1 (the Remote Module).
  static std::unique_ptr<VirtualCable> Open(const std::string& path, int end, std::string* error,
                                            std::uint16_t base = kDefaultPortBase);
  // Both ends of one in-process cable, for two threads of a test.
  static std::pair<std::unique_ptr<VirtualCable>, std::unique_ptr<VirtualCable>> CreatePair(
      std::uint16_t base = kDefaultPortBase);

  ~VirtualCable() override;
  VirtualCable(const VirtualCable&) = delete;
  VirtualCable& operator=(const VirtualCable&) = delete;

  std::uint8_t ReadPort(std::uint32_t address) override;
  void WritePort(std::uint32_t address, std::uint8_t value) override;

 private:
  struct Shared;
  VirtualCable(std::shared_ptr<Shared> shared, int end, std::uint16_t base);

  std::shared_ptr<Shared> shared_;
  std::uint8_t* own_;
  std::uint8_t* other_;
  std::uint16_t base_;
  std::uint8_t last_status_ = 0;
  unsigned same_reads_ = 0;
};

}  // namespace duplane
