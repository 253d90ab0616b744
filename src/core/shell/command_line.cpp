#include "shell/command_line.h"

#include <algorithm>

namespace qzt {
namespace {

bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlankOrControl(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlankOrControl(s.back())) s.remove_suffix(1);
  return s;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::size_t findQztCaseless(std::string_view s) {
  constexpr std::string_view ext = ".qzt";
  for (std::size_t i = 0; i + ext.size() <= s.size(); ++i) {
    if (std::equal(ext.begin(), ext.end(), s.begin() + static_cast<std::ptrdiff_t>(i),
                   [](char e, char c) { return e == lowerAscii(c); })) {
      return i;
    }
  }
  return std::string_view::npos;
}

}  // namespace

std::string commandLinePaper(std::string_view text) {
  const std::string_view line = trim(text);
  const std::size_t at = findQztCaseless(line);
  if (at == std::string_view::npos) return {};
  // Up to one character after ".qzt": a closing quote stays, a blank goes.
  return std::string(trim(line.substr(0, at + 5)));
}

std::string commandLinePaper(const std::vector<std::string>& args) {
  std::string joined;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i > 0) joined += ' ';
    joined += args[i];
  }
  return commandLinePaper(std::string_view(joined));
}

InfoRequest infoRequest(const std::vector<std::string>& args) {
  if (args.size() != 1) return InfoRequest::None;
  if (args[0] == "--help") return InfoRequest::Help;
  if (args[0] == "--version") return InfoRequest::Version;
  return InfoRequest::None;
}

}  // namespace qzt
