// Opening, synchronising and closing duplane-cli's end of the cable.
#include "cli/cable_connection.h"

#include <chrono>
#include <cstdio>
#include <utility>

#include "cli/interrupt.h"
#include "link/link.h"
#include "port/virtual_cable.h"

namespace duplane {

CableConnection::CableConnection(std::function<void(const std::string&)> report)
    : report_(std::move(report)) {}

CableConnection::~CableConnection() = default;

bool CableConnection::Open(const CliOptions& options, std::string* error) {
  std::uint16_t base = kDefaultPortBase;
  if (!options.cable_path.empty()) {
    port_name_ = "the virtual cable " + options.cable_path;
    port_ = VirtualCable::Open(options.cable_path, 0, error, base);
  } else {
    const int lpt = options.lpt != 0 ? options.lpt : 1;
    base = options.base != 0 ? options.base : LptBaseAddress(lpt);
    char name[48];
    std::snprintf(name, sizeof name, "the parallel port at 0x%X", base);
    port_name_ = options.base != 0 ? name : "LPT" + std::to_string(lpt) + " (" + name + ")";
    port_ = OpenHardwarePort(base, error);
  }
  if (port_ == nullptr) return false;
  layer_ = std::make_unique<LinkLayer>(*port_, base);
  layer_->SetTimeoutHandler([this](const std::string& message) {
    // Nobody may be there to answer Retry: the run gives up, and what the
    // engine does next fails at once and is reported file by file.
    lost_ = true;
    report_(message);
    return TimeoutAnswer::kCancel;
  });
  return true;
}

bool CableConnection::Connect(int timeout_seconds, std::string* error) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  const int interrupts = InterruptCount();
  layer_->SetPumpEvents([this, deadline, interrupts] {
    if (InterruptCount() != interrupts || std::chrono::steady_clock::now() >= deadline) {
      layer_->set_cancel(true);
    }
  });
  layer_->set_connected(true);
  layer_->set_cancel(false);
  layer_->SyncRemote();
  layer_->SetPumpEvents(nullptr);
  if (!layer_->cancel()) return true;
  layer_->set_connected(false);
  *error = InterruptCount() != interrupts
               ? "interrupted while waiting for the Remote Module on " + port_name_
               : "no Remote Module answered on " + port_name_ + " within " +
                     std::to_string(timeout_seconds) + " s";
  return false;
}

void CableConnection::Disconnect() {
  if (!connected()) return;
  // Operation code 0, LinkNop: the Remote Module goes back to waiting.
  layer_->SendCommand(kOpNop);
  layer_->WaitForAck();
  layer_->set_connected(false);
}

}  // namespace duplane
