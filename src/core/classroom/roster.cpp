#include "classroom/roster.h"

#include <optional>

#include "side/text_lines.h"
#include "util/gbk.h"

namespace qzt::classroom {
namespace {

bool validUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t more = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 9;
    if (more == 9 || i + more >= s.size() + (more == 0 ? 1 : 0)) return false;
    for (std::size_t k = 1; k <= more; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += more + 1;
  }
  return true;
}

std::string trim(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
  std::size_t start = 0;
  while (start < s.size() && (s[start] == ' ' || s[start] == '\t')) ++start;
  return s.substr(start);
}

// Fields of one CSV line, quotes as RFC 4180 writes them.
std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> out(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      out.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      out.emplace_back();
    } else {
      out.back() += c;
    }
  }
  for (std::string& f : out) f = trim(f);
  return out;
}

std::optional<std::size_t> columnOf(const std::vector<std::string>& header,
                                    std::initializer_list<std::string_view> names) {
  for (std::size_t i = 0; i < header.size(); ++i) {
    std::string lower = header[i];
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    for (std::string_view n : names) {
      if (lower == n) return i;
    }
  }
  return std::nullopt;
}

}  // namespace

Result<std::vector<RosterEntry>> parseRoster(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  const std::string text = validUtf8(bytes) ? std::string(bytes) : gbkToUtf8(ByteString(bytes));
  const std::vector<ByteString> lines = splitLines(text);
  std::size_t first = 0;
  while (first < lines.size() && trim(lines[first]).empty()) ++first;
  if (first == lines.size()) return Error::refused("the roster is empty");
  const std::vector<std::string> header = fields(lines[first]);
  const auto nameAt = columnOf(header, {"name", "姓名"});
  const auto numberAt = columnOf(header, {"number", "学号", "考号", "编号"});
  if (!nameAt || !numberAt) return Error::refused("the roster's header names no name and number columns");
  std::vector<RosterEntry> people;
  for (std::size_t i = first + 1; i < lines.size(); ++i) {
    if (trim(lines[i]).empty()) continue;
    const std::vector<std::string> row = fields(lines[i]);
    if (row.size() <= *nameAt || row.size() <= *numberAt || row[*nameAt].empty() ||
        row[*numberAt].empty()) {
      return Error::refused("roster line " + std::to_string(i + 1) + " lacks a name or number");
    }
    people.push_back({row[*nameAt], row[*numberAt]});
  }
  return people;
}

}  // namespace qzt::classroom
