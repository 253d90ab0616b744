#include "http_server.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>

#include <cctype>
#include <cstring>

namespace qzt::serve {
namespace {

struct Pending {
  std::string body;
  bool tooLarge = false;
};

MHD_Result collect(void* target, MHD_ValueKind, const char* key, const char* value) {
  auto* map = static_cast<std::map<std::string, std::string>*>(target);
  std::string name = key ? key : "";
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  map->emplace(std::move(name), value ? value : "");
  return MHD_YES;
}

MHD_Result collectExact(void* target, MHD_ValueKind, const char* key, const char* value) {
  static_cast<std::map<std::string, std::string>*>(target)->emplace(key ? key : "", value ? value : "");
  return MHD_YES;
}

// The path is left as sent: the API decodes it itself and refuses
// encoded separators.
size_t keepEscapes(void*, MHD_Connection*, char* s) { return std::strlen(s); }

MHD_Result answer(void* cls, MHD_Connection* connection, const char* url, const char* method,
                  const char*, const char* uploadData, size_t* uploadSize, void** state) {
  auto* server = static_cast<HttpServer*>(cls);
  if (*state == nullptr) {
    *state = new Pending;
    return MHD_YES;
  }
  auto* pending = static_cast<Pending*>(*state);
  if (*uploadSize > 0) {
    if (!pending->tooLarge && pending->body.size() + *uploadSize <= server->limits().bodyBytes) {
      pending->body.append(uploadData, *uploadSize);
    } else {
      pending->tooLarge = true;
      pending->body.clear();
    }
    *uploadSize = 0;
    return MHD_YES;
  }
  Request request;
  request.method = method;
  request.path = url;
  request.body = std::move(pending->body);
  request.bodyTooLarge = pending->tooLarge;
  MHD_get_connection_values(connection, MHD_HEADER_KIND, collect, &request.headers);
  MHD_get_connection_values(connection, MHD_COOKIE_KIND, collectExact, &request.cookies);
  MHD_get_connection_values(connection, MHD_GET_ARGUMENT_KIND, collectExact, &request.query);
  Response response = server->handler()(request);
  MHD_Response* reply = MHD_create_response_from_buffer(response.body.size(), response.body.data(),
                                                        MHD_RESPMEM_MUST_COPY);
  if (reply == nullptr) return MHD_NO;
  MHD_add_response_header(reply, "Content-Type", response.contentType.c_str());
  MHD_add_response_header(reply, "X-Content-Type-Options", "nosniff");
  MHD_add_response_header(reply, "Cache-Control", "no-store");
  for (const auto& [name, value] : response.headers) {
    MHD_add_response_header(reply, name.c_str(), value.c_str());
  }
  const MHD_Result queued = MHD_queue_response(connection, static_cast<unsigned>(response.status), reply);
  MHD_destroy_response(reply);
  return queued;
}

void completed(void*, MHD_Connection*, void** state, MHD_RequestTerminationCode) {
  delete static_cast<Pending*>(*state);
  *state = nullptr;
}

}  // namespace

Result<std::unique_ptr<HttpServer>> HttpServer::start(const std::string& address, std::uint16_t port,
                                                      const ServerLimits& limits, Handler handler) {
  sockaddr_in bind{};
  bind.sin_family = AF_INET;
  bind.sin_port = htons(port);
  if (inet_pton(AF_INET, address.c_str(), &bind.sin_addr) != 1) {
    return Error{ErrorKind::Usage, "not an IPv4 address: " + address};
  }
  std::unique_ptr<HttpServer> server(new HttpServer(limits, std::move(handler)));
  // Every limit of the server, in one place.
  MHD_OptionItem options[] = {
      {MHD_OPTION_SOCK_ADDR, 0, &bind},
      {MHD_OPTION_CONNECTION_LIMIT, limits.connections, nullptr},
      {MHD_OPTION_CONNECTION_TIMEOUT, limits.idleTimeoutSeconds, nullptr},
      {MHD_OPTION_CONNECTION_MEMORY_LIMIT, static_cast<intptr_t>(limits.connectionMemory), nullptr},
      {MHD_OPTION_THREAD_POOL_SIZE, limits.threads, nullptr},
      {MHD_OPTION_LISTEN_BACKLOG_SIZE, 1024, nullptr},
      {MHD_OPTION_NOTIFY_COMPLETED, reinterpret_cast<intptr_t>(&completed), nullptr},
      {MHD_OPTION_UNESCAPE_CALLBACK, reinterpret_cast<intptr_t>(&keepEscapes), nullptr},
      {MHD_OPTION_END, 0, nullptr}};
  MHD_Daemon* daemon = MHD_start_daemon(
      MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL, port, nullptr,
      nullptr, &answer, server.get(), MHD_OPTION_ARRAY, options, MHD_OPTION_END);
  if (daemon == nullptr) return Error::io("cannot listen on " + address + ":" + std::to_string(port));
  server->daemon_ = daemon;
  const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon, MHD_DAEMON_INFO_BIND_PORT);
  server->port_ = info ? info->port : port;
  return server;
}

void HttpServer::stop() {
  if (daemon_ == nullptr) return;
  MHD_stop_daemon(static_cast<MHD_Daemon*>(daemon_));
  daemon_ = nullptr;
}

HttpServer::~HttpServer() { stop(); }

}  // namespace qzt::serve
