#include "window/test_report.h"

#include <QFile>
#include <QTextStream>
#include <QTimer>

#include "grid/answer_grid.h"
#include "gbk_text.h"
#include "window/main_window.h"
#include "window/message_box.h"

namespace qzt::ui {
namespace {

void appendReport(const QString& line) {
  const QString reportFile = qEnvironmentVariable("QZT_TEST_REPORT");
  if (reportFile.isEmpty()) return;
  QFile file(reportFile);
  if (!file.open(QIODevice::Append | QIODevice::Text)) return;
  QTextStream(&file) << line << '\n';
}

// The exam as it starts: clock, answers, and where the first row's letter
// cells are on screen (once the window has settled), for clicks.
void reportExam(const MainWindow& window) {
  const qzt::ExamSession& session = window.session();
  const qzt::AnswerSheet& sheet = session.sheet();
  appendReport(QStringLiteral("exam-started %1").arg(window.windowTitle()));
  appendReport(QStringLiteral("exam-clock %1 %2")
                   .arg(session.clock().minutesLeft())
                   .arg(session.clock().secondsLeft()));
  for (int row = 1; row < sheet.rowCount(); ++row) {
    for (int column = 1; column <= sheet.letterColumns(); ++column) {
      const QString text = fromGbk(sheet.cell(row, column)).trimmed();
      if (text.isEmpty()) continue;
      appendReport(QStringLiteral("exam-answer %1 %2 %3").arg(row).arg(column).arg(text));
    }
  }
  for (int n = 0; n < sheet.textAnswerCount(); ++n) {
    const QString text = fromGbk(sheet.textAnswer(n));
    if (!text.isEmpty()) appendReport(QStringLiteral("exam-text %1 %2").arg(n).arg(text));
  }
  QTimer::singleShot(500, &window, [&window] {
    const AnswerGrid* grid = window.answerGrid();
    for (int column = 1; column <= window.session().sheet().letterColumns(); ++column) {
      const QPoint at = grid->viewport()->mapToGlobal(grid->cellCentre(1, column));
      appendReport(QStringLiteral("grid-cell 1 %1 %2 %3").arg(column).arg(at.x()).arg(at.y()));
    }
  });
}

}  // namespace

void reportForTests(MainWindow& window) {
  if (qEnvironmentVariableIsEmpty("QZT_TEST_REPORT")) return;
  QObject::connect(&window, &MainWindow::pageLoaded, &window,
                   [](bool ok, const QString& title) {
                     const QLatin1String outcome(ok ? "ok" : "failed");
                     appendReport(QStringLiteral("page-loaded %1 %2").arg(outcome, title));
                   });
  QObject::connect(&window, &MainWindow::examStarted, &window,
                   [&window] { reportExam(window); });
  const QString answer = qEnvironmentVariable("QZT_TEST_AUTO_ANSWER");
  if (answer.isEmpty()) return;
  const bool yes = answer == QLatin1String("yes");
  setMessageHandler(
      [yes](QWidget*, const QString& caption, const QString& text, Buttons buttons) {
        const QString oneLine = QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '));
        appendReport(QStringLiteral("message %1 %2").arg(caption, oneLine));
        return buttons == Buttons::Ok || yes;
      });
}

}  // namespace qzt::ui
