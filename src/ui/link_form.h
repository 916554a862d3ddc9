// The never-shown window that holds the port: a virtual cable given on the
// command line, or the hardware LPT port at the configured base address,
// opened when the user connects.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <string>

namespace duplane {

class LinkSession;

class TLinkForm : public QWidget {
  Q_OBJECT

 public:
  // An empty `cable_path` means the hardware port.
  TLinkForm(LinkSession& session, QString cable_path, QWidget* parent = nullptr);

  // Makes sure the session has a port for `base`. False with a one-line
  // reason when it cannot be opened.
  bool OpenPort(std::uint16_t base, std::string* error);

 private:
  bool OpenCable(std::string* error);

  LinkSession& session_;
  QString cable_path_;
};

}  // namespace duplane
