#include "side/comments.h"

#include <charconv>

#include "side/text_lines.h"

namespace qzt {
namespace {

struct Range {
  double low = 0;
  double high = 0;
};

bool isHeader(const ByteString& line) {
  return line.size() >= kCommentHeaderSize &&
         line.compare(0, kCommentHeaderSize, kCommentHeader, kCommentHeaderSize) == 0;
}

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.remove_suffix(1);
  return s;
}

// A decimal number: optional sign, digits with an optional point, nothing
// else (no exponent, no "inf" or "nan").
std::optional<double> readBound(std::string_view text) {
  text = trimBlanks(text);
  std::string_view body = text;
  if (!body.empty() && (body.front() == '-' || body.front() == '+')) body.remove_prefix(1);
  bool digit = false, point = false;
  for (char c : body) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digit) return std::nullopt;
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<Range> readRange(std::string_view rangeText) {
  const std::size_t dash = rangeText.find('-');
  if (dash == std::string_view::npos) return std::nullopt;
  const auto low = readBound(rangeText.substr(0, dash));
  const auto high = readBound(rangeText.substr(dash + 1));
  if (!low || !high) return std::nullopt;
  return Range{*low, *high};
}

}  // namespace

std::optional<std::vector<ByteString>> chooseComment(std::string_view commentsFile, double x) {
  const std::vector<ByteString> lines = splitLines(commentsFile);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!isHeader(lines[i])) continue;
    const auto range = readRange(std::string_view(lines[i]).substr(kCommentHeaderSize));
    if (!range || !(range->low <= x && x <= range->high)) continue;
    std::vector<ByteString> chosen;
    for (std::size_t j = i + 1; j < lines.size() && !isHeader(lines[j]); ++j) {
      chosen.push_back(lines[j]);
    }
    if (chosen.empty()) return std::nullopt;
    return chosen;
  }
  return std::nullopt;
}

ByteString joinCommentLines(const std::vector<ByteString>& lines) {
  ByteString text;
  for (const ByteString& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace qzt
