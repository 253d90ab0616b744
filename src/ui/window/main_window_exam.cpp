// The running exam: the two clock timers, hand-in and the graded view.
// The session keeps the clock; the QTimers only follow what it says.
#include <QLabel>
#include <QPushButton>

#include "grid/answer_grid.h"
#include "window/main_window.h"
#include "window/message_box.h"
#include "side/password_panel.h"

namespace qzt::ui {
namespace {

constexpr int kMinute = 60000;

}  // namespace

void MainWindow::syncTimers() {
  const ExamClock& clock = session_.clock();
  if (clock.minuteTimerRunning() != timer2_.isActive()) {
    if (clock.minuteTimerRunning()) {
      // Minutes go down as the seconds reach 0, also in a restored exam.
      timer2_.start(clock.secondsToMinuteTick() * 1000);
    } else {
      timer2_.stop();
    }
  }
  if (clock.secondTimerArmed() != panle2_.isActive()) {
    if (clock.secondTimerArmed()) {
      panle2_.start();
    } else {
      panle2_.stop();
    }
  }
}

void MainWindow::minuteTick() {
  if (timer2_.interval() != kMinute) timer2_.setInterval(kMinute);
  session_.minuteTick();
  showClock();
  syncTimers();
}

void MainWindow::secondTick() {
  panle2_.stop();
  const ExamSession::Tick tick = session_.secondTick();
  switch (tick) {
    case ExamSession::Tick::Nothing:
      showClock();
      tickRecovery();
      break;
    case ExamSession::Tick::TimeUp:
      handIn();
      break;
    case ExamSession::Tick::CheckOpenPassword:
    case ExamSession::Tick::CheckGradePassword:
      checkPassword(tick);
      break;
  }
  syncTimers();
}

void MainWindow::handIn() {
  if (session_.graded()) return;
  if (session_.handInAsksConfirmation() &&
      !showMessage(this, QStringLiteral("提示1.0"), QStringLiteral("时间还没到，是否真的要试卷？"),
                   Buttons::YesNo)) {
    syncTimers();
    return;
  }
  // The question waited in its own loop, where the clock may have handed in.
  if (session_.graded()) return;
  const ExamSession::HandIn outcome = session_.handIn();
  syncTimers();
  if (outcome == ExamSession::HandIn::Graded) {
    showGraded();
  } else {
    askGradePassword();
  }
}

void MainWindow::checkPassword(ExamSession::Tick check) {
  panel2_->hide();
  const QByteArray typed = panel2_->typedGbk();
  const ByteString text(typed.constData(), static_cast<std::size_t>(typed.size()));
  if (check == ExamSession::Tick::CheckOpenPassword) {
    if (session_.checkOpenPassword(candidate_, text)) {
      loadPaper(paperPath_, paperOffset_);
      return;
    }
  } else if (session_.checkGradePassword(text)) {
    showGraded();
    return;
  }
  timer1_.start();
}

void MainWindow::showGraded() {
  const auto& report = session_.report();
  if (!report) return;
  dropRecoveryCopy();
  syncTimers();
  button7_->setEnabled(false);
  grid_->showGraded();
  label7_->setText(QString::fromStdString(report->scoreLine));
  showComment();
  button6_->setEnabled(true);
}

}  // namespace qzt::ui
