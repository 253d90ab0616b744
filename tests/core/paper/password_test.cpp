#include "paper/password.h"

#include <gtest/gtest.h>

#include "author/paper_writer.h"

namespace qzt {
namespace {

namespace f = format;

PasswordBlock block(unsigned char key, unsigned char start, unsigned char a, unsigned char b,
                    std::initializer_list<unsigned char> bytes) {
  PasswordBlock blk{};
  blk[f::kPasswordKey] = key;
  blk[f::kPasswordStart] = start;
  blk[f::kPasswordLengthA] = a;
  blk[f::kPasswordLengthB] = b;
  int i = start;
  for (unsigned char c : bytes) blk[static_cast<std::size_t>(i++)] = c;
  return blk;
}

struct PasswordCase {
  const char* name;
  PasswordBlock blk;
  std::optional<ByteString> expected;
};

class Unscramble : public ::testing::TestWithParam<PasswordCase> {};

TEST_P(Unscramble, Block) {
  EXPECT_EQ(unscramblePassword(GetParam().blk), GetParam().expected);
  EXPECT_EQ(hasPassword(GetParam().blk), GetParam().expected != ByteString());
}

std::string caseName(const ::testing::TestParamInfo<PasswordCase>& c) { return c.param.name; }

INSTANTIATE_TEST_SUITE_P(
    Cases, Unscramble,
    ::testing::Values(
        PasswordCase{"EqualLengthTermsIsNone", block(9, 3, 77, 77, {50}), ByteString()},
        PasswordCase{"SameOffsetAtEveryPosition", block(20, 3, 3, 0, {69, 69, 70}), ByteString("CCD")},
        // 0 - 30 + 18 wraps to 244.
        PasswordCase{"KeySubtractionWraps", block(30, 5, 1, 0, {0}), ByteString("\xf4")},
        PasswordCase{"LengthWrapsIn8Bits", block(0, 3, 2, 5, {}), std::nullopt},
        PasswordCase{"EndsAtLastByte", block(18, 30, 1, 0, {'z'}), ByteString("z")},
        PasswordCase{"OneBytePastTheBlock", block(18, 30, 2, 0, {'z'}), std::nullopt},
        PasswordCase{"StartFarOutside", block(18, 250, 3, 0, {}), std::nullopt},
        PasswordCase{"NoLengthWithStartOutside", block(18, 250, 0, 0, {}), ByteString()}),
    caseName);

TEST(Password, MatchesOnlyTheExactBytes) {
  const auto blk = writer::scramblePassword("Secret\xc3\xdc", 200, 4);
  ASSERT_EQ(unscramblePassword(blk), ByteString("Secret\xc3\xdc"));
  EXPECT_TRUE(passwordMatches(blk, "Secret\xc3\xdc"));
  for (const char* wrong : {"secret\xc3\xdc", "Secret", "Secret\xc3\xdc ", ""}) {
    EXPECT_FALSE(passwordMatches(blk, wrong)) << wrong;
  }
}

TEST(Password, ABlockOutsideItselfMatchesNothing) {
  const auto blk = block(0, 3, 2, 5, {});
  EXPECT_TRUE(hasPassword(blk));
  EXPECT_FALSE(passwordMatches(blk, ""));
}

}  // namespace
}  // namespace qzt
