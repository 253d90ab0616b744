#include "side/text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "side/gbk_ascii.h"

namespace qzt {
namespace {

TEST(SplitLines, EveryLineEndAndTheLastTerminator) {
  const struct {
    std::string text;
    std::vector<ByteString> lines;
  } cases[] = {
      {"", {}},
      {"\r\n", {""}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\n\r\n", {"a", ""}},
      {"a\n\rb", {"a", "", "b"}},
      {"a\r\rb\n\nc", {"a", "", "b", "", "c"}},
      {std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
  };
  for (const auto& c : cases) EXPECT_EQ(splitLines(c.text), c.lines) << c.text;
}

TEST(GbkAscii, DoubleByteCharactersAreLeftAlone) {
  // 0x81 0x5C and 0x81 0x41 are single characters whose trail bytes look
  // like "\" and "A".
  EXPECT_EQ(backslashesToSlashesGbk("a\\\x81\x5C\\b"), "a/\x81\x5C/b");
  EXPECT_EQ(lowerAsciiGbk("AB\x81\x41Z"), "ab\x81\x41z");
  // A lead byte without a valid trail byte stands alone.
  EXPECT_EQ(lowerAsciiGbk("\x81 A"), "\x81 a");
  EXPECT_EQ(backslashesToSlashesGbk("a\\\x81"), "a/\x81");
}

}  // namespace
}  // namespace qzt
