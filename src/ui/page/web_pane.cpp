#include "page/web_pane.h"

#include <QCoreApplication>
#include <QFile>
#include <QOpenGLContext>
#include <QStringList>
#include <cstdio>
#include <utility>

#include "desktop/link_opener.h"
#include "desktop/platform.h"

// Qt's own modules set the context every other one shares with through
// this call; the web engine does when its library is linked in.
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

namespace qzt::ui {

namespace {

constexpr char kLibrary[] = "libqztweb.so";

QOpenGLContext* sharedContext = nullptr;

// While the display is still there.
void deleteSharedContext() {
  if (QOpenGLContext::globalShareContext() == sharedContext) qt_gl_set_global_share_context(nullptr);
  delete std::exchange(sharedContext, nullptr);
}

// The context the engine's compositor shares with the views. The engine's
// start-up code makes it as the application starts when its library is
// linked in; loaded later, it looks for one and would otherwise render
// without GL. Made here, before the library loads, as that code makes it.
void shareGlContexts() {
  if (QOpenGLContext::globalShareContext()) return;
  sharedContext = new QOpenGLContext;
  sharedContext->setFormat(QSurfaceFormat::defaultFormat());
  sharedContext->create();
  qAddPostRoutine(deleteSharedContext);
  qt_gl_set_global_share_context(sharedContext);
}

// Where the install (and the build tree) puts it beside the program's
// folder; for a copy kept elsewhere (qzt attach), where an install puts it.
// No run path: that would search the current folder in a build tree.
QStringList libraryFolders() {
  QStringList folders{QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                      QStringLiteral(QZT_WEB_LIBRARY_BESIDE)};
  folders += QStringLiteral(QZT_WEB_LIBRARY_DIRS).split(QLatin1Char(':'));
  return folders;
}

// By name first: a library already loaded, or on the library path.
void* loadLibrary(QString* error) {
  if (void* library = platform::loadLibrary(kLibrary, error)) return library;
  for (const QString& folder : libraryFolders()) {
    QString ignored;
    const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + QLatin1String(kLibrary));
    if (void* library = platform::loadLibrary(path.constData(), &ignored)) return library;
  }
  return nullptr;
}

MakeWebPane loadMaker() {
  shareGlContexts();
  QString error;
  void* library = loadLibrary(&error);
  auto* maker = reinterpret_cast<MakeWebPane>(platform::librarySymbol(library, kMakeWebPaneSymbol));
  if (!maker) {
    std::fprintf(stderr, "qzt-reader: web pages cannot be shown: %s\n",
                 library ? "libqztweb has no entry point" : qPrintable(error));
  }
  return maker;
}

}  // namespace

WebPane* makeWebPane(const WebPaneSetup& setup) {
  // Loaded once; a library that is missing is not looked for again.
  static const MakeWebPane maker = loadMaker();
  if (!maker) return nullptr;
  WebPaneSetup withOpener = setup;
  if (!withOpener.openAddress) withOpener.openAddress = ielinknewwindows;
  return maker(withOpener);
}

}  // namespace qzt::ui
