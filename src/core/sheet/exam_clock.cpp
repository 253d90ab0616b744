#include "sheet/exam_clock.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace qzt {
namespace {

// What the minutes label reads at the start.
int startMinutes(int timeLimit) {
  // A limit of INT_MIN from a hostile paper must not overflow.
  return timeLimit == std::numeric_limits<int>::min() ? timeLimit : timeLimit - 1;
}

}  // namespace

void ExamClock::start(int timeLimit) {
  set(timeLimit);
  minuteRunning_ = true;
  secondArmed_ = true;
}

void ExamClock::set(int timeLimit) {
  allowed_ = timeLimit;
  minutesLeft_ = startMinutes(timeLimit);
  seconds_ = 0;
  stop();
}

void ExamClock::minuteTick() {
  if (!minuteRunning_) return;
  const std::int64_t n = static_cast<std::int64_t>(minutesLeft_) - 1;
  // The minutes label keeps its last value ("0" after a full exam).
  if (n < 0) {
    minuteRunning_ = false;
    return;
  }
  minutesLeft_ = static_cast<int>(n);
}

bool ExamClock::secondTick() {
  secondArmed_ = false;
  int s = seconds_ - 1;
  if (minuteRunning_) {
    if (s == -1) s = 59;
  } else if (s == -1) {
    return true;
  }
  seconds_ = s;
  secondArmed_ = true;
  return false;
}

void ExamClock::resume(int minutesLeft, int secondsLeft) {
  const int full = startMinutes(allowed_);
  minutesLeft_ = std::clamp(minutesLeft, std::min(0, full), full);
  seconds_ = std::clamp(secondsLeft, 0, 59);
  minuteRunning_ = true;
  secondArmed_ = true;
}

TimeWarning ExamClock::warning() const {
  if (minutesLeft_ <= kLastWarningMinutes - 1) return TimeWarning::OneMinute;
  if (minutesLeft_ <= kFirstWarningMinutes - 1) return TimeWarning::FiveMinutes;
  return TimeWarning::None;
}

void ExamClock::stop() {
  minuteRunning_ = false;
  secondArmed_ = false;
}

}  // namespace qzt
