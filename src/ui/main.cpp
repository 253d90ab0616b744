// qzt-reader: one reader per user; a later start brings the first forward.
#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "answer_grid.h"
#include "confined_page.h"
#include "gbk_text.h"
#include "main_window.h"
#include "message_box.h"
#include "platform.h"
#include "shell/attached_slot.h"
#include "shell/command_line.h"
#include "shell/work_folder.h"
#include "signal_exit.h"
#include "single_instance.h"
#include "text_view.h"

namespace {

using qzt::ui::StartOptions;

StartOptions startOptions(int argc, char** argv) {
  StartOptions options;
  options.programFile = QCoreApplication::applicationFilePath().toStdString();
  std::vector<std::string> args(argv + 1, argv + argc);
  options.commandLinePaper = qzt::commandLinePaper(args);
  auto attached = qzt::attachedPaperOffset(options.programFile);
  if (attached.ok()) {
    options.attachedOffset = *attached;
  } else {
    std::fprintf(stderr, "qzt-reader: %s\n", attached.error().message.c_str());
  }
  // Without a work folder the window still starts; opening a paper then
  // reports that it cannot unpack.
  auto work = qzt::createWorkFolder();
  if (work.ok()) options.workFolder = *work;
  // QZT_DATA_DIR keeps tests away from the user's own recovery copies.
  QString data = qEnvironmentVariable("QZT_DATA_DIR");
  if (data.isEmpty()) data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  if (!data.isEmpty()) options.dataFolder = data.toStdString();
  return options;
}

// ---- Hooks for the real-window tests ------------------------------------------

void appendReport(const QString& line) {
  const QString reportFile = qEnvironmentVariable("QZT_TEST_REPORT");
  if (reportFile.isEmpty()) return;
  QFile file(reportFile);
  if (!file.open(QIODevice::Append | QIODevice::Text)) return;
  QTextStream(&file) << line << '\n';
}

// The exam as it starts: clock, answers, and where the first row's letter
// cells are on screen (once the window has settled), for clicks.
void reportExam(const qzt::ui::MainWindow& window) {
  const qzt::ExamSession& session = window.session();
  const qzt::AnswerSheet& sheet = session.sheet();
  appendReport(QStringLiteral("exam-started %1").arg(window.windowTitle()));
  appendReport(QStringLiteral("exam-clock %1 %2")
                   .arg(session.clock().minutesLeft())
                   .arg(session.clock().secondsLeft()));
  for (int row = 1; row < sheet.rowCount(); ++row) {
    for (int column = 1; column <= sheet.letterColumns(); ++column) {
      const QString text = fromGbk(sheet.cell(row, column)).trimmed();
      if (!text.isEmpty()) appendReport(QStringLiteral("exam-answer %1 %2 %3").arg(row).arg(column).arg(text));
    }
  }
  for (int n = 0; n < sheet.textAnswerCount(); ++n) {
    const QString text = fromGbk(sheet.textAnswer(n));
    if (!text.isEmpty()) appendReport(QStringLiteral("exam-text %1 %2").arg(n).arg(text));
  }
  QTimer::singleShot(500, &window, [&window] {
    const qzt::ui::AnswerGrid* grid = window.answerGrid();
    for (int column = 1; column <= window.session().sheet().letterColumns(); ++column) {
      const QPoint at = grid->viewport()->mapToGlobal(grid->cellCentre(1, column));
      appendReport(QStringLiteral("grid-cell 1 %1 %2 %3").arg(column).arg(at.x()).arg(at.y()));
    }
  });
}

// QZT_TEST_REPORT=<file>: one line per finished web page, per message box
// and per exam start. QZT_TEST_AUTO_ANSWER=yes|no answers every question.
void reportTo(qzt::ui::MainWindow& window) {
  if (qEnvironmentVariableIsEmpty("QZT_TEST_REPORT")) return;
  QObject::connect(&window, &qzt::ui::MainWindow::pageLoaded, &window,
                   [](bool ok, const QString& title) {
                     appendReport(QStringLiteral("page-loaded %1 %2").arg(QLatin1String(ok ? "ok" : "failed"), title));
                   });
  QObject::connect(&window, &qzt::ui::MainWindow::examStarted, &window,
                   [&window] { reportExam(window); });
  const QString answer = qEnvironmentVariable("QZT_TEST_AUTO_ANSWER");
  if (answer.isEmpty()) return;
  const bool yes = answer == QLatin1String("yes");
  qzt::ui::setMessageHandler(
      [yes](QWidget*, const QString& caption, const QString& text, qzt::ui::Buttons buttons) {
        appendReport(QStringLiteral("message %1 %2").arg(caption, QString(text).replace('\n', ' ')));
        return buttons == qzt::ui::Buttons::Ok || yes;
      });
}

}  // namespace

int main(int argc, char** argv) {
  qzt::ui::platform::prepareWebEngine();
  qzt::ui::registerPageScheme();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  // Names the data folder, whatever a copy of the program is called.
  QCoreApplication::setApplicationName(QStringLiteral("qzt-reader"));
  app.setFont(cjkFont(13));

  qzt::ui::SingleInstance instance;
  if (!instance.claim()) return 0;

  // Before the window: a signal during start-up waits in the pipe.
  qzt::ui::SignalExit signalExit;
  qzt::ui::MainWindow window(startOptions(argc, argv));
  QObject::connect(&instance, &qzt::ui::SingleInstance::restoreRequested, &window,
                   &qzt::ui::MainWindow::restoreRequest);
  QObject::connect(&signalExit, &qzt::ui::SignalExit::requested, &window,
                   &qzt::ui::MainWindow::endBySignal);
  reportTo(window);
  window.showMaximized();
  return app.exec();
}
