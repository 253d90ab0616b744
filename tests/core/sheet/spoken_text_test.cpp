#include "sheet/spoken_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "author/paper_writer.h"

namespace qzt {
namespace {

const ByteString kHeadingGbk = "\xD2\xBB\xA1\xA2\xD1\xA1\xD4\xF1\xCC\xE2";  // 一、选择题
const ByteString kBeijingGbk = "\xB1\xB1\xBE\xA9";                          // 北京

// Rows: 1 heading, 2 single (B), 3 multiple (A C), 4 text (北京),
// 5 an unlabelled single of two letters. Four letter columns.
// Answered: B on row 2, A and C on row 3, "12" on row 4.
ExamSession answeredSession(bool handIn) {
  const std::vector<writer::QuestionSpec> questions = {
      {"", 100, 0, kHeadingGbk, 0}, {"1", 1, 4, "B", 2}, {"2", 2, 4, "A C", 3},
      {"3", 3, 0, kBeijingGbk, 5},  {"", 1, 2, "A", 1}};
  writer::PaperSpec spec;
  spec.questions = questions;
  const writer::BuiltPaper built = writer::buildPaper(spec);
  PaperHeader::Bytes bytes{};
  std::copy_n(built.bytes.begin() + built.layout.headerOffset, bytes.size(), bytes.begin());
  std::vector<QuestionRecord> records;
  for (const auto& q : questions) records.push_back(writer::makeQuestion(q));
  ExamSession session;
  session.begin(PaperHeader(bytes), QuestionTable(std::move(records)));
  (void)session.pressLetter(2, 2);
  (void)session.pressLetter(3, 1);
  (void)session.pressLetter(3, 3);
  session.setTextAnswer(0, "12");
  if (handIn) (void)session.handIn();
  return session;
}

struct CellCase {
  const char* name;
  bool graded;
  int row, column;
  const char* spoken;
  const char* description;
  bool checkable, checked;
};

class Cells : public ::testing::TestWithParam<CellCase> {};

TEST_P(Cells, Speak) {
  const CellCase& c = GetParam();
  const ExamSession session = answeredSession(c.graded);
  const CellSpeech speech = describeCell(session, c.row, c.column, c.graded);
  EXPECT_EQ(speech.name, c.spoken);
  EXPECT_EQ(speech.description, c.description);
  EXPECT_EQ(speech.checkable, c.checkable);
  EXPECT_EQ(speech.checked, c.checked);
}

// After grading the grid has columns 0..4, result 5 and correct answer 6.
INSTANTIATE_TEST_SUITE_P(
    Grid, Cells,
    ::testing::Values(
        CellCase{"ChoiceLabel", false, 2, 0, "第 1 题", "单选题", false, false},
        CellCase{"ChoiceChosen", false, 2, 2, "第 1 题 B 已选", "单选题", true, true},
        CellCase{"ChoiceNotChosen", false, 2, 4, "第 1 题 D 未选", "单选题", true, false},
        CellCase{"MultipleChosen", false, 3, 3, "第 2 题 C 已选", "多选题", true, true},
        CellCase{"MultipleNotChosen", false, 3, 2, "第 2 题 B 未选", "多选题", true, false},
        CellCase{"PastTheRowsLetters", false, 5, 3, "第 5 行", "单选题", false, false},
        CellCase{"UnlabelledRow", false, 5, 1, "第 5 行 A 未选", "单选题", true, false},
        CellCase{"HeadingLabel", false, 1, 0, "一、选择题", "", false, false},
        CellCase{"HeadingCoveredCell", false, 1, 2, "", "", false, false},
        CellCase{"TextCoveredCell", false, 4, 3, "", "", false, false},
        CellCase{"TextAnswer", false, 4, 1, "第 3 题 文字答案 12", "文字答案题", false, false},
        CellCase{"GradedStillSaysTheChoice", true, 2, 2, "第 1 题 B 已选", "单选题", true, true},
        CellCase{"GradedRight", true, 2, 5, "第 1 题 正确", "单选题", false, false},
        CellCase{"GradedMultipleRight", true, 3, 5, "第 2 题 正确", "多选题", false, false},
        CellCase{"GradedWrong", true, 4, 5, "第 3 题 错误", "文字答案题", false, false},
        CellCase{"CorrectAnswer", true, 4, 6, "第 3 题 正确答案 北京", "文字答案题", false, false},
        CellCase{"CorrectChoice", true, 3, 6, "第 2 题 正确答案 A C", "多选题", false, false},
        CellCase{"GradedHeading", true, 1, 5, "", "", false, false},
        CellCase{"GradedTextCell", true, 4, 1, "第 3 题 文字答案 12", "文字答案题", false, false}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(SpokenText, EmptyTextAnswerAndRowsOutsideThePaper) {
  ExamSession session = answeredSession(false);
  session.setTextAnswer(0, "");
  EXPECT_EQ(describeCell(session, 4, 1, false).name, "第 3 题 文字答案 未答");
  for (int row : {0, 6, -1}) EXPECT_EQ(describeCell(session, row, 1, false).name, "") << row;
  EXPECT_EQ(describeCell(ExamSession(), 1, 1, false).name, "");  // the start-up grid
  EXPECT_EQ(rowEditName(session.table(), 4), "第 3 题 文字答案");
}

TEST(SpokenText, Clock) {
  ExamClock clock;
  clock.start(30);
  EXPECT_EQ(remainingTimeText(clock), "剩余答题时间 29 分 0 秒");
  (void)clock.secondTick();
  EXPECT_EQ(remainingTimeText(clock), "剩余答题时间 29 分 59 秒");
  EXPECT_EQ(allowedTimeText(clock), "答题时间 30 分钟");
  clock.start(0);  // the label shows -1
  EXPECT_EQ(remainingTimeText(clock), "剩余答题时间 0 分 0 秒");
  EXPECT_EQ(timeWarningText(TimeWarning::FiveMinutes), "剩余答题时间不超过 5 分钟");
  EXPECT_EQ(timeWarningText(TimeWarning::OneMinute), "剩余答题时间不超过 1 分钟");
  EXPECT_EQ(timeWarningText(TimeWarning::None), "");
}

}  // namespace
}  // namespace qzt
