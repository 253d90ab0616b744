#include "util/gbk.h"

#include <gtest/gtest.h>

namespace qzt {
namespace {

TEST(Gbk, RoundTripsChineseAndAscii) {
  const std::string utf8 = "试卷 A1";
  const ByteString gbk = "\xca\xd4\xbe\xed A1";
  EXPECT_EQ(gbkToUtf8(gbk), utf8);
  auto back = utf8ToGbk(utf8);
  ASSERT_TRUE(back.ok());
  EXPECT_EQ(*back, gbk);
}

// ASCII, control bytes and NUL included, is the same text in both.
TEST(Gbk, AsciiPassesUnchanged) {
  const std::string ascii("Q1\tA\0\x7f\r\n", 8);
  EXPECT_EQ(gbkToUtf8(ascii), ascii);
  EXPECT_EQ(utf8ToGbk(ascii).value(), ascii);
  EXPECT_EQ(gbkToUtf8(""), "");
}

TEST(Gbk, BadBytesNeverFailDisplay) {
  EXPECT_EQ(gbkToUtf8("a\xff"), "a\xEF\xBF\xBD");
  EXPECT_EQ(gbkToUtf8("\xca"), "\xEF\xBF\xBD");  // lead byte cut off
  EXPECT_FALSE(utf8ToGbk("\xc3").ok());
}

TEST(Gbk, TrailByte5CIsNoBackslash) {
  // 0x95 0x5C is one character whose second byte looks like "\".
  EXPECT_EQ(gbkToPath("\x95\x5c"), std::filesystem::path(u8"昞"));
}

// Names made on a Chinese Windows (张三.da, 李四.da in GBK) show as
// themselves and stay two names; UTF-8 names stay as they are.
TEST(Gbk, PathsInGbkShowAsTheirCharacters) {
  const std::string zhang = "\xD5\xC5\xC8\xFD.da", li = "\xC0\xEE\xCB\xC4.da";
  EXPECT_EQ(pathToUtf8(std::filesystem::path(zhang)), "张三.da");
  EXPECT_EQ(pathToUtf8(std::filesystem::path(li)), "李四.da");
  EXPECT_EQ(pathToUtf8(std::filesystem::path("班/张三.da")), "班/张三.da");
}

}  // namespace
}  // namespace qzt
