// qzt-reader: one reader per user; a later start brings the first forward.
#include <QApplication>
#include <QFile>
#include <QTextStream>
#include <cstdio>
#include <string>
#include <vector>

#include "confined_page.h"
#include "main_window.h"
#include "platform.h"
#include "shell/attached_slot.h"
#include "shell/command_line.h"
#include "shell/work_folder.h"
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
  return options;
}

// QZT_TEST_REPORT=<file>: one line per finished web page, for the
// real-window tests.
void reportPagesTo(qzt::ui::MainWindow& window) {
  const QString reportFile = qEnvironmentVariable("QZT_TEST_REPORT");
  if (reportFile.isEmpty()) return;
  QObject::connect(&window, &qzt::ui::MainWindow::pageLoaded, &window,
                   [reportFile](bool ok, const QString& title) {
                     QFile file(reportFile);
                     if (!file.open(QIODevice::Append | QIODevice::Text)) return;
                     QTextStream(&file) << "page-loaded " << (ok ? "ok" : "failed") << ' ' << title
                                        << '\n';
                   });
}

}  // namespace

int main(int argc, char** argv) {
  qzt::ui::platform::prepareWebEngine();
  qzt::ui::registerPageScheme();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  app.setFont(cjkFont(13));

  qzt::ui::SingleInstance instance;
  if (!instance.claim()) return 0;

  qzt::ui::MainWindow window(startOptions(argc, argv));
  QObject::connect(&instance, &qzt::ui::SingleInstance::restoreRequested, &window,
                   &qzt::ui::MainWindow::restoreRequest);
  reportPagesTo(window);
  window.showMaximized();
  return app.exec();
}
