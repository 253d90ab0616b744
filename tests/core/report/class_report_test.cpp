#include "report/class_report.h"

#include <gtest/gtest.h>

#include <cmath>

#include "../paper/test_files.h"
#include "author/paper_writer.h"
#include "paper/format.h"
#include "side/answer_file.h"

namespace qzt::report {
namespace {

namespace f = qzt::format;
using testing::TempDir;

// A heading, then a single choice A (2 marks), a multiple choice "A C" (3),
// a text answer stored as abc and graded as ABC (5) and a single choice B
// (2): 12 marks over four graded rows.
writer::PaperSpec classPaper() {
  writer::PaperSpec spec;
  spec.paperKey = "KEY-1";
  spec.questions = {{"", f::kKindHeading, 0, "Part one", 0},
                    {"1", f::kKindSingle, 4, "A", 2},
                    {"2", f::kKindMultiple, 4, "A C", 3},
                    {"3", f::kKindText, 0, "abc", 5},
                    {"4", f::kKindSingle, 4, "B", 2}};
  return spec;
}

class ClassReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(writer::writePaper(dir_ / "paper.qzt", classPaper()).ok());
    auto read = readPaper(dir_ / "paper.qzt", 0);
    ASSERT_TRUE(read.ok());
    paper_ = std::move(read).value();
  }

  // One answer file: the key, then one line per row (heading first).
  std::filesystem::path answers(const std::string& name, const std::string& body) {
    testing::writeFile(dir_ / name, body);
    return dir_ / name;
  }

  TempDir dir_;
  LoadedPaper paper_;
};

// Five graded files and one refused; every figure below is worked by hand.
//   file  row1   row2   row3   row4   score
//   a     A  ✓   AC ✓   ABC ✓  B  ✓   12
//   b     A  ✓   A      abc    -       2   (text typed in lower case)
//   c     B      AC ✓   ABC ✓  -       8
//   d     -      -      -      -       0   (saved before answering)
//   e     refused: another paper's key
//   f     A  ✓   CA ✓   ABC ✓  A      10
TEST_F(ClassReportTest, HandWorkedClass) {
  const std::vector<std::filesystem::path> files = {
      answers("a.da", "KEY-1\r\n\r\nA\r\nAC\r\nABC\r\nB\r\n"),
      answers("b.da", "KEY-1\r\n\r\nA\r\nA\r\nabc\r\n\r\n"),
      answers("c.da", "KEY-1\r\n\r\nB\r\nAC\r\nABC\r\n\r\n"),
      answers("d.da", "KEY-1\r\n\r\n\r\n\r\n\r\n\r\n"),
      answers("e.da", "KEY-2\r\n\r\nA\r\nAC\r\nABC\r\nB\r\n"),
      answers("f.da", "KEY-1\r\n\r\nA\r\nCA\r\nABC\r\nA\r\n")};
  const ClassReport r = reportClass(paper_, files);

  EXPECT_EQ(r.title, "Test paper");
  EXPECT_EQ(r.key, "KEY-1");
  EXPECT_EQ(r.total, 12);
  ASSERT_EQ(r.files.size(), 6u);
  EXPECT_EQ(r.files[4].error, std::string(qzt::kAnswersDoNotFit));
  EXPECT_EQ(r.files[1].scoreLine, "总分：12 得分：2 正确率：16.67");
  EXPECT_EQ(r.files[5].results, (std::vector<bool>{true, true, true, false}));

  const Summary& s = r.summary;
  EXPECT_EQ(s.count, 5);
  EXPECT_EQ(s.refused, 1);
  ASSERT_TRUE(s.scores);
  EXPECT_DOUBLE_EQ(s.scores->mean, 32.0 / 5);
  EXPECT_EQ(s.scores->median, 8);
  // Deviations from 6.4: 5.6 -4.4 1.6 -6.4 3.6; squares sum to 107.2.
  EXPECT_DOUBLE_EQ(s.scores->stdev, std::sqrt(107.2 / 5));
  EXPECT_EQ(s.scores->min, 0);
  EXPECT_EQ(s.scores->max, 12);
  // Shares 100, 16.67, 66.67, 0 and 83.33.
  EXPECT_EQ(s.histogram, (Histogram{1, 1, 0, 0, 0, 0, 1, 0, 1, 1}));

  // Discrimination: x the row's 0/1 results, y the scores less the marks
  // earned on the row; r = sxy / sqrt(sxx * syy) about the means.
  struct Expected {
    int row;
    int right;
    double discrimination;
    std::vector<AnswerCount> answers;
  };
  const std::vector<Expected> expected = {
      // x 1 1 0 0 1, y 10 0 8 0 8
      {2, 3, 2.4 / std::sqrt(1.2 * 92.8), {{"A", 3}, {"", 1}, {"B", 1}}},
      // x 1 0 1 0 1, y 9 2 5 0 7
      {3, 3, 7.2 / std::sqrt(1.2 * 53.2), {{"A C", 3}, {"", 1}, {"A", 1}}},
      // x 1 0 1 0 1, y 7 2 3 0 5
      {4, 3, 4.8 / std::sqrt(1.2 * 29.2), {{"ABC", 3}, {"", 1}, {"abc", 1}}},
      // x 1 0 0 0 0, y 10 2 8 0 10
      {5, 1, 4.0 / std::sqrt(0.8 * 88), {{"", 3}, {"A", 1}, {"B", 1}}}};
  ASSERT_EQ(r.questions.size(), expected.size());
  for (std::size_t k = 0; k < expected.size(); ++k) {
    const QuestionStats& q = r.questions[k];
    SCOPED_TRACE(q.row);
    EXPECT_EQ(q.row, expected[k].row);
    EXPECT_EQ(q.right, expected[k].right);
    ASSERT_TRUE(q.facility);
    EXPECT_DOUBLE_EQ(*q.facility, expected[k].right / 5.0);
    ASSERT_TRUE(q.discrimination);
    EXPECT_NEAR(*q.discrimination, expected[k].discrimination, 1e-12);
    ASSERT_EQ(q.answers.size(), expected[k].answers.size());
    for (std::size_t i = 0; i < q.answers.size(); ++i) {
      EXPECT_EQ(q.answers[i].answer, expected[k].answers[i].answer) << i;
      EXPECT_EQ(q.answers[i].count, expected[k].answers[i].count) << i;
    }
  }
  for (const QuestionStats& q : r.questions) EXPECT_TRUE(q.flags.empty()) << q.row;

  // One heading row ahead of every graded row: one section of 12 marks;
  // subtotals 12 2 8 0 10, mean 6.4.
  ASSERT_EQ(r.sections.size(), 1u);
  EXPECT_EQ(r.sections[0].questions, 4);
  EXPECT_EQ(r.sections[0].marks, 12);
  ASSERT_TRUE(r.sections[0].mean);
  EXPECT_DOUBLE_EQ(*r.sections[0].mean, 6.4);
  EXPECT_DOUBLE_EQ(*r.sections[0].facility, 6.4 / 12);
  EXPECT_EQ(r.files[2].subtotals, std::vector<double>{8});
  EXPECT_EQ(r.questions[2].label, "3");
  EXPECT_EQ(r.questions[2].correct, "ABC");
}

// Too few files or no spread: the figures that cannot be worked out are
// missing rather than made up.
TEST_F(ClassReportTest, FiguresWithoutEnoughFiles) {
  const auto right = answers("a.da", "KEY-1\r\n\r\nA\r\nAC\r\nABC\r\nB\r\n");
  const ClassReport one = reportClass(paper_, {right});
  ASSERT_TRUE(one.summary.scores);
  EXPECT_EQ(one.summary.scores->stdev, 0);
  EXPECT_EQ(one.questions[0].facility, 1.0);
  EXPECT_FALSE(one.questions[0].discrimination) << "one file";
  EXPECT_EQ(one.questions[0].flags, std::vector<std::string>{"答对率高于 0.9：题目可能过易"});

  const ClassReport same = reportClass(paper_, {right, right});
  EXPECT_FALSE(same.questions[0].discrimination) << "no spread";

  // A huge file (sparse, so the test stays cheap) is refused unread.
  const auto huge = answers("huge.da", "KEY-1\r\n");
  std::filesystem::resize_file(huge, kAnswerFileLimit + 1);
  std::filesystem::create_directories(dir_ / "folder.da");
  const ClassReport none = reportClass(paper_, {dir_ / "missing.da", answers("x.da", ""), huge, dir_ / "folder.da"});
  EXPECT_EQ(none.summary.count, 0);
  EXPECT_EQ(none.summary.refused, 4);
  EXPECT_FALSE(none.summary.scores);
  EXPECT_EQ(none.summary.histogram, Histogram{});
  EXPECT_EQ(none.files[0].error, "cannot read: no such file");
  EXPECT_EQ(none.files[3].error, "cannot read: not a regular file");
  EXPECT_EQ(none.files[1].error, std::string(kAnswerFileEmpty));
  EXPECT_EQ(none.files[2].error, "too large");
  EXPECT_FALSE(none.questions[0].facility);
  EXPECT_TRUE(none.questions[0].answers.empty());
}

// Long, all-different text answers: the row keeps kAnswersKept distinct
// answers, each cut to a readable length between GBK characters and ended
// by "…", and counts the rest as others.
TEST_F(ClassReportTest, AnswerTallyStaysBounded) {
  std::vector<std::filesystem::path> files;
  const std::string chinese = "\xD6\xD0";  // 中, two bytes
  for (std::size_t i = 0; i < kAnswersKept + 10; ++i) {
    std::string longText = "x";
    for (int c = 0; c < 5000; ++c) longText += chinese;
    longText += std::to_string(i);  // differs only after the cut
    files.push_back(answers("long" + std::to_string(i) + ".da", "KEY-1\r\n\r\nA\r\nAC\r\n" + longText + "\r\nB\r\n"));
  }
  files.push_back(answers("short.da", "KEY-1\r\n\r\nA\r\nAC\r\nshort\r\nB\r\n"));
  const ClassReport r = reportClass(paper_, files);
  const QuestionStats& text = r.questions[2];
  ASSERT_EQ(text.answers.size(), 2u) << "the long answers agree up to the cut";
  EXPECT_EQ(text.answers[0].count, static_cast<int>(kAnswersKept + 10));
  const ByteString& cut = text.answers[0].answer;
  EXPECT_EQ(cut.size(), 1 + 2 * ((kAnswerShownBytes - 1) / 2) + 2);
  EXPECT_EQ(cut.substr(cut.size() - 2), "\xA1\xAD");
  EXPECT_EQ(cut.substr(cut.size() - 4, 2), chinese) << "cut between characters";
  EXPECT_EQ(text.otherAnswers, 0);

  std::vector<std::filesystem::path> many;
  for (std::size_t i = 0; i < kAnswersKept + 10; ++i) {
    many.push_back(answers("m" + std::to_string(i) + ".da", "KEY-1\r\n\r\nA\r\nAC\r\nt" + std::to_string(i) + "\r\nB\r\n"));
  }
  const ClassReport spread = reportClass(paper_, many);
  EXPECT_EQ(spread.questions[2].answers.size(), kAnswersKept);
  EXPECT_EQ(spread.questions[2].otherAnswers, 10);
  EXPECT_EQ(spread.summary.count, static_cast<int>(kAnswersKept + 10)) << "every file still counts";
}

// Folders that could not be searched come first as refused; duplicates are
// carried into the report.
TEST_F(ClassReportTest, SearchProblemsAreRefusedFiles) {
  const auto a = answers("a.da", "KEY-1\r\n\r\nA\r\nAC\r\nABC\r\nB\r\n");
  const ClassReport r =
      reportClass(paper_, AnswerFileSearch{{a}, {{dir_ / "locked", "cannot search folder: Permission denied"}}, 2});
  ASSERT_EQ(r.files.size(), 2u);
  EXPECT_EQ(r.files[0].file, dir_ / "locked");
  EXPECT_EQ(r.files[0].error, "cannot search folder: Permission denied");
  EXPECT_EQ(r.summary.count, 1);
  EXPECT_EQ(r.summary.refused, 1);
  EXPECT_EQ(r.duplicates, 2);
}

// The best student misses row 1 and the weakest gets it: its key may be
// wrong. Row 3 nobody gets: too hard, its discrimination unknown.
TEST_F(ClassReportTest, ItemsThatNeedALookAreFlagged) {
  const ClassReport r = reportClass(paper_, {answers("a.da", "KEY-1\r\n\r\nB\r\nAC\r\n\r\nB\r\n"),
                                             answers("b.da", "KEY-1\r\n\r\nA\r\n\r\n\r\n\r\n"),
                                             answers("c.da", "KEY-1\r\n\r\n\r\nAC\r\n\r\n\r\n")});
  EXPECT_EQ(r.questions[0].flags, std::vector<std::string>{"区分度为负：答案可能有误"});
  EXPECT_EQ(r.questions[2].flags, std::vector<std::string>{"答对率低于 0.2：题目可能过难"});
}

}  // namespace
}  // namespace qzt::report
