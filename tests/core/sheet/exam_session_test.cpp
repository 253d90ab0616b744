#include "sheet/exam_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "paper/format.h"
#include "paper/unpack.h"
#include "author/paper_writer.h"

namespace qzt {
namespace {

template <typename Case>
std::string caseName(const ::testing::TestParamInfo<Case>& c) {
  return c.param.name;
}

using Mode = SecondTimerMode;

struct Paper {
  PaperHeader header;
  QuestionTable table;
};

// The header and question table a load would give for `spec`.
Paper paperOf(const writer::PaperSpec& spec) {
  const writer::BuiltPaper built = writer::buildPaper(spec);
  PaperHeader::Bytes bytes{};
  std::copy_n(built.bytes.begin() + built.layout.headerOffset, bytes.size(), bytes.begin());
  std::vector<QuestionRecord> records;
  for (const auto& q : spec.questions) records.push_back(writer::makeQuestion(q));
  return {PaperHeader(bytes), QuestionTable(std::move(records))};
}

writer::PaperSpec specWith(std::vector<writer::QuestionSpec> questions, int timeLimit = 60) {
  writer::PaperSpec spec;
  spec.questions = std::move(questions);
  spec.timeLimit = timeLimit;
  return spec;
}

// The four questions of the worked example: 2 + 3 + 5 + 2 marks.
writer::PaperSpec fourQuestions() {
  return specWith({{"1", 1, 4, "A", 2}, {"2", 2, 4, "A C", 3}, {"3", 3, 0, "abc", 5}, {"4", 1, 4, "B", 2}});
}

void startExam(ExamSession& s, const writer::PaperSpec& spec) {
  Paper p = paperOf(spec);
  s.begin(p.header, std::move(p.table));
}

std::vector<ByteString> rowCells(const ExamSession& s, int row) {
  std::vector<ByteString> cells;
  for (int c = 1; c <= s.sheet().letterColumns(); ++c) cells.push_back(s.sheet().cell(row, c));
  return cells;
}

// ---- Entry -------------------------------------------------------------------

struct EntryCase {
  const char* name;
  int kind;
  int options;
  std::vector<int> presses;  // columns pressed on row 1, in order
  std::vector<ByteString> cells;
};

class Entry : public ::testing::TestWithParam<EntryCase> {};

TEST_P(Entry, PressesOnRowOne) {
  const EntryCase& c = GetParam();
  ExamSession s;
  // Row 2 makes the grid four letters wide whatever row 1 has.
  startExam(s, specWith({{"1", c.kind, c.options, "A"}, {"2", 2, 4, "A"}}));
  for (int column : c.presses) (void)s.pressLetter(1, column);
  EXPECT_EQ(rowCells(s, 1), c.cells);
  EXPECT_EQ(rowCells(s, 2), (std::vector<ByteString>(4)));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Entry,
    ::testing::Values(
        EntryCase{"SingleBThenD", 1, 4, {2, 4}, {"", "", "", " D"}},
        EntryCase{"SingleDAgainEmpties", 1, 4, {2, 4, 4}, {"", "", "", ""}},
        EntryCase{"MultipleACA", 2, 4, {1, 3, 1}, {"", "", " C", ""}},
        EntryCase{"MultipleKeepsAll", 2, 4, {4, 1, 2}, {" A", " B", "", " D"}},
        EntryCase{"DoublePressTogglesBack", 2, 4, {2, 2}, {"", "", "", ""}},
        EntryCase{"BeyondOptionCount", 2, 2, {3, 4, 1}, {" A", "", "", ""}},
        EntryCase{"SingleWithTwoOptions", 1, 2, {1, 2, 3}, {"", " B", "", ""}},
        EntryCase{"KindZeroIsMultiple", 0, 4, {1, 2}, {" A", " B", "", ""}},
        EntryCase{"NegativeKindIsMultiple", -3, 4, {1, 2}, {" A", " B", "", ""}},
        EntryCase{"KindSevenIsMultiple", 7, 4, {1, 2}, {" A", " B", "", ""}},
        EntryCase{"NoOptions", 1, 0, {1}, {"", "", "", ""}},
        EntryCase{"LabelColumn", 2, 4, {0}, {"", "", "", ""}}),
    caseName<EntryCase>);

// A letter key is a press on its letter's cell: the same table of cases.
TEST_P(Entry, LetterKeysOnRowOne) {
  const EntryCase& c = GetParam();
  ExamSession s;
  startExam(s, specWith({{"1", c.kind, c.options, "A"}, {"2", 2, 4, "A"}}));
  for (int column : c.presses) {
    const KeyAction done = s.pressKey(1, 1, GridKey::Letter, static_cast<char>('a' + column - 1));
    if (done.kind == KeyAction::Kind::PressCell) {
      EXPECT_EQ(done.column, column);
    }
  }
  EXPECT_EQ(rowCells(s, 1), c.cells);
  EXPECT_EQ(rowCells(s, 2), (std::vector<ByteString>(4)));
}

TEST(ExamSession, KeysOnlyWhileAnswering) {
  ExamSession s;
  EXPECT_EQ(s.pressKey(1, 1, GridKey::Letter, 'A').kind, KeyAction::Kind::Nothing);
  startExam(s, specWith({{"1", 1, 4, "A"}, {"2", 3, 0, "x"}}));
  EXPECT_EQ(s.pressKey(1, 3, GridKey::Space).kind, KeyAction::Kind::PressCell);
  EXPECT_EQ(rowCells(s, 1), (std::vector<ByteString>{"", "", " C", ""}));
  // A letter past the row's options changes nothing and says so.
  EXPECT_EQ(s.pressKey(1, 1, GridKey::Letter, 'E').kind, KeyAction::Kind::Nothing);
  EXPECT_EQ(s.pressKey(2, 1, GridKey::Text).kind, KeyAction::Kind::ToRowEdit);
  ASSERT_EQ(s.handIn(), ExamSession::HandIn::Graded);
  EXPECT_EQ(s.pressKey(1, 2, GridKey::Letter, 'B').kind, KeyAction::Kind::Nothing);
  EXPECT_EQ(s.pressKey(2, 1, GridKey::Enter).kind, KeyAction::Kind::Nothing);
  EXPECT_EQ(rowCells(s, 1), (std::vector<ByteString>{"", "", " C", ""}));
}

TEST(ExamSession, PressOutsideTheRowsChangesNothing) {
  ExamSession s;
  startExam(s, specWith({{"1", 2, 4, "A"}}));
  EXPECT_FALSE(s.pressLetter(0, 1));
  EXPECT_FALSE(s.pressLetter(2, 1));
  EXPECT_FALSE(s.pressLetter(-1, 1));
  EXPECT_FALSE(s.pressLetter(1, 5));
  EXPECT_TRUE(s.pressLetter(1, 4));
}

TEST(ExamSession, NoMouseEntryBeforeBeginOrAfterHandIn) {
  ExamSession s;
  EXPECT_FALSE(s.answering());
  EXPECT_EQ(s.layout().rowCount, 5);  // the start-up grid
  EXPECT_FALSE(s.pressLetter(1, 1));

  startExam(s, specWith({{"1", 2, 4, "A"}}));
  EXPECT_TRUE(s.pressLetter(1, 2));
  ASSERT_EQ(s.handIn(), ExamSession::HandIn::Graded);
  EXPECT_FALSE(s.pressLetter(1, 1));
  EXPECT_FALSE(s.pressLetter(1, 2));
  EXPECT_EQ(rowCells(s, 1), (std::vector<ByteString>{"", " B", "", ""}));
}

TEST(ExamSession, LetterArea) {
  ExamSession s;
  startExam(s, fourQuestions());  // 5 rows: the area ends above (5 - t + 1) * 25
  struct Case {
    int x, y, topRow;
    bool inside;
    double scale = 1.0;
  };
  const Case cases[] = {
      {46, 25, 1, true},   {45, 25, 1, false},  {46, 24, 1, false}, {200, 124, 1, true},
      {200, 125, 1, false}, {200, 74, 3, true}, {200, 75, 3, false},
      // At 150% the label column is 68 wide and a row counts 37.
      {69, 37, 1, true, 1.5}, {68, 37, 1, false, 1.5}, {69, 36, 1, false, 1.5},
      {200, 184, 1, true, 1.5}, {200, 185, 1, false, 1.5},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(s.inLetterArea(c.x, c.y, c.topRow, c.scale), c.inside)
        << c.x << "," << c.y << " t=" << c.topRow << " scale " << c.scale;
  }
}

// ---- Exam start and clock ------------------------------------------------------

TEST(ExamSession, BeginStartsAFreshExam) {
  ExamSession s;
  startExam(s, fourQuestions());
  (void)s.pressLetter(1, 1);
  s.setTextAnswer(0, "abc");
  ASSERT_EQ(s.handIn(), ExamSession::HandIn::Graded);

  startExam(s, specWith({{"1", 3, 0, "X"}, {"2", 1, 2, "B"}}, 45));
  EXPECT_TRUE(s.answering());
  EXPECT_FALSE(s.graded());
  EXPECT_EQ(s.mode(), Mode::Countdown);
  EXPECT_EQ(s.clock().minutesAllowed(), 45);
  EXPECT_EQ(s.clock().minutesLeft(), 44);
  EXPECT_TRUE(s.clock().secondTimerArmed());
  EXPECT_EQ(s.layout().columnWidths, (std::vector<int>{45, 28, 28, 56}));
  EXPECT_EQ(s.sheet().rowCount(), 3);
  EXPECT_EQ(s.sheet().textAnswer(0), "");
  EXPECT_EQ(rowCells(s, 2), (std::vector<ByteString>{"", ""}));
}

// A recovery copy's time is taken only by a running countdown: never
// before a paper, after hand-in or after grading.
TEST(ExamSession, ResumeClockOnlyWhileTheCountdownRuns) {
  ExamSession none;
  EXPECT_FALSE(none.resumeClock(10, 10));

  struct Case {
    const char* name;
    void (*after)(ExamSession&);
    bool resumed;
  };
  const Case cases[] = {
      {"Running", [](ExamSession&) {}, true},
      {"HandedIn",
       [](ExamSession& s) {
         auto spec = fourQuestions();
         spec.gradePassword = "pw";
         startExam(s, spec);
         ASSERT_EQ(s.handIn(), ExamSession::HandIn::NeedsGradePassword);
       },
       false},
      {"Graded", [](ExamSession& s) { (void)s.handIn(); }, false},
  };
  for (const Case& c : cases) {
    ExamSession s;
    startExam(s, fourQuestions());
    c.after(s);
    const int minutesBefore = s.clock().minutesLeft();
    EXPECT_EQ(s.resumeClock(20, 30), c.resumed) << c.name;
    EXPECT_EQ(s.clock().minutesLeft(), c.resumed ? 20 : minutesBefore) << c.name;
    EXPECT_EQ(s.clock().secondTimerArmed(), c.resumed) << c.name;
    EXPECT_EQ(s.clock().minuteTimerRunning(), c.resumed) << c.name;
  }
}

TEST(ExamSession, TimeUpWithoutMinutesLeftNeedsNoConfirmation) {
  struct Case {
    int limit;
    bool asks;  // at the automatic hand-in
  };
  for (const Case c : {Case{1, false}, Case{0, true}}) {
    ExamSession s;
    startExam(s, specWith({{"1", 1, 4, "A"}}, c.limit));
    int t = 0;
    ExamSession::Tick tick = ExamSession::Tick::Nothing;
    while (tick == ExamSession::Tick::Nothing && t < 200) {
      ++t;
      if (t % 60 == 0) s.minuteTick();
      if (s.clock().secondTimerArmed()) tick = s.secondTick();
    }
    EXPECT_EQ(tick, ExamSession::Tick::TimeUp) << c.limit;
    EXPECT_EQ(t, 61) << c.limit;
    EXPECT_EQ(s.handInAsksConfirmation(), c.asks) << c.limit;
  }
}

TEST(ExamSession, HandInBeforeTheTimeAsksAndKeepsTheTimeLeft) {
  ExamSession s;
  startExam(s, specWith({{"1", 1, 4, "A"}}, 13));
  (void)s.secondTick();
  EXPECT_TRUE(s.handInAsksConfirmation());  // minutes left reads 12
  // Declining changes nothing: the caller simply does not hand in.
  EXPECT_TRUE(s.answering());
  EXPECT_TRUE(s.clock().secondTimerArmed());

  EXPECT_EQ(s.handIn(), ExamSession::HandIn::Graded);
  EXPECT_FALSE(s.answering());
  EXPECT_TRUE(s.graded());
  EXPECT_FALSE(s.clock().minuteTimerRunning());
  EXPECT_FALSE(s.clock().secondTimerArmed());
  EXPECT_EQ(s.clock().minutesLeft(), 12);
  EXPECT_EQ(s.clock().secondsLeft(), 59);
  // A tick already on its way when the clock stopped moves nothing.
  EXPECT_EQ(s.secondTick(), ExamSession::Tick::Nothing);
  EXPECT_EQ(s.clock().secondsLeft(), 59);
}

// Each warning comes once, on the minute tick that reaches it; a paper that
// starts inside a warning shows it without a rise.
TEST(ExamSession, TimeWarningsRiseOnTheirMinuteTicks) {
  struct Case {
    int limit;
    TimeWarning atStart;
    std::vector<TimeWarning> ticks;  // what each minute tick returns
  };
  using W = TimeWarning;
  const Case cases[] = {
      {7, W::None, {W::None, W::FiveMinutes, W::None, W::None, W::None, W::OneMinute, W::None}},
      {3, W::FiveMinutes, {W::None, W::OneMinute, W::None}},
      {0, W::OneMinute, {W::None}},
  };
  for (const Case& c : cases) {
    ExamSession s;
    startExam(s, specWith({{"1", 1, 4, "A"}}, c.limit));
    EXPECT_EQ(s.timeWarning(), c.atStart) << "limit " << c.limit;
    std::vector<TimeWarning> risen;
    for (std::size_t i = 0; i < c.ticks.size(); ++i) risen.push_back(s.minuteTick());
    EXPECT_EQ(risen, c.ticks) << "limit " << c.limit;
  }
  ExamSession s;
  startExam(s, specWith({{"1", 1, 4, "A"}}, 3));
  ASSERT_EQ(s.handIn(), ExamSession::HandIn::Graded);
  EXPECT_EQ(s.timeWarning(), TimeWarning::None);
}

// ---- Hand-in and grading -----------------------------------------------------

TEST(ExamSession, FourQuestionsByMouseAndTyping) {
  ExamSession s;
  startExam(s, fourQuestions());
  (void)s.pressLetter(1, 1);
  (void)s.pressLetter(2, 1);
  (void)s.pressLetter(2, 3);
  s.setTextAnswer(0, "abc");
  ASSERT_EQ(s.handIn(), ExamSession::HandIn::Graded);
  ASSERT_TRUE(s.report().has_value());
  EXPECT_EQ(s.report()->scoreLine, "总分：12 得分：5 正确率：41.67");
  EXPECT_EQ(s.report()->selection, 5);
  EXPECT_EQ(s.gradedLayout().columnWidths,
            (std::vector<int>{45, 28, 28, 28, 28, 30, 75}));

  // Graded stays graded: a second hand-in adds no columns and grades nothing.
  EXPECT_EQ(s.handIn(), ExamSession::HandIn::Graded);
  EXPECT_EQ(s.gradedLayout().columnWidths.size(), 7u);
}

// Letters go on past Z (code 64 + column): a question with 30 options is
// answered right in its 30th column, "^".
TEST(ExamSession, LettersPastZ) {
  ExamSession s;
  startExam(s, specWith({{"1", 1, 30, "^", 2}, {"2", 2, 27, "A [", 3}}));
  ASSERT_EQ(s.sheet().letterColumns(), 30);
  EXPECT_TRUE(s.pressLetter(1, 30));
  EXPECT_TRUE(s.pressLetter(2, 1));
  EXPECT_TRUE(s.pressLetter(2, 27));
  EXPECT_FALSE(s.pressLetter(2, 28));
  EXPECT_EQ(s.sheet().cell(1, 30), ByteString(" ^"));
  ASSERT_EQ(s.handIn(), ExamSession::HandIn::Graded);
  EXPECT_EQ(s.report()->scoreLine, "总分：5 得分：5 正确率：100");
}

TEST(ExamSession, CorrectAnswerHintOnGradedTextRows) {
  ExamSession s;
  startExam(s, fourQuestions());
  EXPECT_EQ(s.hintForPress(3, 6), std::nullopt);  // answering
  ASSERT_EQ(s.handIn(), ExamSession::HandIn::Graded);
  EXPECT_EQ(s.hintForPress(3, 6), ByteString("ABC"));
  EXPECT_EQ(s.hintForPress(3, 5), std::nullopt);   // the result column
  EXPECT_EQ(s.hintForPress(1, 6), std::nullopt);   // a choice row
  EXPECT_EQ(s.hintForPress(0, 6), std::nullopt);   // the header row
}

TEST(ExamSession, NoHintBeforeGrading) {
  writer::PaperSpec spec = fourQuestions();
  spec.gradePassword = "pw";
  ExamSession s;
  startExam(s, spec);
  ASSERT_EQ(s.handIn(), ExamSession::HandIn::NeedsGradePassword);
  EXPECT_EQ(s.hintForPress(3, 4), std::nullopt);
  EXPECT_EQ(s.hintForPress(3, 6), std::nullopt);
}

TEST(ExamSession, GradingPassword) {
  writer::PaperSpec spec = fourQuestions();
  spec.gradePassword = "Pw";
  ExamSession s;
  startExam(s, spec);
  (void)s.pressLetter(1, 1);

  ASSERT_EQ(s.handIn(), ExamSession::HandIn::NeedsGradePassword);
  EXPECT_EQ(s.pendingPurpose(), Mode::GradePassword);
  EXPECT_FALSE(s.answering());
  EXPECT_FALSE(s.clock().secondTimerArmed());

  for (const char* wrong : {"pw", "Pw ", ""}) {
    s.confirmPassword();
    EXPECT_EQ(s.mode(), Mode::GradePassword);
    EXPECT_TRUE(s.clock().secondTimerArmed());
    ASSERT_EQ(s.secondTick(), ExamSession::Tick::CheckGradePassword);
    EXPECT_FALSE(s.checkGradePassword(wrong)) << wrong;
    EXPECT_EQ(s.takeStateCode(), format::kStateWrongGradePassword);
    EXPECT_EQ(s.stateCode(), 0);
    EXPECT_FALSE(s.graded());
    EXPECT_EQ(s.mode(), Mode::GradePassword);
    EXPECT_FALSE(s.clock().secondTimerArmed());
    EXPECT_FALSE(s.clock().minuteTimerRunning());
    // The candidate hands in again and is asked again.
    ASSERT_EQ(s.handIn(), ExamSession::HandIn::NeedsGradePassword);
  }

  s.confirmPassword();
  ASSERT_EQ(s.secondTick(), ExamSession::Tick::CheckGradePassword);
  EXPECT_TRUE(s.checkGradePassword("Pw"));
  EXPECT_TRUE(s.graded());
  EXPECT_EQ(s.stateCode(), 0);
  EXPECT_EQ(s.report()->scoreLine, "总分：12 得分：2 正确率：16.67");
}

// ---- Opening password while a paper may be on screen -----------------------

// The paper a right opening password would load.
OpenedPaper lockedPaper(int timeLimit = 20) {
  writer::PaperSpec locked = specWith({{"1", 1, 4, "A"}}, timeLimit);
  locked.openPassword = "secret";
  return OpenedPaper{"locked.qzt", 0, paperOf(locked).header};
}

struct OpenCase {
  const char* name;
  bool paperOnScreen;
  bool handedIn;
  Mode modeAfter;
  bool countdownGoesOn;
};

class WrongOpenPassword : public ::testing::TestWithParam<OpenCase> {};

TEST_P(WrongOpenPassword, ResumesOnlyARunningCountdown) {
  const OpenCase& c = GetParam();
  ExamSession s;
  if (c.paperOnScreen) {
    startExam(s, specWith({{"1", 1, 4, "A"}}, 10));
    (void)s.secondTick();
  }
  if (c.handedIn) {
    ASSERT_EQ(s.handIn(), ExamSession::HandIn::Graded);
  }
  const int secondsBefore = s.clock().secondsLeft();

  s.askOpenPassword(lockedPaper());
  s.confirmPassword();
  s.confirmPassword();  // Enter, then the button
  EXPECT_EQ(s.mode(), Mode::OpenPassword);
  ASSERT_EQ(s.secondTick(), ExamSession::Tick::CheckOpenPassword);
  EXPECT_FALSE(s.checkOpenPassword("Secret"));
  EXPECT_EQ(s.takeStateCode(), format::kStateWrongOpenPassword);
  EXPECT_EQ(s.mode(), c.modeAfter);
  EXPECT_EQ(s.clock().secondTimerArmed(), c.countdownGoesOn);
  // The check tick did not move the seconds.
  EXPECT_EQ(s.clock().secondsLeft(), secondsBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WrongOpenPassword,
    ::testing::Values(OpenCase{"PaperRunning", true, false, Mode::Countdown, true},
                      OpenCase{"NoPaper", false, false, Mode::Idle, false},
                      OpenCase{"PaperGraded", true, true, Mode::Countdown, false}),
    caseName<OpenCase>);

// What follows the right opening password: the paper is loaded, or its load
// fails before anything changed (the paper on screen counts on and the clock
// still hands it in), or its page cannot be shown (it takes the place of the
// paper before, without an exam).
struct LoadCase {
  const char* name;
  void (*load)(ExamSession&, const OpenedPaper&);
  int minutesAllowed;
  Mode modeAfter;
  bool answering;
  bool secondTimerArmed;
};

class AfterRightOpenPassword : public ::testing::TestWithParam<LoadCase> {};

TEST_P(AfterRightOpenPassword, OnePaperGoesOn) {
  const LoadCase& c = GetParam();
  ExamSession s;
  startExam(s, specWith({{"1", 1, 4, "A"}}, 1));
  s.askOpenPassword(lockedPaper(20));
  s.confirmPassword();
  ASSERT_EQ(s.secondTick(), ExamSession::Tick::CheckOpenPassword);
  const std::optional<OpenedPaper> paper = s.checkOpenPassword("secret");
  ASSERT_TRUE(paper);
  EXPECT_EQ(paper->path, "locked.qzt");
  EXPECT_EQ(s.stateCode(), 0);

  c.load(s, *paper);
  s.resumeAfterOpenCheck();  // as the window does after every load attempt
  EXPECT_EQ(s.clock().minutesAllowed(), c.minutesAllowed);
  EXPECT_EQ(s.mode(), c.modeAfter);
  EXPECT_EQ(s.answering(), c.answering);
  EXPECT_EQ(s.clock().secondTimerArmed(), c.secondTimerArmed);
  EXPECT_EQ(s.pendingPurpose(), Mode::Idle);
  if (c.minutesAllowed != 1) return;

  // The paper on screen (its last minute) is still handed in by its clock.
  s.minuteTick();
  EXPECT_EQ(s.secondTick(), ExamSession::Tick::TimeUp);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AfterRightOpenPassword,
    ::testing::Values(
        LoadCase{"Loaded",
                 [](ExamSession& s, const OpenedPaper& p) {
                   s.begin(p.header, QuestionTable({writer::makeQuestion({"1", 1, 4, "A"})}));
                 },
                 20, Mode::Countdown, true, true},
        LoadCase{"LoadFailedBeforeAnyChange", [](ExamSession&, const OpenedPaper&) {}, 1,
                 Mode::Countdown, true, true},
        LoadCase{"PageNotShown",
                 [](ExamSession& s, const OpenedPaper& p) {
                   s.takeWithoutExam(p.header, QuestionTable({writer::makeQuestion({"1", 1, 4, "A"})}));
                 },
                 20, Mode::Idle, false, false}),
    caseName<LoadCase>);

// A paper taken without its exam is the one paper of the session: its
// header and table, an empty sheet of its shape, the clock at its full time
// and still, no mouse entry; typing stays open, as before a hand-in.
TEST(ExamSession, TakenWithoutExam) {
  ExamSession s;
  startExam(s, fourQuestions());
  (void)s.pressLetter(1, 1);
  (void)s.secondTick();
  writer::PaperSpec next = specWith({{"1", 2, 3, "B"}, {"2", 3, 0, "X"}}, 30);
  next.title = "Next";
  Paper p = paperOf(next);
  s.takeWithoutExam(p.header, std::move(p.table));

  EXPECT_EQ(s.header().title(), "Next");
  EXPECT_EQ(s.table().count(), 2);
  EXPECT_EQ(s.layout().rowCount, 3);
  EXPECT_EQ(rowCells(s, 1), (std::vector<ByteString>{"", "", ""}));
  EXPECT_EQ(s.clock().minutesAllowed(), 30);
  EXPECT_EQ(s.clock().minutesLeft(), 29);
  EXPECT_EQ(s.clock().secondsLeft(), 0);
  EXPECT_FALSE(s.clock().minuteTimerRunning());
  EXPECT_FALSE(s.clock().secondTimerArmed());
  EXPECT_EQ(s.mode(), Mode::Idle);
  EXPECT_FALSE(s.answering());
  EXPECT_FALSE(s.pressLetter(1, 2));
  EXPECT_TRUE(s.setTextAnswer(0, "x"));
  EXPECT_EQ(s.secondTick(), ExamSession::Tick::Nothing);
}

// A pending opening-password check ends when another open asks no password
// of its own: the panel's paper can no longer be loaded through it, and a
// check already confirmed does not run.
TEST(ExamSession, EndedOpenCheckLoadsNothing) {
  for (const bool confirmed : {false, true}) {
    SCOPED_TRACE(confirmed);
    ExamSession s;
    startExam(s, specWith({{"1", 1, 4, "A"}}, 10));
    s.askOpenPassword(lockedPaper());
    if (confirmed) s.confirmPassword();
    s.endOpenCheck();
    EXPECT_EQ(s.pendingPurpose(), Mode::Idle);
    EXPECT_EQ(s.mode(), Mode::Countdown);
    EXPECT_TRUE(s.clock().secondTimerArmed());
    s.confirmPassword();  // the panel is gone; a late confirmation does nothing
    EXPECT_EQ(s.secondTick(), ExamSession::Tick::Nothing);
    EXPECT_EQ(s.clock().secondsLeft(), 59);
    EXPECT_EQ(s.stateCode(), 0);
  }
}

TEST(ExamSession, EndingAnOpenCheckKeepsTheGradingPanel) {
  writer::PaperSpec spec = fourQuestions();
  spec.gradePassword = "pw";
  ExamSession s;
  startExam(s, spec);
  ASSERT_EQ(s.handIn(), ExamSession::HandIn::NeedsGradePassword);
  s.endOpenCheck();
  EXPECT_EQ(s.pendingPurpose(), Mode::GradePassword);
  s.confirmPassword();
  EXPECT_EQ(s.secondTick(), ExamSession::Tick::CheckGradePassword);
}

// Once handed in, typed answers are refused (so a grade shown belongs to
// the answers shown); an import still replaces them.
TEST(ExamSession, TypingEndsAtHandIn) {
  for (const bool gradePassword : {false, true}) {
    SCOPED_TRACE(gradePassword);
    writer::PaperSpec spec = fourQuestions();
    if (gradePassword) spec.gradePassword = "pw";
    ExamSession s;
    startExam(s, spec);
    EXPECT_TRUE(s.typingAllowed());
    EXPECT_TRUE(s.setTextAnswer(0, "12"));
    (void)s.handIn();
    EXPECT_FALSE(s.typingAllowed());
    EXPECT_FALSE(s.setTextAnswer(0, "1299"));
    EXPECT_EQ(s.sheet().textAnswer(0), "12");

    AnswerSheet imported = s.sheet();
    imported.setTextAnswer(0, "abc");
    s.replaceAnswers(imported);
    EXPECT_EQ(s.sheet().textAnswer(0), "abc");

    startExam(s, spec);
    EXPECT_TRUE(s.typingAllowed());
  }
}

// ---- Messages ------------------------------------------------------------------

TEST(ExamSession, MessagesForStateCodes) {
  const std::pair<int, std::string> cases[] = {
      {1, "密码错误1"},
      {2, "密码错误2"},
      {3, std::string("该版本阅读器太旧，请到") + downloadSite() + "下载新版本阅读器打开!"},
      {4, "不是卷舟格式试卷或数据被破坏!"},
      {5, "试卷数据已被非法改动!"},
      {0, ""},
      {6, ""},
      {-1, ""},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(ExamSession::messageForState(code), text) << code;
}

TEST(ExamSession, OnlyTheLastStateCodeIsShown) {
  ExamSession s;
  s.setStateCode(4);
  s.setStateCode(5);
  EXPECT_EQ(s.takeStateCode(), 5);
  EXPECT_EQ(s.takeStateCode(), 0);
}

}  // namespace
}  // namespace qzt
