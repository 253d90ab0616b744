// One exam on screen: the question table, the answers, the flags, the
// clock, the password purpose and the pending message. The window forwards
// clicks, key presses and timer ticks here and shows what this says.
#pragma once

#include <optional>
#include <string>

#include "paper/header.h"
#include "paper/opening.h"
#include "sheet/answer_sheet.h"
#include "sheet/exam_clock.h"
#include "sheet/grading.h"
#include "sheet/grid_layout.h"
#include "sheet/key_entry.h"
#include "paper/question_table.h"

namespace qzt {

// What the one-second timer does on its next tick.
enum class SecondTimerMode { Idle = 0, OpenPassword = 1, Countdown = 2, GradePassword = 3 };

class ExamSession {
 public:
  // ---- Paper ---------------------------------------------------------------
  // A loaded paper: the grid is rebuilt, answers emptied, graded flag
  // cleared, and the exam starts (countdown mode, mouse entry on). Any
  // password panel of the paper before goes with it.
  void begin(const PaperHeader& header, QuestionTable table);
  // A paper whose load stopped after its question table was read (its page
  // could not be shown). It replaces the paper before as begin() does, so
  // everything shown and unpacked refers to this one paper, but its exam
  // does not start: no mouse entry, the clock at its full time and still.
  void takeWithoutExam(const PaperHeader& header, QuestionTable table);
  // A paper is on screen (the loaded header's question_count > 0).
  bool hasPaper() const { return header_.questionCount() > 0; }
  const PaperHeader& header() const { return header_; }
  const QuestionTable& table() const { return table_; }
  // The 5 x 5 start-up grid until the first begin().
  const grid::Layout& layout() const { return layout_; }
  const AnswerSheet& sheet() const { return sheet_; }
  // A typed text answer. Refused once the paper is handed in, so a grade
  // shown always belongs to the answers shown; false when refused.
  bool setTextAnswer(int n, ByteString text);
  // Whether the row edits take typing: until the paper is handed in.
  bool typingAllowed() const { return !handedIn_; }
  // Replaces every answer (answer-file import, also after hand-in); same
  // shape as sheet().
  void replaceAnswers(AnswerSheet sheet) { sheet_ = std::move(sheet); }

  // ---- Mouse entry -----------------------------------------------------------
  // Whether a left press at pixel (x, y) of the grid, with `topRow` the first
  // visible normal row, lies in the letter area; `scale` is the grid's zoom.
  bool inLetterArea(int x, int y, int topRow, double scale = 1.0) const;
  // A left press on cell (row, column) inside the letter area. Applies the
  // entry rules while answering; returns whether a cell changed.
  bool pressLetter(int row, int column);
  // A left press while not answering: the text to show as the grid's hint
  // (the full correct answer of a graded text row's last column), or none.
  std::optional<ByteString> hintForPress(int row, int column) const;

  // ---- Keyboard entry --------------------------------------------------------
  // A key on the grid's current cell (row, column), only while answering:
  // a letter or Space presses a cell by pressLetter's rules, and says which
  // (PressCell, only when a cell changed); on a text-answer row the key
  // belongs to the row edit (ToRowEdit). Anything else is Nothing.
  KeyAction pressKey(int row, int column, GridKey key, char letter = 0);

  // ---- Clock -----------------------------------------------------------------
  const ExamClock& clock() const { return clock_; }
  // The minute tick. Returns the warning the time left has just reached,
  // or None when it is the same as before the tick.
  TimeWarning minuteTick();
  // The warning to show: the clock's while answering, None otherwise.
  TimeWarning timeWarning() const { return answering_ ? clock_.warning() : TimeWarning::None; }
  enum class Tick { Nothing, CheckOpenPassword, CheckGradePassword, TimeUp };
  // The one-second timer fired (it is stopped first). Countdown mode moves
  // the seconds; password modes tell the caller to compare the typed text.
  // A tick while clock().secondTimerArmed() is false is stale: Nothing.
  // After each tick, restart the window's timer if secondTimerArmed().
  Tick secondTick();
  SecondTimerMode mode() const { return mode_; }
  // A restored exam goes on with the time left (ExamClock::resume). Only
  // while the countdown of a paper on screen runs; false otherwise.
  bool resumeClock(int minutesLeft, int secondsLeft);

  // ---- Passwords -------------------------------------------------------------
  // The password panel asks for the opening password of `paper` (purpose 1).
  // Only this paper can be loaded through the panel.
  void askOpenPassword(OpenedPaper paper);
  // Idle while no panel asks; GradePassword after handIn() asked.
  SecondTimerMode pendingPurpose() const { return pendingPurpose_; }
  // OK or Enter on the panel: the check runs on the next second tick.
  // Nothing happens while no panel asks.
  void confirmPassword();
  // An open that asks no password of its own (refused by the header tests,
  // or its header unreadable) ends a pending opening-password check: the
  // paper that asked can no longer be loaded through the panel, and a check
  // already confirmed does not run (the countdown goes on as after a wrong
  // password, without its message).
  void endOpenCheck();
  // The opening-password check. Wrong: state code 1, and the countdown of
  // the paper on screen resumes (or the timer goes idle without one).
  // Right: the paper to load; the caller loads it and calls begin() or
  // takeWithoutExam(), or resumeAfterOpenCheck() when the load failed.
  std::optional<OpenedPaper> checkOpenPassword(const ByteString& typed);
  // After an opening check that loaded nothing (wrong password, or a load
  // that failed before anything changed): with a paper on screen the mode
  // goes back to the countdown, and the second timer is re-armed only if
  // the countdown was running when the check was confirmed (a handed-in
  // paper must not start counting towards a second hand-in); without a
  // paper the timer goes idle. Nothing happens unless a check is running.
  void resumeAfterOpenCheck();
  // The grading-password check. Right: grades. Wrong: state code 2; the
  // paper stays handed in and ungraded.
  bool checkGradePassword(const ByteString& typed);

  // ---- Hand-in and grading ---------------------------------------------------
  // The hand-in asks "时间还没到，是否真的要试卷？" unless minutes left is 0.
  bool handInAsksConfirmation() const { return clock_.minutesLeft() != 0; }
  enum class HandIn { Graded, NeedsGradePassword };
  // Ends mouse entry and stops the clock; grades at once without a grading
  // password. On a graded paper it changes nothing and returns Graded.
  HandIn handIn();
  bool answering() const { return answering_; }
  bool graded() const { return report_.has_value(); }
  const std::optional<GradeReport>& report() const { return report_; }
  // The grid layout after grading (with the two added columns).
  const grid::Layout& gradedLayout() const { return gradedLayout_; }

  // ---- Deferred message ------------------------------------------------------
  void setStateCode(int code) { stateCode_ = code; }
  int stateCode() const { return stateCode_; }
  // Returns the code and resets it to 0, as showing the message does.
  int takeStateCode();
  // The message for a state code (UTF-8); empty for codes without one.
  static std::string messageForState(int code);

 private:
  void take(const PaperHeader& header, QuestionTable table);
  void gradeNow();

  PaperHeader header_;
  QuestionTable table_;
  grid::Layout layout_ = grid::startupLayout(5, 5);
  grid::Layout gradedLayout_;
  AnswerSheet sheet_;
  ExamClock clock_;
  SecondTimerMode mode_ = SecondTimerMode::Idle;
  SecondTimerMode pendingPurpose_ = SecondTimerMode::Idle;
  bool answering_ = false;
  bool handedIn_ = false;
  std::optional<OpenedPaper> opening_;  // asking for its opening password
  bool countdownWasRunning_ = false;  // when the pending check was confirmed
  std::optional<GradeReport> report_;
  int stateCode_ = 0;
};

}  // namespace qzt
