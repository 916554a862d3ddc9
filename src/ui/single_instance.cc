// Single-instance rule over QLocalServer/QLocalSocket, which works on Linux and
// Windows alike. A stale socket left by a crashed instance does not count as a
// running instance: nobody answers on it, so it is removed and reused.
#include "ui/single_instance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace duplane {
namespace {

constexpr int kConnectWaitMs = 500;
const char kActivate[] = "activate\n";

}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultName() {
#ifdef Q_OS_UNIX
  return QStringLiteral("duplane-%1").arg(getuid());
#else
  return QStringLiteral("duplane-") + qEnvironmentVariable("USERNAME");
#endif
}

bool SingleInstance::EarlierInstanceRuns() {
  {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (socket.waitForConnected(kConnectWaitMs)) {
      socket.write(kActivate);
      socket.waitForBytesWritten(kConnectWaitMs);
      socket.disconnectFromServer();
      return true;
    }
  }
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(name_)) {
    QLocalServer::removeServer(name_);
    server_->listen(name_);
  }
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
  return false;
}

void SingleInstance::OnNewConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (socket->readAll().contains("activate")) BringToFront();
    });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
  }
}

void SingleInstance::BringToFront() {
  if (window_ != nullptr) {
    if (window_->isMinimized()) {
      window_->setWindowState((window_->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
      window_->showNormal();
    } else {
      window_->raise();
    }
    window_->activateWindow();
  }
  emit Activated();
}

}  // namespace duplane
