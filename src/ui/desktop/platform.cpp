#include "desktop/platform.h"

#include <QtGlobal>

#if defined(Q_OS_UNIX)
#include <dlfcn.h>
#include <signal.h>
#include <unistd.h>
#endif

namespace qzt::ui::platform {

void prepareWebEngine() {
#if defined(Q_OS_UNIX)
  if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
  // On Linux the engine builds a page's tree for assistive technology only
  // when asked; a user who set the variable either way keeps the choice.
  // The engine reads any value as on, so a user's 0 is made an absence.
  constexpr char kPageTree[] = "QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY";
  if (!qEnvironmentVariableIsSet(kPageTree)) {
    qputenv(kPageTree, "1");
  } else if (qgetenv(kPageTree) == "0") {
    qunsetenv(kPageTree);
  }
}

QString userKey() {
#if defined(Q_OS_UNIX)
  return QString::number(::getuid());
#else
  return qEnvironmentVariable("USERNAME");
#endif
}

void* loadLibrary(const char* fileName, QString* error) {
#if defined(Q_OS_UNIX)
  void* library = ::dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
  if (!library) *error = QString::fromLocal8Bit(::dlerror());
  return library;
#else
  Q_UNUSED(fileName);
  *error = QStringLiteral("no shared libraries on this system");
  return nullptr;
#endif
}

void* librarySymbol(void* library, const char* name) {
#if defined(Q_OS_UNIX)
  return library ? ::dlsym(library, name) : nullptr;
#else
  Q_UNUSED(library);
  Q_UNUSED(name);
  return nullptr;
#endif
}

bool endProcess(qint64 pid) {
  if (pid <= 0) return false;
#if defined(Q_OS_UNIX)
  return ::kill(static_cast<pid_t>(pid), SIGKILL) == 0;
#else
  return false;
#endif
}

}  // namespace qzt::ui::platform
