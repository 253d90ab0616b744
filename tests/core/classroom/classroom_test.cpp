#include "classroom/classroom.h"

#include <gtest/gtest.h>

#include "../paper/test_files.h"
#include "author/paper_writer.h"
#include "paper/format.h"
#include "report/class_grader.h"
#include "util/file_bytes.h"

namespace qzt::classroom {
namespace {

namespace f = qzt::format;
using qzt::testing::TempDir;

constexpr std::int64_t kMinute = 60'000;

writer::PaperSpec roomPaper(const ByteString& gradePassword = {}) {
  writer::PaperSpec spec;
  spec.paperKey = "ROOM-1";
  spec.timeLimit = 10;
  spec.gradePassword = gradePassword;
  spec.questions = {{"", f::kKindHeading, 0, "Part one", 0},
                    {"1", f::kKindSingle, 4, "A", 2},
                    {"2", f::kKindMultiple, 4, "A C", 3},
                    {"3", f::kKindText, 0, "abc", 5}};
  return spec;
}

class ClassroomTest : public ::testing::Test {
 protected:
  void SetUp() override { usePaper(roomPaper()); }

  void usePaper(const writer::PaperSpec& spec) {
    ASSERT_TRUE(writer::writePaper(dir_ / "paper.qzt", spec).ok());
    paper_ = readPaper(dir_ / "paper.qzt", 0).value();
  }

  std::unique_ptr<Classroom> openRoom(std::int64_t nowMs, ResultsPolicy policy = ResultsPolicy::Now) {
    RoomOptions options;
    options.answersDir = dir_ / "answers";
    options.results = policy;
    options.gradePasswordGiven = !hasPassword(paper_.header.gradePasswordBlock());
    auto room = Classroom::open(paper_, options, nowMs);
    EXPECT_TRUE(room.ok());
    return std::move(room).value();
  }

  TempDir dir_;
  LoadedPaper paper_;
};

TEST_F(ClassroomTest, SignInOnceThenResumeWithTheCode) {
  auto room = openRoom(0);
  auto first = room->signIn(" 张三 ", "07", 0);
  ASSERT_TRUE(first.ok());
  EXPECT_EQ(first.value().name, "张三");
  EXPECT_EQ(first.value().token.size(), 64u);
  EXPECT_EQ(room->signIn("张三", "07", 0).refusal().why, Denial::Conflict);
  EXPECT_EQ(room->signIn("", "07", 0).refusal().why, Denial::BadInput);

  EXPECT_EQ(room->resume("张三", "07", "AAA-AAA", 0).refusal().why, Denial::Forbidden);
  EXPECT_EQ(room->resume("李四", "07", first.value().resumeCode, 0).refusal().why, Denial::Forbidden);
  std::string typed = first.value().resumeCode;
  for (char& c : typed) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  auto again = room->resume("张三", "07", typed, 0);
  ASSERT_TRUE(again.ok()) << "codes are read without regard to case";
  EXPECT_EQ(room->session(first.value().token, 0).refusal().why, Denial::NoSession) << "old session ends";
  EXPECT_EQ(room->session(again.value().token, 0).value(), first.value().id);
}

TEST_F(ClassroomTest, TooManyWrongCodesNeedTheTeacher) {
  auto room = openRoom(0);
  auto in = room->signIn("Ann", "1", 0);
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(room->resume("Ann", "1", "XXX-XXX", 0).ok());
  EXPECT_FALSE(room->resume("Ann", "1", in.value().resumeCode, 0).ok());
  auto code = room->letIn(in.value().id);
  ASSERT_TRUE(code.ok());
  EXPECT_TRUE(room->resume("Ann", "1", code.value(), 0).ok());
}

// The clock starts at the first view, warns at 5 and 1 minutes left and
// hands in at 0, by itself.
TEST_F(ClassroomTest, ServerClockPerCandidate) {
  auto room = openRoom(0);
  const int id = room->signIn("Ann", "1", 0).value().id;
  EXPECT_EQ(room->state(id, 3 * kMinute).value().remainingSeconds, 600) << "not started before the view";
  ASSERT_TRUE(room->viewPaper(id, 3 * kMinute).ok());
  struct Step {
    std::int64_t atMs;
    std::int64_t remaining;
    TimeWarning warning;
    Status status;
  };
  const Step steps[] = {{3 * kMinute + 999, 600, TimeWarning::None, Status::Answering},
                        {8 * kMinute - 1000, 301, TimeWarning::None, Status::Answering},
                        {8 * kMinute, 300, TimeWarning::FiveMinutes, Status::Answering},
                        {12 * kMinute, 60, TimeWarning::OneMinute, Status::Answering},
                        {13 * kMinute - 1000, 1, TimeWarning::OneMinute, Status::Answering},
                        {13 * kMinute, 0, TimeWarning::None, Status::HandedIn}};
  for (const Step& s : steps) {
    room->tick(s.atMs);
    const auto st = room->state(id, s.atMs).value();
    EXPECT_EQ(st.remainingSeconds, s.remaining) << s.atMs;
    EXPECT_EQ(st.warning, s.warning) << s.atMs;
    EXPECT_EQ(st.status, s.status) << s.atMs;
  }
  EXPECT_EQ(room->putAnswers(id, 1, {}, 13 * kMinute).refusal().why, Denial::Forbidden);
}

TEST_F(ClassroomTest, StaleVersionsChangeNothing) {
  auto room = openRoom(0);
  const int id = room->signIn("Ann", "1", 0).value().id;
  ASSERT_TRUE(room->putAnswers(id, 5, {{2, "A", {}}}, 0).ok());
  EXPECT_EQ(room->putAnswers(id, 5, {{2, "B", {}}}, 0).refusal().why, Denial::Conflict);
  EXPECT_EQ(room->putAnswers(id, 6, {{2, "AB", {}}}, 0).refusal().why, Denial::BadInput);
  const auto st = room->state(id, 0).value();
  EXPECT_EQ(st.version, 5);
  ASSERT_EQ(st.answers.size(), 1u);
  EXPECT_EQ(*st.answers[0].letters, "A");
}

// kill -9 is a room dropped without flush: a new room on the same folder
// has every answer and the time left, and time did not run while down.
TEST_F(ClassroomTest, ReplayAfterACrash) {
  SignedIn ann;
  {
    auto room = openRoom(0);
    ann = room->signIn("Ann", "1", 0).value();
    ASSERT_TRUE(room->viewPaper(ann.id, 0).ok());
    ASSERT_TRUE(room->putAnswers(ann.id, 3, {{2, "A", {}}, {4, {}, "abc"}}, 2 * kMinute).ok());
    room->tick(4 * kMinute);
    ASSERT_TRUE(room->extend(ann.id, 2, 4 * kMinute).ok());
  }
  // Started again on another monotonic scale, an hour later.
  auto room = openRoom(100 * kMinute);
  const auto id = room->session(ann.token, 100 * kMinute);
  ASSERT_TRUE(id.ok()) << "sessions survive a restart";
  const auto st = room->state(id.value(), 100 * kMinute).value();
  EXPECT_EQ(st.status, Status::Answering);
  EXPECT_EQ(st.version, 3);
  EXPECT_EQ(st.answers.size(), 2u);
  EXPECT_EQ(st.remainingSeconds, 12 * 60 - 4 * 60);
  EXPECT_EQ(room->room(100 * kMinute).at(0).answered, 2);
  EXPECT_EQ(room->signIn("Ann", "1", 100 * kMinute).refusal().why, Denial::Conflict);
  EXPECT_TRUE(room->resume("Ann", "1", ann.resumeCode, 100 * kMinute).ok());
}

TEST_F(ClassroomTest, GradesAsTheGradeCommand) {
  auto room = openRoom(0);
  const int id = room->signIn("Ann", "1", 0).value().id;
  ASSERT_TRUE(room->putAnswers(id, 1, {{2, "A", {}}, {3, "A", {}}, {4, {}, "ABC"}}, 0).ok());
  const auto st = room->handIn(id, 0).value();
  ASSERT_TRUE(st.results && !st.results->pending);
  report::ClassGrader grader(paper_);
  const auto files = room->handedInFiles();
  ASSERT_EQ(files.size(), 1u);
  const auto expected = grader.grade(files[0]).value();
  EXPECT_EQ(st.results->report, expected.report.scoreLine);
  EXPECT_EQ(st.results->score, 7);
  ASSERT_EQ(st.results->rows.size(), 3u);
  EXPECT_TRUE(st.results->rows[0].right);
  EXPECT_FALSE(st.results->rows[1].right);
  EXPECT_EQ(st.results->rows[1].correct, "A C");
}

struct PolicyCase {
  ResultsPolicy policy;
  bool shownBeforeClose;
  bool shownAfterClose;
};

class ResultsPolicyTest : public ClassroomTest, public ::testing::WithParamInterface<PolicyCase> {};

TEST_P(ResultsPolicyTest, ShowsResultsOnlyAsAllowed) {
  auto room = openRoom(0, GetParam().policy);
  const int id = room->signIn("Ann", "1", 0).value().id;
  EXPECT_FALSE(room->state(id, 0).value().results) << "never before the hand-in";
  EXPECT_EQ(room->handIn(id, 0).value().results.has_value(), GetParam().shownBeforeClose);
  room->end(0);
  EXPECT_EQ(room->state(id, 0).value().results.has_value(), GetParam().shownAfterClose);
}

INSTANTIATE_TEST_SUITE_P(Policies, ResultsPolicyTest,
                         ::testing::Values(PolicyCase{ResultsPolicy::Now, true, true},
                                           PolicyCase{ResultsPolicy::AfterClose, false, true},
                                           PolicyCase{ResultsPolicy::Never, false, false}));

TEST_F(ClassroomTest, GradingPasswordHoldsResultsBack) {
  usePaper(roomPaper("teach"));
  auto room = openRoom(0);
  const int id = room->signIn("Ann", "1", 0).value().id;
  EXPECT_TRUE(room->handIn(id, 0).value().results->pending);
  EXPECT_FALSE(room->giveGradePassword("wrong"));
  EXPECT_TRUE(room->gradePasswordNeeded());
  EXPECT_TRUE(room->giveGradePassword("teach"));
  const auto st = room->state(id, 0).value();
  ASSERT_TRUE(st.results);
  EXPECT_FALSE(st.results->pending);
  EXPECT_EQ(st.results->total, 10);
}

TEST_F(ClassroomTest, EndHandsInEveryoneAndClosesTheRoom) {
  auto room = openRoom(0);
  const int a = room->signIn("Ann", "1", 0).value().id;
  const int b = room->signIn("Bob", "2", 0).value().id;
  ASSERT_TRUE(room->viewPaper(a, 0).ok());
  ASSERT_TRUE(room->extend(std::nullopt, 5, 0).ok());
  EXPECT_EQ(room->state(a, 0).value().remainingSeconds, 15 * 60);
  EXPECT_EQ(room->extend(a, 0, 0).refusal().why, Denial::BadInput);
  room->end(kMinute);
  EXPECT_FALSE(room->open());
  EXPECT_EQ(room->state(b, kMinute).value().status, Status::HandedIn);
  EXPECT_EQ(room->signIn("Cy", "3", kMinute).refusal().why, Denial::Forbidden);
  EXPECT_EQ(room->handedInFiles().size(), 2u);
  auto reopened = openRoom(0);
  EXPECT_FALSE(reopened->open()) << "a closed exam stays closed after a restart";
}

}  // namespace
}  // namespace qzt::classroom
