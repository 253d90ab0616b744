#include "side/answer_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "author/paper_writer.h"
#include "same_answers.h"
#include "sheet/grading.h"
#include "sheet/grid_layout.h"

namespace qzt {
namespace {

// Single choice, text, heading, multiple choice, text, a choice without
// options: every kind of line an answer file holds.
struct Paper {
  Paper() {
    const std::vector<writer::QuestionSpec> specs = {
        {"1", 1, 4, "B", 2},       {"2", 3, 0, "42", 5},  {"", 100, 0, "Part two", 0},
        {"3", 2, 4, "A C", 3},     {"4", 3, 0, "xyz", 1}, {"5", 1, 0, "A", 1}};
    std::vector<QuestionRecord> records;
    for (const auto& spec : specs) records.push_back(writer::makeQuestion(spec));
    table = QuestionTable(std::move(records));
    empty = AnswerSheet(table, grid::paperLayout(table).letterColumns);
  }

  // The answers a candidate enters with the mouse and keyboard.
  AnswerSheet entered() const {
    AnswerSheet s = empty;
    s.setCell(1, 2, " B");
    s.setTextAnswer(0, "42");
    s.setCell(4, 1, " A");
    s.setCell(4, 3, " C");
    s.setTextAnswer(1, "\xD6\xD0\xCE\xC4 text");  // GBK 中文
    return s;
  }

  QuestionTable table;
  AnswerSheet empty;
};

const ByteString kKey = "KEY-1";

TEST(AnswerFile, SaveBeforeAnsweringHoldsKeyAndEmptyLines) {
  Paper p;
  const ByteString file = exportAnswers(kKey, p.table, p.empty);
  EXPECT_EQ(file, "KEY-1\r\n\r\n\r\n\r\n\r\n\r\n\r\n");

  const auto imported = importAnswers(file, kKey, p.table, p.entered());
  ASSERT_TRUE(imported.ok()) << imported.error().message;
  expectSameAnswers(*imported, p.empty);
}

TEST(AnswerFile, SavedLinesFollowQuestionOrder) {
  Paper p;
  EXPECT_EQ(exportAnswers(kKey, p.table, p.entered()),
            "KEY-1\r\n B\r\n42\r\n\r\n A C\r\n\xD6\xD0\xCE\xC4 text\r\n\r\n");
}

TEST(AnswerFile, ReimportedAnswersGradeLikeEnteredOnes) {
  Paper p;
  const AnswerSheet entered = p.entered();
  const auto imported = importAnswers(exportAnswers(kKey, p.table, entered), kKey, p.table, p.empty);
  ASSERT_TRUE(imported.ok()) << imported.error().message;
  // Cells come back as " A", exactly what a click puts there.
  expectSameAnswers(*imported, entered);

  const GradeReport byMouse = grade(p.table, entered, false);
  const GradeReport byFile = grade(p.table, *imported, false);
  EXPECT_EQ(byFile.scoreLine, byMouse.scoreLine);
  EXPECT_DOUBLE_EQ(byFile.score, 10);
  ASSERT_EQ(byFile.rows.size(), byMouse.rows.size());
  for (std::size_t i = 0; i < byFile.rows.size(); ++i) {
    EXPECT_EQ(byFile.rows[i].result, byMouse.rows[i].result) << i;
    EXPECT_EQ(byFile.rows[i].answer, byMouse.rows[i].answer) << i;
  }
}

TEST(AnswerFile, AnyLineEndIsRead) {
  Paper p;
  for (const char* eol : {"\n", "\r", "\r\n"}) {
    std::string file;
    for (const char* line : {"KEY-1", "B", "42", "", "AC", "t", ""}) file += std::string(line) + eol;
    const auto imported = importAnswers(file, kKey, p.table, p.empty);
    ASSERT_TRUE(imported.ok()) << imported.error().message;
    EXPECT_EQ(imported->cell(1, 2), " B");
    EXPECT_EQ(imported->cell(4, 3), " C");
    EXPECT_EQ(imported->textAnswer(1), "t");
  }
  // The last line may lack its terminator.
  EXPECT_TRUE(importAnswers("KEY-1\r\n\r\n\r\n\r\n\r\n\r\nA", kKey, p.table, p.empty).ok());
}

struct RefusedCase {
  const char* name;
  std::string file;
  ByteString key;
  const char* message;
};

class AnswerFileRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(AnswerFileRefused, LeavesTheAnswersAlone) {
  Paper p;
  const AnswerSheet current = p.entered();
  const auto r = importAnswers(GetParam().file, GetParam().key, p.table, current);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().kind, ErrorKind::Refused);
  EXPECT_EQ(r.error().message, GetParam().message);
  expectSameAnswers(current, p.entered());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AnswerFileRefused,
    ::testing::Values(
        RefusedCase{"KeyDiffersInCase", "key-1\r\n\r\n\r\n\r\n\r\n\r\n\r\n", kKey, kAnswersDoNotFit},
        RefusedCase{"KeyWithTrailingBlank", "KEY-1 \r\n\r\n\r\n\r\n\r\n\r\n\r\n", kKey, kAnswersDoNotFit},
        RefusedCase{"OneLineTooMany", "KEY-1\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n", kKey, kAnswersDoNotFit},
        RefusedCase{"OneLineTooFew", "KEY-1\r\n\r\n\r\n\r\n\r\n\r\n", kKey, kAnswersDoNotFit},
        RefusedCase{"KeyOnly", "KEY-1", kKey, kAnswersDoNotFit},
        RefusedCase{"EmptyFile", "", kKey, kAnswerFileEmpty},
        RefusedCase{"NoPaperLoaded", "\r\n\r\n\r\n\r\n\r\n\r\n\r\n", "", kImportNeedsPaper}),
    [](const auto& c) { return std::string(c.param.name); });

struct LineCase {
  const char* line;
  std::vector<int> chosen;  // columns of question 3 (four options)
};

class ChoiceLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ChoiceLine, OnlyItsOwnCapitalLettersCount) {
  Paper p;
  const std::string file = "KEY-1\r\n\r\n\r\n\r\n" + std::string(GetParam().line) + "\r\n\r\n\r\n";
  const auto r = importAnswers(file, kKey, p.table, p.entered());
  ASSERT_TRUE(r.ok()) << r.error().message;
  for (int c = 1; c <= 4; ++c) {
    const bool chosen = std::find(GetParam().chosen.begin(), GetParam().chosen.end(), c) !=
                        GetParam().chosen.end();
    const ByteString want = chosen ? ByteString{' ', static_cast<char>('A' + c - 1)} : ByteString{};
    EXPECT_EQ(r->cell(4, c), want) << c;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ChoiceLine,
                         ::testing::Values(LineCase{"CA", {1, 3}}, LineCase{" A C", {1, 3}},
                                           LineCase{"A C A", {1, 3}}, LineCase{"abcd", {}},
                                           LineCase{"EFGZ", {}}, LineCase{"B,E;d?", {2}},
                                           LineCase{"\xC1\xA1 D", {4}}, LineCase{"", {}}));

TEST(AnswerFile, TextAnswersMapInRowOrderAndChoiceWithoutOptionsIsIgnored) {
  Paper p;
  const auto r = importAnswers("KEY-1\r\nA\r\nfirst\r\nheading line ignored\r\n\r\nsecond\r\nABCD\r\n",
                               kKey, p.table, p.empty);
  ASSERT_TRUE(r.ok()) << r.error().message;
  EXPECT_EQ(r->textAnswer(0), "first");
  EXPECT_EQ(r->textAnswer(1), "second");
  EXPECT_EQ(r->cell(1, 1), " A");
  for (int c = 1; c <= r->letterColumns(); ++c) EXPECT_EQ(r->cell(6, c), "") << c;
  EXPECT_EQ(exportAnswers(kKey, p.table, *r), "KEY-1\r\n A\r\nfirst\r\n\r\n\r\nsecond\r\n\r\n");
}

}  // namespace
}  // namespace qzt
