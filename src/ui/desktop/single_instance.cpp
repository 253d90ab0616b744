#include "desktop/single_instance.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "desktop/platform.h"

namespace qzt::ui {
namespace {

constexpr char kRestoreRequest[] = "restore\n";
constexpr int kConnectWaitMs = 1000;

// The socket's address, or false when the path does not fit one.
bool socketAddress(const QString& path, sockaddr_un& address) {
  const QByteArray bytes = QFile::encodeName(path);
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (bytes.isEmpty() || static_cast<std::size_t>(bytes.size()) >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
  return true;
}

}  // namespace

SingleInstance::SingleInstance(QString key, QObject* parent)
    : QObject(parent),
      name_(key.isEmpty() ? QStringLiteral("qzt-reader-") + platform::userKey() : std::move(key)),
      path_(QDir::isAbsolutePath(name_) ? name_ : QDir::cleanPath(QDir::tempPath()) + QLatin1Char('/') + name_) {}

SingleInstance::~SingleInstance() {
  const auto notifiers = findChildren<QSocketNotifier*>();
  for (QSocketNotifier* notifier : notifiers) {
    const int fd = static_cast<int>(notifier->socket());
    delete notifier;
    ::close(fd);
  }
  // The socket file goes with the reader, so the next start need not clear it.
  if (listenFd_ >= 0) ::unlink(QFile::encodeName(path_).constData());
}

bool SingleInstance::tellRunningReader() const {
  sockaddr_un address;
  if (!socketAddress(path_, address)) return false;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  // Bounds both the connect to a busy reader and the write.
  timeval wait{kConnectWaitMs / 1000, (kConnectWaitMs % 1000) * 1000};
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
  const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  if (connected) ::send(fd, kRestoreRequest, sizeof kRestoreRequest - 1, MSG_NOSIGNAL);
  ::close(fd);
  return connected;
}

bool SingleInstance::claim() {
  if (tellRunningReader()) return false;
  if (!listenAt()) {
    // Nobody answered, so a socket file left by a crashed reader is in the
    // way: remove it and listen again.
    ::unlink(QFile::encodeName(path_).constData());
    if (!listenAt()) return true;  // still the only reader; just unreachable
  }
  listenNotifier_ = new QSocketNotifier(listenFd_, QSocketNotifier::Read, this);
  connect(listenNotifier_, &QSocketNotifier::activated, this, &SingleInstance::acceptRequests);
  return true;
}

bool SingleInstance::listenAt() {
  sockaddr_un address;
  if (!socketAddress(path_, address)) return false;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  // Only this user may ask: the file is made with the socket's own mode.
  ::fchmod(fd, S_IRUSR | S_IWUSR);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, SOMAXCONN) != 0) {
    ::close(fd);
    return false;
  }
  ::chmod(address.sun_path, S_IRUSR | S_IWUSR);
  listenFd_ = fd;
  return true;
}

void SingleInstance::acceptRequests() {
  for (;;) {
    const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (client < 0) return;
    auto* notifier = new QSocketNotifier(client, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this, client, notifier] { readRequest(client, notifier); });
  }
}

void SingleInstance::readRequest(int fd, QSocketNotifier* notifier) {
  char bytes[256];
  const ssize_t got = ::recv(fd, bytes, sizeof bytes, 0);
  if (got > 0) {
    if (QByteArray::fromRawData(bytes, static_cast<qsizetype>(got)).startsWith("restore")) emit restoreRequested();
    return;
  }
  if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
  // The other start is done (or gone).
  notifier->setEnabled(false);
  notifier->setParent(nullptr);
  notifier->deleteLater();
  ::close(fd);
}

}  // namespace qzt::ui
