#include "side/rtf_tokens.h"

#include <gtest/gtest.h>

namespace qzt {
namespace {

// The walker's text with \par, \line and \row as line breaks and \tab and
// \cell as tabs: what it decodes, with no formatting in the way.
class PlainTextSink : public RtfSink {
 public:
  std::string out;

  void controlWord(std::string_view word, std::optional<long>) override {
    if (word == "par" || word == "line" || word == "row") out += '\n';
    if (word == "tab" || word == "cell") out += '\t';
  }
  void text(std::string_view utf8) override { out += utf8; }
};

std::string plainText(std::string_view rtf) {
  PlainTextSink sink;
  walkRtf(rtf, sink);
  return std::move(sink.out);
}

struct RtfCase {
  const char* what;
  const char* rtf;
  const char* text;
};

class RtfWalkTest : public ::testing::TestWithParam<RtfCase> {};

TEST_P(RtfWalkTest, KeepsOnlyTheText) { EXPECT_EQ(plainText(GetParam().rtf), GetParam().text) << GetParam().what; }

INSTANTIATE_TEST_SUITE_P(
    Cases, RtfWalkTest,
    ::testing::Values(
        RtfCase{"plain words", R"({\rtf1\ansi Hello \b world\b0 .})", "Hello world."},
        RtfCase{"paragraphs and tabs", R"({\rtf1 a\par b\tab c})", "a\nb\tc"},
        RtfCase{"tables skipped", R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red0;}x})", "x"},
        RtfCase{"starred destinations skipped", R"({\rtf1{\*\generator w;}y})", "y"},
        RtfCase{"GBK bytes", R"({\rtf1\ansicpg936 \'d6\'d0\'ce\'c4})", "中文"},
        RtfCase{"unicode with its stand-in", R"({\rtf1 \u20013?\u25991?})", "中文"},
        RtfCase{"escaped braces", R"({\rtf1 \{x\}\\})", "{x}\\"},
        RtfCase{"cut short", R"({\rtf1 abc\'d)", "abc"},
        RtfCase{"unbalanced", "}}}{{{\\", ""},
        RtfCase{"a pair of \\u halves as one character", R"({\rtf1 \u-10179?\u-8704?x})", "😀x"},
        RtfCase{"stand-ins counted by \\uc, within their group", R"({\rtf1 {\uc0\u20013\u25991 ab}\uc2\u35797??c})", "中文ab试c"},
        RtfCase{"half a pair", R"({\rtf1 \u-10179?x})", "\uFFFDx"},
        RtfCase{"symbols and a fixed space", R"({\rtf1 a\emdash b\~c\ldblquote})", "a—b\u00A0c“"},
        RtfCase{"binary bytes skipped whole", R"({\rtf1{\*\blob\bin3 }{x}y})", "y"},
        RtfCase{"bad hex bytes left out", R"({\rtf1 a\'zzb})", "ab"}));

}  // namespace
}  // namespace qzt
