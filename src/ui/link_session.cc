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
  if (timeout_handler_) layer_->SetTimeoutHandler(timeout_handler_);
  if (pump_) layer_->SetPumpEvents(pump_);
  link_ = std::make_unique<Link>(local_, layer_.get());
}

void LinkSession::SetTimeoutHandler(std::function<TimeoutAnswer(const std::string&)> handler) {
  timeout_handler_ = std::move(handler);
  if (layer_ != nullptr) layer_->SetTimeoutHandler(timeout_handler_);
}

void LinkSession::SetPumpEvents(std::function<void()> pump) {
  pump_ = std::move(pump);
  if (layer_ != nullptr) layer_->SetPumpEvents(pump_);
}

}  // namespace duplane
