#include "sheet/exam_clock.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>

namespace qzt {
namespace {

struct Labels {
  int allowed, minutes, seconds;
  bool operator==(const Labels&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Labels& l) {
  return os << l.allowed << "/" << l.minutes << "/" << l.seconds;
}
Labels labelsOf(const ExamClock& c) { return {c.minutesAllowed(), c.minutesLeft(), c.secondsLeft()}; }

// Drives the clock second by second, the minute timer firing first after
// `firstMinute` s and then every 60 s, before or after the second timer
// when both fall due. Returns the second at which the time ran out, or 0 if
// it did not within `limitSeconds`.
int runUntilTimeUp(ExamClock& clock, bool minuteFirst, int limitSeconds, int firstMinute = 60) {
  for (int t = 1; t <= limitSeconds; ++t) {
    const bool minuteDue = t >= firstMinute && (t - firstMinute) % 60 == 0;
    if (minuteDue && minuteFirst) clock.minuteTick();
    if (clock.secondTimerArmed() && clock.secondTick()) return t;
    if (minuteDue && !minuteFirst) clock.minuteTick();
  }
  return 0;
}

struct CourseCase {
  int limit;
  Labels atStart;
  int timeUpAt;      // seconds after the start
  int minutesAtEnd;  // what the minutes label shows at the hand-in
};

class ClockCourse : public ::testing::TestWithParam<std::tuple<CourseCase, bool>> {};

TEST_P(ClockCourse, RunsOutOnTheTickAfterZero) {
  const auto& [c, minuteFirst] = GetParam();
  ExamClock clock;
  clock.start(c.limit);
  EXPECT_EQ(labelsOf(clock), c.atStart);
  EXPECT_TRUE(clock.minuteTimerRunning());
  EXPECT_TRUE(clock.secondTimerArmed());

  EXPECT_EQ(runUntilTimeUp(clock, minuteFirst, c.timeUpAt + 120), c.timeUpAt);
  EXPECT_EQ(clock.minutesLeft(), c.minutesAtEnd);
  EXPECT_EQ(clock.secondsLeft(), 0);
  EXPECT_FALSE(clock.minuteTimerRunning());
  EXPECT_FALSE(clock.secondTimerArmed());
}

INSTANTIATE_TEST_SUITE_P(
    Limits, ClockCourse,
    ::testing::Combine(::testing::Values(CourseCase{90, {90, 89, 0}, 90 * 60 + 1, 0},
                                         CourseCase{1, {1, 0, 0}, 61, 0},
                                         // The minutes label shows -1 throughout.
                                         CourseCase{0, {0, -1, 0}, 61, -1},
                                         CourseCase{-5, {-5, -6, 0}, 61, -6}),
                       ::testing::Bool()));

TEST(ExamClock, NinetyMinutesCheckpoints) {
  ExamClock clock;
  clock.start(90);
  EXPECT_FALSE(clock.secondTick());
  EXPECT_EQ(labelsOf(clock), (Labels{90, 89, 59}));
  for (int t = 2; t <= 60; ++t) EXPECT_FALSE(clock.secondTick());
  EXPECT_EQ(clock.secondsLeft(), 0);
  clock.minuteTick();
  EXPECT_EQ(labelsOf(clock), (Labels{90, 88, 0}));
  EXPECT_FALSE(clock.secondTick());
  EXPECT_EQ(clock.secondsLeft(), 59);  // wraps while whole minutes remain
}

TEST(ExamClock, LastMinuteCountsDownWithoutWrapping) {
  ExamClock clock;
  clock.start(1);
  clock.secondTick();  // 59
  clock.minuteTick();  // would go below 0: the minute timer stops at "0"
  EXPECT_FALSE(clock.minuteTimerRunning());
  EXPECT_EQ(clock.minutesLeft(), 0);
  for (int s = 58; s >= 0; --s) {
    EXPECT_FALSE(clock.secondTick());
    EXPECT_EQ(clock.secondsLeft(), s);
  }
  EXPECT_TRUE(clock.secondTick());
  EXPECT_EQ(clock.secondsLeft(), 0);
}

TEST(ExamClock, StopKeepsTheTimeLeft) {
  ExamClock clock;
  clock.start(13);
  for (int t = 0; t < 5; ++t) clock.secondTick();
  clock.stop();
  EXPECT_EQ(labelsOf(clock), (Labels{13, 12, 55}));
  EXPECT_FALSE(clock.minuteTimerRunning());
  EXPECT_FALSE(clock.secondTimerArmed());
  clock.minuteTick();  // a stopped minute timer does not fire
  EXPECT_EQ(clock.minutesLeft(), 12);
}

struct ResumeCase {
  const char* name;
  int limit;
  int minutes, seconds;  // as the recovery copy kept them
  Labels resumed;
  int timeUpAt;          // seconds after resuming
};

class ClockResume : public ::testing::TestWithParam<std::tuple<ResumeCase, bool>> {};

// The minute timer, first fired when the seconds reach 0, keeps the two
// labels in step: the time left runs out exactly as if the exam had never
// stopped.
TEST_P(ClockResume, GoesOnWithTheTimeLeft) {
  const auto& [c, minuteFirst] = GetParam();
  ExamClock clock;
  clock.start(c.limit);
  for (int t = 0; t < 7; ++t) clock.secondTick();
  clock.stop();
  clock.resume(c.minutes, c.seconds);
  EXPECT_EQ(labelsOf(clock), c.resumed);
  EXPECT_TRUE(clock.minuteTimerRunning());
  EXPECT_TRUE(clock.secondTimerArmed());
  const int firstMinute = clock.secondsToMinuteTick();
  EXPECT_EQ(runUntilTimeUp(clock, minuteFirst, c.timeUpAt + 120, firstMinute), c.timeUpAt);
}

INSTANTIATE_TEST_SUITE_P(
    Copies, ClockResume,
    ::testing::Combine(
        ::testing::Values(ResumeCase{"MidMinute", 90, 41, 17, {90, 41, 17}, 41 * 60 + 17 + 1},
                          ResumeCase{"OnTheMinute", 90, 41, 0, {90, 41, 0}, 42 * 60 + 1},
                          ResumeCase{"LastSeconds", 90, 0, 5, {90, 0, 5}, 6},
                          ResumeCase{"FullTime", 90, 89, 0, {90, 89, 0}, 90 * 60 + 1},
                          // A copy never gives more time than the paper allows.
                          ResumeCase{"MoreThanAllowed", 90, 500, 0, {90, 89, 0}, 90 * 60 + 1},
                          ResumeCase{"Negative", 90, -3, -9, {90, 0, 0}, 61},
                          ResumeCase{"SecondsOutOfRange", 10, 2, 75, {10, 2, 59}, 2 * 60 + 59 + 1}),
        ::testing::Bool()),
    [](const auto& p) {
      return std::string(std::get<0>(p.param).name) + (std::get<1>(p.param) ? "_MinuteFirst" : "");
    });

// The minutes label reads one less than the minutes left, so a paper of
// five minutes starts inside the five-minute warning.
TEST(ExamClock, WarningsFollowTheMinutesLabel) {
  const std::pair<int, TimeWarning> cases[] = {
      {90, TimeWarning::None},       {6, TimeWarning::None},
      {5, TimeWarning::FiveMinutes}, {2, TimeWarning::FiveMinutes},
      {1, TimeWarning::OneMinute},   {0, TimeWarning::OneMinute},
      {std::numeric_limits<int>::min(), TimeWarning::OneMinute},
  };
  for (const auto& [limit, warning] : cases) {
    ExamClock clock;
    clock.start(limit);
    EXPECT_EQ(clock.warning(), warning) << "limit " << limit;
  }
}

TEST(ExamClock, SmallestLimitDoesNotOverflow) {
  ExamClock clock;
  clock.start(std::numeric_limits<int>::min());
  EXPECT_LT(clock.minutesLeft(), 0);
  clock.minuteTick();
  EXPECT_FALSE(clock.minuteTimerRunning());
}

}  // namespace
}  // namespace qzt
