// Single-instance rule over QLocalServer/QLocalSocket, which works on Linux and
// Windows alike. A stale socket left by a crashed instance does not count as a
// running instance: nobody answers on it, so it is removed and reused. A socket
// somebody answers on is never removed, and instances starting at the same
// moment take turns (a lock file beside the socket), so that exactly one runs.
#include "ui/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
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
  // Held while asking and listening: the next instance asks only after this
  // one listens. Should the lock file be out of reach the rule of Listen still
  // holds; only two starts at the same instant are less certain.
  QLockFile turn(QDir(QDir::tempPath()).filePath(name_ + QStringLiteral(".lock")));
  turn.lock();
  return !Listen();
}

bool SingleInstance::AskEarlierInstance() {
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
  return false;
}

bool SingleInstance::Listen() {
  // Listening with access options replaces whatever socket has the name, a
  // live one too. So the name goes to this instance only when nobody answers
  // on it: a socket left by a crashed instance.
  if (AskEarlierInstance()) return false;
  QLocalServer::removeServer(name_);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  server_->listen(name_);
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
  return true;
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
      // The platform's restore: back to the state before minimising, which
      // may be maximised (showNormal would drop that).
      window_->setWindowState((window_->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    }
    window_->raise();
    window_->activateWindow();
  }
  emit Activated();
}

}  // namespace duplane
