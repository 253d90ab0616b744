// qzt-reader: one reader per user; a later start brings the first forward.
#include <QApplication>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "desktop/accessible_tree.h"
#include "desktop/early_start.h"
#include "window/main_window.h"
#include "desktop/platform.h"
#include "desktop/qt_translations.h"
#include "shell/attached_slot.h"
#include "shell/command_line.h"
#include "shell/work_folder.h"
#include "desktop/signal_exit.h"
#include "desktop/single_instance.h"
#include "page/text_view.h"

namespace {

using qzt::ui::StartOptions;

constexpr char kUsage[] =
    "Usage: qzt-reader [PAPER.qzt]\n"
    "       qzt-reader --help | --version\n"
    "\n"
    "Opens an exam paper in the reader window. The arguments are joined with\n"
    "single blanks and read up to the first \".qzt\", so a path with blanks\n"
    "needs no quotes. A second start brings the running reader forward.\n"
    "\n"
    "  --help     print this text and exit\n"
    "  --version  print the version and exit\n";

// Answered before any display, instance check or work folder.
int printInfo(qzt::InfoRequest request) {
  if (request == qzt::InfoRequest::Version) {
    std::printf("qzt-reader %s\n", QZT_VERSION);
  } else {
    std::fputs(kUsage, stdout);
  }
  return 0;
}

// Without them the reader still runs, with English standard buttons.
void loadQtTranslations() {
  const QStringList missing =
      qzt::ui::installQtTranslations(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  if (missing.isEmpty()) return;
  std::fprintf(stderr, "qzt-reader: Qt's Chinese translations missing (%s): English buttons\n",
               qPrintable(missing.join(QLatin1String(", "))));
}

StartOptions startOptions(int argc, char** argv) {
  StartOptions options;
  options.programFile = QCoreApplication::applicationFilePath().toStdString();
  std::vector<std::string> args(argv + 1, argv + argc);
  options.commandLinePaper = qzt::commandLinePaper(args);
  auto attached = qzt::runningProgramPaperOffset(options.programFile);
  if (attached.ok()) {
    options.attachedOffset = *attached;
  } else {
    options.programFileError = attached.error();
  }
  // QZT_DATA_DIR keeps tests away from the user's own recovery copies.
  QString data = qEnvironmentVariable("QZT_DATA_DIR");
  if (data.isEmpty()) data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  if (!data.isEmpty()) options.dataFolder = data.toStdString();
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const auto request = qzt::infoRequest(std::vector<std::string>(argv + 1, argv + argc));
  if (request != qzt::InfoRequest::None) {
    return printInfo(request);
  }
  std::jthread fontConfiguration = qzt::ui::readFontConfiguration();
  qzt::ui::installAccessibleTree();  // before a screen reader can ask
  // Settings only: the engine itself loads with the first web page, or
  // with the window when the paper at start has one.
  qzt::ui::platform::prepareWebEngine();
  QApplication app(argc, argv);
  // Names the data folder, whatever a copy of the program is called.
  QCoreApplication::setApplicationName(QStringLiteral("qzt-reader"));
  // Lets the desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(QZT_APP_ID));
  app.setFont(cjkFont(13));

  qzt::ui::SingleInstance instance;
  if (!instance.claim()) return 0;
  std::jthread sessionBus = qzt::ui::connectSessionBus();
  qzt::ui::loadFaces(app.font());
  loadQtTranslations();

  // Before the window: a signal during start-up waits in the pipe.
  qzt::ui::SignalExit signalExit;
  // Folders of readers that were killed go; this reader's is locked while
  // it runs. Without one the window still starts; opening a paper then
  // reports that it cannot unpack.
  qzt::removeStaleReaderFolders();
  auto folder = qzt::createReaderFolder();
  StartOptions options = startOptions(argc, argv);
  if (folder.ok()) options.workFolder = folder->files;
  int status = 0;
  {
    qzt::ui::MainWindow window(std::move(options));
    QObject::connect(&instance, &qzt::ui::SingleInstance::restoreRequested, &window,
                     &qzt::ui::MainWindow::restoreRequest);
    QObject::connect(&signalExit, &qzt::ui::SignalExit::requested, &window,
                     &qzt::ui::MainWindow::endBySignal);
    window.showMaximized();
    status = app.exec();
  }  // the window, and any page it still reads, let go of the folder first
  if (folder.ok()) qzt::removeWorkFolder(folder->path);
  return status;
}
