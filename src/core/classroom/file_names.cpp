#include "classroom/file_names.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace qzt::classroom {
namespace {

constexpr std::size_t kMaxStemBytes = 96;

bool refusedByWindows(unsigned char c) {
  return c < 0x20 || c == 0x7F || std::string_view("<>:\"/\\|?*").find(static_cast<char>(c)) !=
                                      std::string_view::npos;
}

bool reservedDevice(const std::string& stem) {
  static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
  std::string base = stem.substr(0, stem.find('.'));
  for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (std::find(kPlain.begin(), kPlain.end(), base) != kPlain.end()) return true;
  return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
         base[3] >= '0' && base[3] <= '9';
}

// Cut at most `limit` bytes, never inside a UTF-8 sequence.
std::string cutUtf8(const std::string& s, std::size_t limit) {
  if (s.size() <= limit) return s;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
  return s.substr(0, end);
}

}  // namespace

std::string fileStem(const std::string& name, const std::string& number) {
  std::string stem = number + "-" + name;
  for (char& c : stem) {
    if (refusedByWindows(static_cast<unsigned char>(c))) c = '_';
  }
  stem = cutUtf8(stem, kMaxStemBytes);
  while (!stem.empty() && (stem.back() == '.' || stem.back() == ' ')) stem.pop_back();
  for (std::size_t i = 0; i < stem.size() && stem[i] == '.'; ++i) stem[i] = '_';
  if (stem.empty() || reservedDevice(stem)) stem = "_" + stem;
  return stem;
}

}  // namespace qzt::classroom
