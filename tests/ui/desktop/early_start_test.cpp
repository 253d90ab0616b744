// The early connection to the session bus must end where there is no bus:
// the reader joins its thread and would otherwise never exit.
#include <QApplication>
#include <QDBusConnection>
#include <QTest>

#include "desktop/early_start.h"

class EarlyStartTest : public QObject {
  Q_OBJECT

 private slots:
  void endsWithoutASessionBus() {
    // Set before the first connection: the address is read once.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/qzt-test-bus");
    qzt::ui::connectSessionBus().join();
    QVERIFY(!QDBusConnection::sessionBus().isConnected());
  }
};

QTEST_MAIN(EarlyStartTest)
#include "early_start_test.moc"
