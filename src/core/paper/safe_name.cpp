#include "paper/safe_name.h"

#include <string>

#include "paper/format.h"
#include "util/gbk.h"

namespace qzt {
namespace {

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

Error refuse(const std::string& why, int step) { return Error::unsafe("refused name: " + why, step); }

}  // namespace

Result<std::filesystem::path> safeRelativePath(const ByteString& stored, int step, bool mayBeTarget) {
  if (stored.empty()) return refuse("empty", step);
  if (stored.size() > static_cast<std::size_t>(format::kMaxNameLength)) return refuse("too long", step);
  if (stored.find('\0') != ByteString::npos) return refuse("contains NUL", step);
  // Split after decoding: a GBK trail byte may be 0x5C, which is no separator.
  const std::string utf8 = gbkToUtf8(stored);
  if (utf8.front() == '\\' || utf8.front() == '/') return refuse("absolute", step);
  if (utf8.size() >= 2 && isAsciiLetter(utf8[0]) && utf8[1] == ':') return refuse("drive letter", step);

  std::filesystem::path relative;
  std::size_t from = 0;
  while (from <= utf8.size()) {
    std::size_t to = utf8.find_first_of("\\/", from);
    if (to == std::string::npos) to = utf8.size();
    const std::string part = utf8.substr(from, to - from);
    from = to + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") return refuse("steps up with ..", step);
    relative /= std::filesystem::path(std::u8string(part.begin(), part.end()));
  }
  if (relative.empty() && !mayBeTarget) return refuse("no file name", step);
  return relative;
}

Status checkNoLinks(const std::filesystem::path& root, const std::filesystem::path& relative, int step) {
  std::filesystem::path at = root;
  for (const auto& part : relative) {
    at /= part;
    std::error_code ec;
    const auto st = std::filesystem::symlink_status(at, ec);
    if (st.type() == std::filesystem::file_type::not_found) return Status::success();
    if (ec) return refuse("cannot be checked", step);
    if (st.type() == std::filesystem::file_type::symlink) return refuse("passes through a link", step);
  }
  return Status::success();
}

}  // namespace qzt
