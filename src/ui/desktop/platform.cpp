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
