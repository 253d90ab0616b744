// Choosing a comment from an arbitrary comments file. The first 8 bytes
// are the score (a double, so NaN, infinities and huge values come too).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "side/comments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  double x = 0;
  if (size >= sizeof x) {
    std::memcpy(&x, data, sizeof x);
    data += sizeof x;
    size -= sizeof x;
  }
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  if (const auto lines = qzt::chooseComment(file, x)) (void)qzt::joinCommentLines(*lines);
  return 0;
}
