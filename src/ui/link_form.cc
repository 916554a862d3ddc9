// Port holder. The cable is opened at creation so a second program on the same
// cable file sees this end at once; a hardware port is only claimed at Connect.
#include "ui/link_form.h"

#include "port/virtual_cable.h"
#include "ui/link_session.h"

namespace duplane {

TLinkForm::TLinkForm(LinkSession& session, QString cable_path, QWidget* parent)
    : QWidget(parent), session_(session), cable_path_(std::move(cable_path)) {
  setObjectName("LinkForm");
  if (!cable_path_.isEmpty()) {
    std::string ignored;  // reported at Connect, where the user asks for the link
    OpenCable(&ignored);
  }
}

bool TLinkForm::OpenCable(std::string* error) {
  auto cable = VirtualCable::Open(cable_path_.toStdString(), /*end=*/0, error);
  if (cable == nullptr) return false;
  session_.AttachPort(std::move(cable), kDefaultPortBase, /*fixed=*/true);
  return true;
}

bool TLinkForm::OpenPort(std::uint16_t base, std::string* error) {
  if (session_.HasPortFor(base)) return true;
  if (!cable_path_.isEmpty()) return OpenCable(error);
  auto port = OpenHardwarePort(base, error);
  if (port == nullptr) return false;
  session_.AttachPort(std::move(port), base, /*fixed=*/false);
  return true;
}

}  // namespace duplane
