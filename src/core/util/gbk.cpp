#include "util/gbk.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace qzt {
namespace {

// Converts with iconv. With `lenient`, an undecodable input byte is
// replaced by `replacement` and skipped; otherwise it is a failure.
Result<std::string> convert(const char* to, const char* from, const std::string& in,
                            bool lenient, const std::string& replacement) {
  // Every encoding here keeps ASCII as it is; most names and numbers are
  // ASCII, and opening a converter costs more than they do.
  if (isAscii(in)) return in;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    return Error::io(std::string("no converter from ") + from + " to " + to);
  }
  std::string out;
  std::vector<char> buf(4 * in.size() + 16);
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  while (srcLeft > 0) {
    char* dst = buf.data();
    std::size_t dstLeft = buf.size();
    std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buf.data(), buf.size() - dstLeft);
    if (r != static_cast<std::size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    if (!lenient) {
      iconv_close(cd);
      return Error::corrupt("text is not valid in its encoding");
    }
    out += replacement;  // EILSEQ or a truncated sequence at the end
    ++src;
    --srcLeft;
  }
  iconv_close(cd);
  return out;
}

}  // namespace

bool isAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string gbkToUtf8(const ByteString& gbk) {
  auto r = convert("UTF-8", "GB18030", gbk, true, "\xEF\xBF\xBD");
  return r.ok() ? r.value() : std::string();
}

Result<ByteString> utf8ToGbk(const std::string& utf8) {
  auto r = convert("GB18030", "UTF-8", utf8, false, "");
  if (!r.ok()) return r.error();
  return r.value();
}

std::filesystem::path gbkToPath(const ByteString& gbk) {
  const std::string utf8 = gbkToUtf8(gbk);
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string pathToUtf8(const std::filesystem::path& path) {
  const std::u8string u = path.u8string();
  std::string text(u.begin(), u.end());
  // Names made on a Chinese Windows arrive as GBK bytes: shown as such,
  // two students stay two names instead of two rows of U+FFFD.
  if (convert("UTF-8", "UTF-8", text, false, "").ok()) return text;
  return gbkToUtf8(text);
}

}  // namespace qzt
