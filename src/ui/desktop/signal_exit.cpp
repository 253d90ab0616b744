#include "desktop/signal_exit.h"

#include <QSocketNotifier>
#include <QtGlobal>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace qzt::ui {

#if defined(Q_OS_UNIX)
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int pipeEnds[2] = {-1, -1};  // [0] written by the handler, [1] read by the loop

extern "C" void onSignal(int number) {
  const int saved = errno;
  const char byte = static_cast<char>(number);
  // A full pipe already holds a request; losing this one changes nothing.
  [[maybe_unused]] const ssize_t written = ::write(pipeEnds[0], &byte, 1);
  errno = saved;
}

bool openPipe() {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeEnds) != 0) return false;
  ::fcntl(pipeEnds[0], F_SETFL, ::fcntl(pipeEnds[0], F_GETFL) | O_NONBLOCK);
  return true;
}

void closePipe() {
  for (int& end : pipeEnds) {
    if (end >= 0) ::close(end);
    end = -1;
  }
}

void setHandler(void (*handler)(int)) {
  struct sigaction action = {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int number : kSignals) ::sigaction(number, &action, nullptr);
}

}  // namespace

SignalExit::SignalExit(QObject* parent) : QObject(parent) {
  if (pipeEnds[0] >= 0 || !openPipe()) return;
  notifier_ = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &SignalExit::readPipe);
  setHandler(onSignal);
}

SignalExit::~SignalExit() {
  if (!notifier_) return;
  setHandler(SIG_DFL);
  delete notifier_;
  closePipe();
}

void SignalExit::readPipe() {
  char byte = 0;
  if (::read(pipeEnds[1], &byte, 1) != 1) return;
  emit requested(static_cast<unsigned char>(byte));
}

#else

SignalExit::SignalExit(QObject* parent) : QObject(parent) {}
SignalExit::~SignalExit() = default;
void SignalExit::readPipe() {}

#endif

}  // namespace qzt::ui
