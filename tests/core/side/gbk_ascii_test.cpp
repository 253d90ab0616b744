#include "side/gbk_ascii.h"

#include <gtest/gtest.h>

namespace qzt {
namespace {

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
