#include "side/answer_grading.h"

#include <gtest/gtest.h>

#include "author/paper_writer.h"
#include "paper/format.h"
#include "sheet/exam_session.h"
#include "side/answer_file.h"

namespace qzt {
namespace {

namespace f = qzt::format;

// Grading a file from memory gives what an exam of the paper shows after
// the same file is imported and handed in.
TEST(AnswerGrading, AgreesWithAnExamThatImportedTheFile) {
  writer::PaperSpec spec;
  spec.paperKey = "KEY-1";
  spec.commentsByPercent = true;
  // The last row's option count reaches past the grid's 26 letter columns.
  spec.questions = {{"1", f::kKindSingle, 4, "B", 2},  {"", f::kKindHeading, 0, "Part", 0},
                    {"2", f::kKindText, 0, "ok", 1.5}, {"3", f::kKindMultiple, 6, "A F", 3},
                    {"4", 5, 2, "A", 4},               {"5", f::kKindMultiple, 30, "Z", 1}};
  const writer::BuiltPaper built = writer::buildPaper(spec);
  PaperHeader::Bytes headerBytes{};
  std::copy_n(built.bytes.begin(), headerBytes.size(), headerBytes.begin());
  const PaperHeader header(headerBytes);
  std::vector<QuestionRecord> records;
  for (const auto& q : spec.questions) records.push_back(writer::makeQuestion(q));
  const QuestionTable table(records);
  const AnswerFileGrader grader(header, table);

  for (const std::string file : {"KEY-1\r\nB\r\n\r\nok\r\nFxA\r\nA\r\nZ\r\n", "KEY-1\r\n\r\n\r\nok \r\nA\r\n\r\n\r\n",
                                 "KEY-1\nAB\n\nOK\nF A C\n\nz\n"}) {
    SCOPED_TRACE(file);
    ExamSession session;
    session.begin(header, table);
    auto sheet = importAnswers(file, header.paperKey(), session.table(), session.sheet());
    ASSERT_TRUE(sheet.ok());
    session.replaceAnswers(std::move(sheet).value());
    ASSERT_EQ(session.handIn(), ExamSession::HandIn::Graded);
    const GradeReport& expected = *session.report();

    const auto graded = grader.grade(file);
    ASSERT_TRUE(graded.ok());
    EXPECT_EQ(graded->scoreLine, expected.scoreLine);
    EXPECT_EQ(graded->selection, expected.selection);
    ASSERT_EQ(graded->rows.size(), expected.rows.size());
    for (std::size_t i = 0; i < expected.rows.size(); ++i) {
      EXPECT_EQ(graded->rows[i].result, expected.rows[i].result) << i;
      EXPECT_EQ(graded->rows[i].answer, expected.rows[i].answer) << i;
    }
  }
  EXPECT_EQ(grader.grade("KEY-2\r\n\r\n\r\n\r\n\r\n\r\n\r\n").error().message, kAnswersDoNotFit);
}

}  // namespace
}  // namespace qzt
