// The running exam: the two clock timers, hand-in and the graded view.
// The session keeps the clock; the QTimers only follow what it says.
#include <QAccessible>
#include <QLabel>
#include <QPushButton>

#include "grid/answer_grid.h"
#include "side/comments_panel.h"
#include "window/main_window.h"
#include "window/message_box.h"
#include "side/password_panel.h"
#include "sheet/spoken_text.h"
#include "desktop/spoken_group.h"

namespace qzt::ui {
namespace {

constexpr int kMinute = 60000;

}  // namespace

void MainWindow::syncTimers() {
  const ExamClock& clock = session_.clock();
  if (clock.minuteTimerRunning() != minuteTimer_.isActive()) {
    if (clock.minuteTimerRunning()) {
      // Minutes go down as the seconds reach 0, also in a restored exam.
      minuteTimer_.start(clock.secondsToMinuteTick() * 1000);
    } else {
      minuteTimer_.stop();
    }
  }
  if (clock.secondTimerArmed() != secondTimer_.isActive()) {
    if (clock.secondTimerArmed()) {
      secondTimer_.start();
    } else {
      secondTimer_.stop();
    }
  }
}

void MainWindow::minuteTick() {
  if (minuteTimer_.interval() != kMinute) minuteTimer_.setInterval(kMinute);
  const TimeWarning risen = session_.minuteTick();
  showClock();
  showTimeWarning(risen != TimeWarning::None);
  clockLine_->announce();  // assistive technology hears the time once a minute
  syncTimers();
}

void MainWindow::showTimeWarning(bool risen) {
  const TimeWarning warning = session_.timeWarning();
  highlightRemainingTime(warning != TimeWarning::None);
  if (warning == TimeWarning::None) {
    timeWarning_->hide();
    return;
  }
  const QString text = QString::fromStdString(timeWarningText(warning));
  if (text != timeWarningText_->text()) {
    timeWarningText_->setText(text);
    timeWarning_->announce();  // the alert's name follows its text
  }
  if (!risen && !timeWarning_->isHidden()) return;
  // Shown afresh, so a screen reader reads it as a new alert.
  timeWarning_->hide();
  timeWarning_->show();
  QAccessibleEvent alert(timeWarning_, QAccessible::Alert);
  QAccessible::updateAccessibility(&alert);
}

void MainWindow::secondTick() {
  secondTimer_.stop();
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
  grid_->followTyping();
  syncTimers();
  showTimeWarning(false);
  if (outcome == ExamSession::HandIn::Graded) {
    showGraded();
  } else {
    askGradePassword();
  }
}

void MainWindow::checkPassword(ExamSession::Tick check) {
  passwordPanel_->hide();
  const QByteArray typed = passwordPanel_->typedGbk();
  const ByteString text(typed.constData(), static_cast<std::size_t>(typed.size()));
  if (check == ExamSession::Tick::CheckOpenPassword) {
    if (const std::optional<OpenedPaper> paper = session_.checkOpenPassword(text)) {
      loadPaper(paper->path, paper->offset);
      return;
    }
  } else if (session_.checkGradePassword(text)) {
    showGraded();
    return;
  }
  deferredMessageTimer_.start();
}

void MainWindow::showGraded() {
  const auto& report = session_.report();
  if (!report) return;
  dropRecoveryCopy();
  syncTimers();
  handInButton_->setEnabled(false);
  grid_->showGraded();
  scoreLine_->setText(QString::fromStdString(report->scoreLine));
  if (!showComment()) return;
  notesButton_->setEnabled(true);
  focusResults();
}

// The results take the focus from the grid, so a screen reader reads them
// at once: the score line as the name, the comment as its description.
void MainWindow::focusResults() {
  scoreLine_->setAccessibleDescription(commentsPanel_->isVisible() ? commentsPanel_->commentText()
                                                                   : QStringLiteral("成绩"));
  scoreLine_->setFocusPolicy(Qt::TabFocus);
  scoreLine_->setFocus(Qt::OtherFocusReason);
}

}  // namespace qzt::ui
