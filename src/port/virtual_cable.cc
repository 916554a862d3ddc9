// The virtual cable's two data bytes, shared through a mapped file or an
// in-process buffer, and the register view each end has of them.
#include "port/virtual_cable.h"

#include "port/port_registers.h"
#include "port/virtual_cable_file.h"

namespace duplane {
namespace {

// A status value read this many times in a row gives up the processor; after
// kSleepAfter the end naps for a few microseconds instead, so that two polling
// ends (or several cables at once) on a machine with few cores do not starve
// each other. Neither changes a value that is read, only how often.
constexpr unsigned kYieldAfter = 200;
constexpr unsigned kSleepAfter = 200 * 100;

std::uint8_t LoadByte(const std::uint8_t* at) { return __atomic_load_n(at, __ATOMIC_ACQUIRE); }
void StoreByte(std::uint8_t* at, std::uint8_t value) {
  __atomic_store_n(at, value, __ATOMIC_RELEASE);
}

}  // namespace

struct VirtualCable::Shared {
  std::uint8_t* bytes = nullptr;
  bool mapped = false;
  alignas(64) std::uint8_t memory[kFileSize] = {};

  ~Shared() {
    if (mapped) UnmapCableFile(bytes, kFileSize);
  }
};

constexpr std::size_t VirtualCable::kEndOffset[2];

std::unique_ptr<VirtualCable> VirtualCable::Open(const std::string& path, int end,
                                                 std::string* error, std::uint16_t base) {
  auto fail = [&](const std::string& why) {
    if (error) *error = "Cannot open virtual cable " + path + ": " + why;
    return nullptr;
  };
  if (end != 0 && end != 1) return fail("the end must be 0 or 1");
  std::string why;
  void* map = MapCableFile(path, kFileSize, &why);
  if (map == nullptr) return fail(why);
  auto shared = std::make_shared<Shared>();
  shared->bytes = static_cast<std::uint8_t*>(map);
  shared->mapped = true;
  return std::unique_ptr<VirtualCable>(new VirtualCable(shared, end, base));
}

std::pair<std::unique_ptr<VirtualCable>, std::unique_ptr<VirtualCable>> VirtualCable::CreatePair(
    std::uint16_t base) {
  auto shared = std::make_shared<Shared>();
  shared->bytes = shared->memory;
  return {std::unique_ptr<VirtualCable>(new VirtualCable(shared, 0, base)),
          std::unique_ptr<VirtualCable>(new VirtualCable(shared, 1, base))};
}

VirtualCable::VirtualCable(std::shared_ptr<Shared> shared, int end, std::uint16_t base)
    : shared_(std::move(shared)),
      own_(shared_->bytes + kEndOffset[end]),
      other_(shared_->bytes + kEndOffset[1 - end]),
      base_(base) {}

VirtualCable::~VirtualCable() = default;

std::uint8_t VirtualCable::ReadPort(std::uint32_t address) {
  if (address == base_ + kLptData) return LoadByte(own_);
  if (address != base_ + kLptStatus) return 0xFF;
  const std::uint8_t status = StatusOfFarData(LoadByte(other_));
  if (status != last_status_) {
    last_status_ = status;
    same_reads_ = 0;
  } else if (++same_reads_ >= kYieldAfter) {
    if (same_reads_ >= kSleepAfter) {
      NapBriefly();
    } else if (same_reads_ % kYieldAfter == 0) {
      GiveUpProcessor();
    }
  }
  return status;
}

void VirtualCable::WritePort(std::uint32_t address, std::uint8_t value) {
  if (address == base_ + kLptData) StoreByte(own_, value);
  // The control register is accepted with no effect; anything else
  // is ignored as well.
}

}  // namespace duplane
