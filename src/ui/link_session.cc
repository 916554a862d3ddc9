// Link session: rebuilds the layer and the Link object around a new port.
#include "ui/link_session.h"

#include <utility>

namespace duplane {

LinkSession::LinkSession(LocalFileSystem& local)
    : local_(local), link_(std::make_unique<Link>(local, nullptr)) {}

LinkSession::~LinkSession() = default;

void LinkSession::AttachPort(std::unique_ptr<PortAccess> port, std::uint16_t base, bool fixed) {
  link_ = std::make_unique<Link>(local_, nullptr);
  layer_.reset();
  port_ = std::move(port);
  base_ = base;
  fixed_ = fixed;
  if (port_ == nullptr) return;
  layer_ = std::make_unique<LinkLayer>(*port_, base_, *clock_);
  InstallTimeoutHandler();
  if (pump_) layer_->SetPumpEvents(pump_);
  link_ = std::make_unique<Link>(local_, layer_.get());
}

void LinkSession::SetTimeoutHandler(std::function<TimeoutAnswer(const std::string&)> handler) {
  timeout_handler_ = std::move(handler);
  InstallTimeoutHandler();
}

// A port whose accesses failed says why under the time-out's own line.
void LinkSession::InstallTimeoutHandler() {
  if (layer_ == nullptr || !timeout_handler_) return;
  layer_->SetTimeoutHandler([this](const std::string& message) {
    const std::string fault = port_->Fault();
    return timeout_handler_(fault.empty() ? message : message + "\r" + fault);
  });
}

void LinkSession::SetPumpEvents(std::function<void()> pump) {
  pump_ = std::move(pump);
  if (layer_ != nullptr) layer_->SetPumpEvents(pump_);
}

}  // namespace duplane
