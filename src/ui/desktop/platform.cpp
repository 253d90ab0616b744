#include "desktop/platform.h"

#include <QtGlobal>

#if defined(Q_OS_UNIX)
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
  if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY")) {
    qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
  }
}

QString userKey() {
#if defined(Q_OS_UNIX)
  return QString::number(::getuid());
#else
  return qEnvironmentVariable("USERNAME");
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
