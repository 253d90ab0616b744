#include "desktop/early_start.h"

#include <QDBusConnection>
#include <QFontMetrics>

#include <fontconfig/fontconfig.h>

namespace qzt::ui {

std::jthread readFontConfiguration() {
  // Thread-safe: a second reader of an unread configuration reads its own
  // and drops it.
  return std::jthread([] { FcInit(); });
}

std::jthread connectSessionBus() {
  // Without a bus the connection stays closed, as the bridge's own would.
  return std::jthread([] { QDBusConnection::sessionBus(); });
}

void loadFaces(QFont font) {
  // A Chinese character, so that the face is the one the window's text needs.
  const QString sample = QStringLiteral("卷");
  QFontMetrics(font).horizontalAdvance(sample);
  font.setBold(true);
  QFontMetrics(font).horizontalAdvance(sample);
}

}  // namespace qzt::ui
