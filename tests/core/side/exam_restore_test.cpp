#include "side/exam_restore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "author/paper_writer.h"

namespace qzt {
namespace {

writer::PaperSpec paper(ByteString key = "KEY-1") {
  writer::PaperSpec spec;
  spec.paperKey = std::move(key);
  spec.timeLimit = 30;
  spec.questions = {{"1", 1, 4, "A", 2}, {"2", 2, 4, "A C", 3}, {"3", 3, 0, "abc", 5}};
  return spec;
}

void begin(ExamSession& s, const writer::PaperSpec& spec) {
  const writer::BuiltPaper built = writer::buildPaper(spec);
  PaperHeader::Bytes bytes{};
  std::copy_n(built.bytes.begin() + built.layout.headerOffset, bytes.size(), bytes.begin());
  std::vector<QuestionRecord> records;
  for (const auto& q : spec.questions) records.push_back(writer::makeQuestion(q));
  s.begin(PaperHeader(bytes), QuestionTable(std::move(records)));
}

// An exam 8 seconds in, with a letter, two letters and a text answered.
RecoveryCopy answeredCopy() {
  ExamSession s;
  begin(s, paper());
  (void)s.pressLetter(1, 2);
  (void)s.pressLetter(2, 1);
  (void)s.pressLetter(2, 3);
  s.setTextAnswer(0, "typed");
  for (int t = 0; t < 8; ++t) (void)s.secondTick();
  return recoveryCopyOf("/papers/p.qzt", s);
}

TEST(ExamRestore, AFreshExamTakesTheAnswersAndTheTimeLeft) {
  const RecoveryCopy copy = answeredCopy();
  EXPECT_EQ(copy.paperPath, "/papers/p.qzt");
  EXPECT_EQ(copy.paperKey, "KEY-1");
  EXPECT_EQ(copy.minutesLeft, 29);
  EXPECT_EQ(copy.secondsLeft, 52);

  ExamSession s;
  begin(s, paper());
  ASSERT_TRUE(restoreExam(copy, s).ok());
  EXPECT_EQ(s.sheet().cell(1, 2), " B");
  EXPECT_EQ(s.sheet().cell(2, 1), " A");
  EXPECT_EQ(s.sheet().cell(2, 3), " C");
  EXPECT_EQ(s.sheet().textAnswer(0), "typed");
  EXPECT_EQ(s.clock().minutesLeft(), 29);
  EXPECT_EQ(s.clock().secondsLeft(), 52);
  EXPECT_TRUE(s.answering());
  // The restored answers grade like the ones entered: B is wrong, A C right.
  ASSERT_EQ(s.handIn(), ExamSession::HandIn::Graded);
  EXPECT_EQ(s.report()->score, 3);
}

TEST(ExamRestore, RefusedWithoutChangingAnything) {
  struct Case {
    const char* name;
    writer::PaperSpec spec;
    bool handIn;
  };
  writer::PaperSpec longer = paper();
  longer.questions.push_back({"4", 1, 4, "B", 1});
  const Case cases[] = {{"AnotherKey", paper("KEY-2"), false},
                        {"AnotherShape", longer, false},
                        {"Graded", paper(), true}};
  const RecoveryCopy copy = answeredCopy();
  for (const Case& c : cases) {
    ExamSession s;
    begin(s, c.spec);
    if (c.handIn) (void)s.handIn();
    const int minutes = s.clock().minutesLeft();
    EXPECT_FALSE(restoreExam(copy, s).ok()) << c.name;
    EXPECT_EQ(s.sheet().cell(1, 2), "") << c.name;
    EXPECT_EQ(s.sheet().textAnswer(0), "") << c.name;
    EXPECT_EQ(s.clock().minutesLeft(), minutes) << c.name;
    EXPECT_EQ(s.clock().secondsLeft(), 0) << c.name;
  }
}

}  // namespace
}  // namespace qzt
