// A small HTTP/1.1 client over a raw socket, for talking to a real server
// on 127.0.0.1 the way a browser or a hostile script would.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <string>

namespace qzt::serve::testing {

struct Reply {
  int status = 0;
  std::map<std::string, std::string> headers;  // names lower-cased
  std::string body;
};

// Connects to 127.0.0.1:port; -1 on failure.
inline int connectLoopback(std::uint16_t port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    close(fd);
    return -1;
  }
  timeval timeout{10, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  return fd;
}

inline Reply parseReply(const std::string& raw) {
  Reply r;
  const auto headEnd = raw.find("\r\n\r\n");
  if (raw.size() < 12 || headEnd == std::string::npos) return r;
  r.status = std::stoi(raw.substr(9, 3));
  std::size_t at = raw.find("\r\n") + 2;
  while (at < headEnd) {
    const auto end = raw.find("\r\n", at);
    const std::string line = raw.substr(at, end - at);
    const auto colon = line.find(':');
    std::string name = line.substr(0, colon);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    r.headers[name] = colon == std::string::npos ? "" : line.substr(line.find_first_not_of(' ', colon + 1));
    at = end + 2;
  }
  r.body = raw.substr(headEnd + 4);
  return r;
}

// Sends `raw` as it is and reads until the server closes.
inline Reply rawExchange(std::uint16_t port, const std::string& raw) {
  const int fd = connectLoopback(port);
  if (fd < 0) return {};
  (void)!send(fd, raw.data(), raw.size(), MSG_NOSIGNAL);
  std::string in;
  char buffer[65536];
  ssize_t n;
  while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0) in.append(buffer, static_cast<std::size_t>(n));
  close(fd);
  return parseReply(in);
}

inline Reply request(std::uint16_t port, const std::string& method, const std::string& path,
                     const std::string& body = {}, const std::string& extraHeaders = {},
                     const std::string& contentType = "application/json") {
  std::string raw = method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" + extraHeaders;
  if (!body.empty() || method == "POST" || method == "PUT") {
    raw += "Content-Type: " + contentType + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n";
  }
  return rawExchange(port, raw + "\r\n" + body);
}

// "qzt_session=..." from a Set-Cookie header, as a Cookie header line.
inline std::string cookieLine(const Reply& r) {
  const auto found = r.headers.find("set-cookie");
  if (found == r.headers.end()) return {};
  return "Cookie: " + found->second.substr(0, found->second.find(';')) + "\r\n";
}

}  // namespace qzt::serve::testing
