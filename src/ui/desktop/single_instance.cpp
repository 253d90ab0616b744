#include "desktop/single_instance.h"

#include <QLocalServer>
#include <QLocalSocket>

#include "desktop/platform.h"

namespace qzt::ui {
namespace {

constexpr char kRestoreRequest[] = "restore\n";
constexpr int kConnectWaitMs = 1000;

}  // namespace

SingleInstance::SingleInstance(QString key, QObject* parent)
    : QObject(parent),
      name_(key.isEmpty() ? QStringLiteral("qzt-reader-") + platform::userKey() : std::move(key)) {}

bool SingleInstance::tellRunningReader() {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(kConnectWaitMs)) return false;
  socket.write(kRestoreRequest);
  socket.waitForBytesWritten(kConnectWaitMs);
  socket.disconnectFromServer();
  return true;
}

bool SingleInstance::claim() {
  if (tellRunningReader()) return false;
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(name_)) {
    // Nobody answered, so a socket file left by a crashed reader is in the
    // way: remove it and listen again.
    QLocalServer::removeServer(name_);
    if (!server_->listen(name_)) return true;  // still the only reader; just unreachable
  }
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptRequest);
  return true;
}

void SingleInstance::acceptRequest() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (socket->readAll().startsWith("restore")) emit restoreRequested();
    });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
  }
}

}  // namespace qzt::ui
