#include "sheet/grading.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <vector>

#include "author/paper_writer.h"
#include "sheet/grid_layout.h"

namespace qzt {
namespace {

// A question table and an empty sheet shaped like the paper's grid.
struct Paper {
  explicit Paper(const std::vector<writer::QuestionSpec>& specs) {
    std::vector<QuestionRecord> records;
    for (const auto& spec : specs) records.push_back(writer::makeQuestion(spec));
    table = QuestionTable(std::move(records));
    sheet = AnswerSheet(table, grid::paperLayout(table).letterColumns);
  }
  GradeReport grade(bool byPercent = false) const { return qzt::grade(table, sheet, byPercent); }

  QuestionTable table;
  AnswerSheet sheet;
};

TEST(Grade, FourQuestionExample) {
  Paper p({{"1", 1, 4, "A", 2},
           {"2", 2, 4, "A C", 3},
           {"3", 3, 0, "abc", 5},
           {"4", 1, 4, "B", 2}});
  p.sheet.setCell(1, 1, " A");
  p.sheet.setCell(2, 1, " A");
  p.sheet.setCell(2, 3, " C");
  p.sheet.setTextAnswer(0, "abc");

  const GradeReport r = p.grade();
  EXPECT_EQ(r.scoreLine, "总分：12 得分：5 正确率：41.67");
  EXPECT_DOUBLE_EQ(r.total, 12);
  EXPECT_DOUBLE_EQ(r.score, 5);
  ASSERT_TRUE(r.rate.has_value());
  EXPECT_DOUBLE_EQ(*r.rate, 41.67);
  ASSERT_EQ(r.rows.size(), 4u);
  const RowResult results[] = {RowResult::Right, RowResult::Right, RowResult::Wrong, RowResult::Wrong};
  const char* answers[] = {"A", "A C", "abc", ""};
  const char* correct[] = {"A", "A C", "ABC", "B"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(r.rows[i].row, i + 1);
    EXPECT_EQ(r.rows[i].result, results[i]) << i;
    EXPECT_EQ(r.rows[i].answer, answers[i]) << i;
    EXPECT_EQ(r.rows[i].correct, correct[i]) << i;
  }
}

TEST(Grade, KindsBelowFourAreGradedSigned) {
  Paper p({{"a", 0, 2, "B", 1},
           {"b", -5, 2, "A", 1},
           {"c", 5, 2, "A", 10},
           {"d", 7, 2, "A", 10},
           {"e", 100, 0, "Heading", 10},
           {"f", 2, 2, "", 1}});  // empty answer, nothing chosen: right
  p.sheet.setCell(1, 2, " B");
  p.sheet.setCell(3, 1, " A");
  p.sheet.setCell(4, 1, " A");
  const GradeReport r = p.grade();
  EXPECT_DOUBLE_EQ(r.total, 3);
  EXPECT_DOUBLE_EQ(r.score, 2);
  const RowResult expected[] = {RowResult::Right,     RowResult::Wrong,     RowResult::NotGraded,
                                RowResult::NotGraded, RowResult::NotGraded, RowResult::Right};
  ASSERT_EQ(r.rows.size(), 6u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(r.rows[i].result, expected[i]) << "row " << i + 1;
  for (int i = 2; i < 5; ++i) EXPECT_EQ(r.rows[i].correct, "") << "row " << i + 1;
}

TEST(Grade, ChoiceAnswersTrimOnlyControlBytesAtTheEnds) {
  struct Case {
    std::vector<ByteString> cells;  // columns 1..3
    ByteString stored;
    RowResult result;
  };
  const Case cases[] = {
      {{" A", "", " C"}, "A C", RowResult::Right},
      {{"A", "", "C"}, "AC", RowResult::Right},  // imported letters
      {{"\tA", "\x01", ""}, "A", RowResult::Right},
      {{"A", "", ""}, "a", RowResult::Right},  // the stored answer is raised to A
      {{" A", " B", ""}, "A", RowResult::Wrong},
      // GBK bytes are above 0x80: they must not count as blanks.
      {{"\xb0\xa1", "", ""}, "\xb0\xa1", RowResult::Right},
  };
  for (const Case& c : cases) {
    Paper p({{"1", 2, 3, c.stored, 1}});
    for (int col = 1; col <= 3; ++col) p.sheet.setCell(1, col, c.cells[col - 1]);
    EXPECT_EQ(p.grade().rows[0].result, c.result) << c.stored;
  }
}

TEST(Grade, TextAnswersAreComparedAsTyped) {
  struct Case {
    ByteString typed;
    RowResult result;
  };
  const Case cases[] = {
      {"ABC", RowResult::Right},
      {"abc", RowResult::Wrong},
      {"ABC ", RowResult::Wrong},
      {" ABC", RowResult::Wrong},
      {"", RowResult::Wrong},
  };
  for (const Case& c : cases) {
    Paper p({{"1", 3, 0, "abc", 1}});
    p.sheet.setTextAnswer(0, c.typed);
    EXPECT_EQ(p.grade().rows[0].result, c.result) << "'" << c.typed << "'";
  }
}

TEST(Grade, TextRowsTakeTheirAnswersInRowOrder) {
  Paper p({{"1", 3, 0, "ONE", 1}, {"2", 1, 4, "A", 1}, {"3", 100, 0, "H", 0}, {"4", 3, 0, "TWO", 1}});
  p.sheet.setTextAnswer(0, "ONE");
  p.sheet.setTextAnswer(1, "TWO");
  const GradeReport r = p.grade();
  EXPECT_EQ(r.rows[0].result, RowResult::Right);
  EXPECT_EQ(r.rows[3].result, RowResult::Right);
  EXPECT_EQ(r.rows[3].answer, "TWO");
}

TEST(ScoreLine, RateOnlyAboveOneMark) {
  struct Case {
    std::vector<double> marks;  // one single choice each; the first n answered right
    int right;
    std::string line;
  };
  const Case cases[] = {
      {{1}, 1, "总分：1 得分：1"},
      {{0.5, 0.5}, 1, "总分：1 得分：0.5"},
      {{1, 1, 1}, 1, "总分：3 得分：1 正确率：33.33"},
      {{0.125}, 0, "总分：0.12 得分：0"},
      {{0.375}, 1, "总分：0.38 得分：0.38"},
      {{1, 1}, 2, "总分：2 得分：2 正确率：100"},
      {{2, 2}, 0, "总分：4 得分：0 正确率：0"},
      {{}, 0, "总分：0 得分：0"},
  };
  for (const Case& c : cases) {
    std::vector<writer::QuestionSpec> specs;
    for (double m : c.marks) specs.push_back({"q", 1, 4, "A", m});
    Paper p(specs);
    for (int q = 1; q <= c.right; ++q) p.sheet.setCell(q, 1, " A");
    const GradeReport r = p.grade();
    EXPECT_EQ(r.scoreLine, c.line);
    EXPECT_EQ(r.rate.has_value(), r.total > 1) << c.line;
  }
}

TEST(FormatScore, HundredthsHalfToEvenInGeneralFormat) {
  const std::pair<double, const char*> cases[] = {
      {12, "12"},       {5, "5"},       {0.125, "0.12"},     {0.375, "0.38"},
      {41.666, "41.67"}, {2.5, "2.5"},  {0.005, "0"},        {0.015, "0.02"},
      {-0.001, "0"},    {-1.25, "-1.25"}, {1e20, "1E20"},    {123456.5, "123456.5"},
  };
  for (const auto& [x, text] : cases) EXPECT_EQ(formatScore(x), text) << x;
}

TEST(RoundHalfEven, KeepsTheCallersRoundingMode) {
  const int saved = std::fegetround();
  std::fesetround(FE_UPWARD);
  EXPECT_EQ(roundHalfEven(0.5), 0);
  EXPECT_EQ(roundHalfEven(1.5), 2);
  EXPECT_EQ(roundHalfEven(2.5), 2);
  EXPECT_EQ(roundHalfEven(-2.5), -2);
  EXPECT_EQ(roundHalfEven(2.4), 2);
  EXPECT_EQ(std::fegetround(), FE_UPWARD);
  std::fesetround(saved);
}

TEST(Selection, ByPercentOrByScore) {
  struct Case {
    int right;
    int of;
    bool byPercent;
    std::optional<double> selection;
  };
  const Case cases[] = {
      {2, 3, true, 67},   {2, 3, false, 2},   {17, 20, true, 85}, {1, 8, true, 12},  // 12.5 to even
      {3, 8, true, 38},   {0, 4, true, 0},    {0, 0, false, 0},
      // Graded rows worth nothing: no percentage, so nothing is chosen.
      {0, 0, true, std::nullopt},
  };
  for (const Case& c : cases) {
    std::vector<writer::QuestionSpec> specs(c.of, writer::QuestionSpec{"q", 1, 4, "A", 1});
    Paper p(specs);
    for (int q = 1; q <= c.right; ++q) p.sheet.setCell(q, 1, " A");
    EXPECT_EQ(p.grade(c.byPercent).selection, c.selection) << c.right << "/" << c.of << " " << c.byPercent;
  }
}

TEST(Selection, ZeroMarksByPercentDoesNotFail) {
  Paper p({{"1", 1, 4, "A", 0}, {"2", 3, 0, "X", 0}});
  p.sheet.setCell(1, 1, " A");
  const GradeReport r = p.grade(true);
  EXPECT_EQ(r.scoreLine, "总分：0 得分：0");
  EXPECT_FALSE(r.selection.has_value());
}

}  // namespace
}  // namespace qzt
