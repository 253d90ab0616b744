// The operating-system services `qzt serve` needs beyond the standard
// library. Every such call of the server lives in serve_platform.cpp.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qzt::serve::platform {

// IPv4 addresses of the network interfaces that are up, loopback left out.
std::vector<std::string> lanAddresses();

// A line typed on the terminal without echo, after `prompt` on stderr;
// none when standard input is not a terminal.
std::optional<std::string> askWithoutEcho(const std::string& prompt);

// Raises the limit of open files to what the system allows, so a hall of
// browsers is not refused for want of file descriptors.
void raiseOpenFileLimit();

// Makes SIGINT and SIGTERM wait for waitForStop() instead of ending the
// process. Call before any thread starts, so every thread inherits it.
void holdStopSignals();
// True when SIGINT or SIGTERM arrived within `milliseconds`.
bool waitForStop(int milliseconds);

}  // namespace qzt::serve::platform
