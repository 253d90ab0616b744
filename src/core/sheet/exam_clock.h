// The exam clock: whole minutes on a 60 s timer and seconds on a one-shot
// 1 s timer, kept as the numbers the labels show.
#pragma once

namespace qzt {

// How close the end is. The minutes label reads one less than the minutes
// left while a minute runs (29 with 29:59 to go), so the warnings come as
// the label reaches 4 and 0: at 5 minutes and at 1 minute left.
enum class TimeWarning { None, FiveMinutes, OneMinute };
inline constexpr int kFirstWarningMinutes = 5;
inline constexpr int kLastWarningMinutes = 1;

class ExamClock {
 public:
  // Labels read limit, limit - 1 and 0; both timers run.
  void start(int timeLimit);
  // Labels read as start() leaves them, but no timer runs.
  void set(int timeLimit);
  // Minute tick: minutes left - 1, or stop the minute timer below 0.
  void minuteTick();
  // Second tick in countdown mode. Returns true when the time is up (the
  // second timer then stays stopped); otherwise the seconds went down
  // (wrapping to 59 while minutes remain) and the timer is re-armed.
  bool secondTick();
  // Hand-in and grading stop both timers for good.
  void stop();
  // Continues an exam from the time a recovery copy kept: both timers run
  // again. Minutes are kept between 0 and what start() shows (less time
  // than the paper allows, never more), seconds between 0 and 59.
  // REQUIRES: start() was called for the paper.
  void resume(int minutesLeft, int secondsLeft);
  // When the minute timer, started now, must first fire so that minutes go
  // down as the seconds reach 0: after secondsLeft() seconds, or a whole
  // minute at 0 (as at the start).
  int secondsToMinuteTick() const { return seconds_ > 0 ? seconds_ : 60; }

  // The warning the minutes label calls for, whether or not the clock runs.
  TimeWarning warning() const;

  int minutesAllowed() const { return allowed_; }
  int minutesLeft() const { return minutesLeft_; }
  int secondsLeft() const { return seconds_; }
  bool minuteTimerRunning() const { return minuteRunning_; }
  bool secondTimerArmed() const { return secondArmed_; }
  void armSecondTimer() { secondArmed_ = true; }
  void disarmSecondTimer() { secondArmed_ = false; }

 private:
  int allowed_ = 0;
  int minutesLeft_ = 0;
  int seconds_ = 0;
  bool minuteRunning_ = false;
  bool secondArmed_ = false;
};

}  // namespace qzt
