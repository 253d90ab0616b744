// The HTTP server under `qzt serve`: a small wrapper around libmicrohttpd
// that turns each request into a Request for one handler. Every limit is
// in ServerLimits, set in one table where the server starts.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "http_types.h"
#include "util/result.h"

namespace qzt::serve {

struct ServerLimits {
  unsigned connections = 4000;       // open at once; more are refused
  unsigned idleTimeoutSeconds = 60;  // a silent connection is closed
  std::size_t connectionMemory = 64 * 1024;  // request line + headers per connection
  std::size_t bodyBytes = 256 * 1024;        // larger bodies get 413
  unsigned threads = 8;              // handlers wait on fsync; more threads than cores
};

using Handler = std::function<Response(const Request&)>;

class HttpServer {
 public:
  // Listens on `address` (IPv4 dotted, or "0.0.0.0") and `port` (0: any
  // free port). An Io error when it cannot.
  static Result<std::unique_ptr<HttpServer>> start(const std::string& address, std::uint16_t port,
                                                   const ServerLimits& limits, Handler handler);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  std::uint16_t port() const { return port_; }
  // Stops taking requests and waits for the ones running.
  void stop();

  // Internal, for the C callbacks.
  const Handler& handler() const { return handler_; }
  const ServerLimits& limits() const { return limits_; }

 private:
  HttpServer(ServerLimits limits, Handler handler) : limits_(limits), handler_(std::move(handler)) {}

  ServerLimits limits_;
  Handler handler_;
  void* daemon_ = nullptr;
  std::uint16_t port_ = 0;
};

}  // namespace qzt::serve
