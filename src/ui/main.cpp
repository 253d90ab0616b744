// qzt-reader: one reader per user; a later start brings the first forward.
#include <QApplication>
#include <QStandardPaths>
#include <cstdio>
#include <string>
#include <vector>

#include "desktop/accessible_tree.h"
#include "page/confined_page.h"
#include "window/main_window.h"
#include "desktop/platform.h"
#include "shell/attached_slot.h"
#include "shell/command_line.h"
#include "shell/work_folder.h"
#include "desktop/signal_exit.h"
#include "desktop/single_instance.h"
#include "page/text_view.h"

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

}  // namespace

int main(int argc, char** argv) {
  qzt::ui::installAccessibleTree();  // before a screen reader can ask
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
  window.showMaximized();
  return app.exec();
}
