#include "side/gbk_ascii.h"

namespace qzt {
namespace {

bool isLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool isTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

// Calls f(byte) for every byte that stands alone, skipping trail bytes.
template <typename F>
void forEachSingleByte(ByteString& text, F f) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i + 1 < text.size() && isLeadByte(static_cast<unsigned char>(text[i])) &&
        isTrailByte(static_cast<unsigned char>(text[i + 1]))) {
      ++i;
      continue;
    }
    f(text[i]);
  }
}

}  // namespace

ByteString lowerAsciiGbk(ByteString text) {
  forEachSingleByte(text, [](char& c) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  });
  return text;
}

ByteString backslashesToSlashesGbk(ByteString text) {
  forEachSingleByte(text, [](char& c) {
    if (c == '\\') c = '/';
  });
  return text;
}

}  // namespace qzt
