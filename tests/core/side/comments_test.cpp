#include "side/comments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qzt {
namespace {

// A comments file from (header range or plain line) entries; a line that
// starts with '@' becomes a header with the rest as its range text.
std::string commentsFile(const std::vector<std::string>& lines, const char* eol = "\r\n") {
  std::string out;
  for (const std::string& line : lines) {
    out += line.starts_with("@") ? std::string(kCommentHeader) + line.substr(1) : line;
    out += eol;
  }
  return out;
}

struct ChoiceCase {
  const char* name;
  std::vector<std::string> file;
  double x;
  std::vector<ByteString> expected;  // empty: nothing shown
};

class CommentChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(CommentChoice, FirstRangeHoldingTheValueWins) {
  const auto chosen = chooseComment(commentsFile(GetParam().file), GetParam().x);
  if (GetParam().expected.empty()) {
    EXPECT_FALSE(chosen.has_value());
  } else {
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, GetParam().expected);
  }
}

const std::vector<std::string> kThree = {"@0-59", "low", "@60-79", "middle", "", "@80-100", "high"};
const std::vector<std::string> kDescending = {"@80-100", "high", "@60-79", "middle", "@0-59", "low"};

INSTANTIATE_TEST_SUITE_P(
    Cases, CommentChoice,
    ::testing::Values(
        ChoiceCase{"UpperBoundIncluded", kThree, 79, {"middle", ""}},
        ChoiceCase{"LowerBoundIncluded", kThree, 80, {"high"}},
        ChoiceCase{"Top", kThree, 100, {"high"}},
        ChoiceCase{"AboveAll", kThree, 100.5, {}},
        ChoiceCase{"BelowAll", kThree, -1, {}},
        ChoiceCase{"InTheGap", {"@0-59", "low", "@60-100", "high"}, 59.5, {}},
        ChoiceCase{"Descending", kDescending, 65, {"middle"}},
        ChoiceCase{"OverlapFirstWins", {"@0-100", "all", "@50-60", "some"}, 55, {"all"}},
        ChoiceCase{"ChosenWithoutLinesEndsSearch", {"@0-100", "@0-100", "later"}, 50, {}},
        ChoiceCase{"TextBeforeFirstHeaderNeverShown", {"preface", "@0-10", "ten"}, 5, {"ten"}},
        ChoiceCase{"OnlyTextBeforeHeaders", {"preface", "more"}, 5, {}},
        ChoiceCase{"DecimalsAndBlanks", {"@ 85.5 - 100 ", "top"}, 85.5, {"top"}},
        ChoiceCase{"UnparsableRangeSkipped", {"@abc-100", "bad", "@0-x", "bad", "@50", "bad", "@0-100", "good"},
                   70, {"good"}},
        ChoiceCase{"ExponentIsNoDecimal", {"@0-1e3", "bad", "@0-1000", "good"}, 500, {"good"}},
        ChoiceCase{"NegativeUpperBound", {"@5--5", "never", "@0-10", "good"}, 0, {"good"}},
        ChoiceCase{"ShortLineIsNoHeader", {"@0-10", "one", std::string(kCommentHeader, 9), "two"}, 3,
                   {"one", std::string(kCommentHeader, 9), "two"}}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(Comments, GbkLinesKeptAsWrittenWhateverTheLineEnds) {
  const std::vector<std::string> lines = {"@0-100", "\xBA\xC3 good", "  indented  ", "", "end"};
  for (const char* eol : {"\r\n", "\r", "\n"}) {
    const auto chosen = chooseComment(commentsFile(lines, eol), 3);
    ASSERT_TRUE(chosen.has_value()) << eol;
    EXPECT_EQ(*chosen, (std::vector<ByteString>{"\xBA\xC3 good", "  indented  ", "", "end"}));
  }
  EXPECT_EQ(joinCommentLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
  EXPECT_FALSE(chooseComment("", 0).has_value());
}

}  // namespace
}  // namespace qzt
