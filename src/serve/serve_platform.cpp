#include "serve_platform.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <ctime>
#include <iostream>

namespace qzt::serve::platform {

std::vector<std::string> lanAddresses() {
  std::vector<std::string> out;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return out;
  for (ifaddrs* i = list; i != nullptr; i = i->ifa_next) {
    if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET) continue;
    if ((i->ifa_flags & IFF_UP) == 0 || (i->ifa_flags & IFF_LOOPBACK) != 0) continue;
    char text[INET_ADDRSTRLEN] = {};
    const auto* in = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
    if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof text) != nullptr) out.emplace_back(text);
  }
  freeifaddrs(list);
  return out;
}

std::optional<std::string> askWithoutEcho(const std::string& prompt) {
  if (isatty(STDIN_FILENO) == 0) return std::nullopt;
  termios before{};
  if (tcgetattr(STDIN_FILENO, &before) != 0) return std::nullopt;
  termios quiet = before;
  quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  std::cerr << prompt << std::flush;
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  std::string line;
  std::getline(std::cin, line);
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &before);
  std::cerr << '\n';
  return line;
}

void raiseOpenFileLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
  limit.rlim_cur = limit.rlim_max;
  setrlimit(RLIMIT_NOFILE, &limit);
}

namespace {
sigset_t stopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}
}  // namespace

void holdStopSignals() {
  const sigset_t set = stopSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

bool waitForStop(int milliseconds) {
  const sigset_t set = stopSignals();
  timespec wait{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1'000'000L};
  return sigtimedwait(&set, nullptr, &wait) > 0;
}

}  // namespace qzt::serve::platform
