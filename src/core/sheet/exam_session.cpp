#include "sheet/exam_session.h"

#include "paper/format.h"
#include "paper/password.h"
#include "paper/unpack.h"

namespace qzt {

void ExamSession::begin(const PaperHeader& header, QuestionTable table) {
  take(header, std::move(table));
  clock_.start(header_.timeLimit());
  mode_ = SecondTimerMode::Countdown;
  answering_ = true;
}

void ExamSession::takeWithoutExam(const PaperHeader& header, QuestionTable table) {
  take(header, std::move(table));
  clock_.set(header_.timeLimit());
  mode_ = SecondTimerMode::Idle;
  answering_ = false;
}

void ExamSession::take(const PaperHeader& header, QuestionTable table) {
  header_ = header;
  table_ = std::move(table);
  layout_ = grid::paperLayout(table_);
  gradedLayout_ = grid::Layout();
  sheet_ = AnswerSheet(table_, layout_.letterColumns);
  report_.reset();
  handedIn_ = false;
  pendingPurpose_ = SecondTimerMode::Idle;
  opening_.reset();
  countdownWasRunning_ = false;
}

bool ExamSession::setTextAnswer(int n, ByteString text) {
  if (handedIn_) return false;
  sheet_.setTextAnswer(n, std::move(text));
  return true;
}

bool ExamSession::inLetterArea(int x, int y, int topRow, double scale) const {
  const int h = grid::scaledPixels(grid::kDefaultRowHeight, scale);
  const int labelWidth = grid::scaledPixels(
      layout_.columnWidths.empty() ? grid::kLabelColumnWidth : layout_.columnWidths[0], scale);
  const long long bottom = static_cast<long long>(layout_.rowCount - topRow + 1) * (h + 1);
  return y > h && y < bottom && x > labelWidth;
}

bool ExamSession::pressLetter(int row, int column) {
  if (!answering_ || row < 1 || row >= sheet_.rowCount() || column < 1) return false;
  const QuestionRecord& record = table_.question(row);
  if (column > record.optionCount() || column > sheet_.letterColumns()) return false;
  if (record.kind() == format::kKindSingle) {
    for (int c = 1; c <= sheet_.letterColumns(); ++c) {
      if (c != column) sheet_.setCell(row, c, ByteString());
    }
  }
  if (sheet_.cell(row, column).empty()) {
    sheet_.setCell(row, column, ByteString{' ', static_cast<char>(64 + column)});
  } else {
    sheet_.setCell(row, column, ByteString());
  }
  return true;
}

std::optional<ByteString> ExamSession::hintForPress(int row, int column) const {
  if (answering_ || !graded()) return std::nullopt;
  const int lastColumn = static_cast<int>(gradedLayout_.columnWidths.size()) - 1;
  if (column != lastColumn || row < 1 || row > table_.count()) return std::nullopt;
  if (table_.question(row).kind() != format::kKindText) return std::nullopt;
  return table_.question(row).answer();
}

KeyAction ExamSession::pressKey(int row, int column, GridKey key, char letter) {
  if (!answering_) return {};
  const KeyAction action = keyAction(table_, row, column, key, letter);
  if (action.kind == KeyAction::Kind::PressCell && !pressLetter(row, action.column)) return {};
  return action;
}

TimeWarning ExamSession::minuteTick() {
  const TimeWarning before = timeWarning();
  clock_.minuteTick();
  const TimeWarning now = timeWarning();
  return now != before ? now : TimeWarning::None;
}

ExamSession::Tick ExamSession::secondTick() {
  if (!clock_.secondTimerArmed()) return Tick::Nothing;
  clock_.disarmSecondTimer();
  switch (mode_) {
    case SecondTimerMode::Countdown:
      return clock_.secondTick() ? Tick::TimeUp : Tick::Nothing;
    case SecondTimerMode::OpenPassword:
      return Tick::CheckOpenPassword;
    case SecondTimerMode::GradePassword:
      return Tick::CheckGradePassword;
    case SecondTimerMode::Idle:
      break;
  }
  return Tick::Nothing;
}

bool ExamSession::resumeClock(int minutesLeft, int secondsLeft) {
  if (!hasPaper() || !answering_ || graded() || mode_ != SecondTimerMode::Countdown) return false;
  clock_.resume(minutesLeft, secondsLeft);
  return true;
}

void ExamSession::askOpenPassword(OpenedPaper paper) {
  opening_ = std::move(paper);
  pendingPurpose_ = SecondTimerMode::OpenPassword;
}

void ExamSession::confirmPassword() {
  if (pendingPurpose_ == SecondTimerMode::Idle) return;
  // A second confirmation before the check keeps what the first one saw.
  if (mode_ != pendingPurpose_) {
    countdownWasRunning_ = mode_ == SecondTimerMode::Countdown && clock_.secondTimerArmed();
  }
  mode_ = pendingPurpose_;
  clock_.armSecondTimer();
}

void ExamSession::endOpenCheck() {
  if (pendingPurpose_ != SecondTimerMode::OpenPassword) return;
  pendingPurpose_ = SecondTimerMode::Idle;
  opening_.reset();
  resumeAfterOpenCheck();
}

std::optional<OpenedPaper> ExamSession::checkOpenPassword(const ByteString& typed) {
  std::optional<OpenedPaper> paper = std::move(opening_);
  opening_.reset();
  pendingPurpose_ = SecondTimerMode::Idle;
  if (paper && passwordMatches(paper->header.openPasswordBlock(), typed)) return paper;
  stateCode_ = format::kStateWrongOpenPassword;
  resumeAfterOpenCheck();
  return std::nullopt;
}

void ExamSession::resumeAfterOpenCheck() {
  if (mode_ != SecondTimerMode::OpenPassword) return;
  if (!hasPaper()) {
    mode_ = SecondTimerMode::Idle;
    clock_.disarmSecondTimer();
    return;
  }
  mode_ = SecondTimerMode::Countdown;
  if (countdownWasRunning_) {
    clock_.armSecondTimer();
  } else {
    clock_.disarmSecondTimer();
  }
}

bool ExamSession::checkGradePassword(const ByteString& typed) {
  clock_.disarmSecondTimer();
  if (!passwordMatches(header_.gradePasswordBlock(), typed)) {
    stateCode_ = format::kStateWrongGradePassword;
    return false;
  }
  gradeNow();
  return true;
}

ExamSession::HandIn ExamSession::handIn() {
  if (graded()) return HandIn::Graded;
  answering_ = false;
  handedIn_ = true;
  clock_.stop();
  if (!hasPassword(header_.gradePasswordBlock())) {
    gradeNow();
    return HandIn::Graded;
  }
  pendingPurpose_ = SecondTimerMode::GradePassword;
  opening_.reset();
  return HandIn::NeedsGradePassword;
}

void ExamSession::gradeNow() {
  if (graded()) return;
  answering_ = false;
  clock_.stop();
  report_ = grade(table_, sheet_, header_.commentsByPercent());
  gradedLayout_ = layout_;
  grid::addGradingColumns(gradedLayout_);
}

int ExamSession::takeStateCode() {
  const int code = stateCode_;
  stateCode_ = 0;
  return code;
}

std::string ExamSession::messageForState(int code) {
  switch (code) {
    case format::kStateWrongOpenPassword:
      return "密码错误1";
    case format::kStateWrongGradePassword:
      return "密码错误2";
    case format::kStateReaderTooOld:
      return std::string("该版本阅读器太旧，请到") + downloadSite() + "下载新版本阅读器打开!";
    case format::kStateNotAPaper:
      return "不是卷舟格式试卷或数据被破坏!";
    case format::kStateAltered:
      return "试卷数据已被非法改动!";
    default:
      return {};
  }
}

}  // namespace qzt
