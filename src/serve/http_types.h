// One HTTP request and its response as the API sees them: plain values,
// so the API runs (and is fuzzed) without a network.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace qzt::serve {

struct Request {
  std::string method;  // "GET", "POST", ...
  std::string path;    // as sent: not yet percent-decoded, no query
  std::map<std::string, std::string> query;    // raw values
  std::map<std::string, std::string> headers;  // names lower-cased
  std::map<std::string, std::string> cookies;
  std::string body;
  bool bodyTooLarge = false;  // the body passed the limit and was dropped

  const std::string* header(const std::string& lowerName) const {
    const auto found = headers.find(lowerName);
    return found == headers.end() ? nullptr : &found->second;
  }
};

struct Response {
  int status = 200;
  std::string contentType = "application/json; charset=utf-8";
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
};

}  // namespace qzt::serve
