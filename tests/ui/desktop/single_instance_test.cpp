// One reader per user: the second claim hands over to the first, and a
// socket file left by a crashed reader does not block the next start.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>

#include "desktop/single_instance.h"

using qzt::ui::SingleInstance;

namespace {

QString freshKey() {
  return QStringLiteral("qzt-reader-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

}  // namespace

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void secondStartAsksTheFirstToRestore() {
    const QString key = freshKey();
    SingleInstance first(key);
    QVERIFY(first.claim());
    QSignalSpy restore(&first, &SingleInstance::restoreRequested);

    SingleInstance second(key);
    QVERIFY(!second.claim());
    QTRY_COMPARE(restore.count(), 1);

    SingleInstance third(key);
    QVERIFY(!third.claim());
    QTRY_COMPARE(restore.count(), 2);
  }

  void staleSocketIsReplaced() {
    const QString key = freshKey();
    const QString stale = QDir(QDir::tempPath()).filePath(key);
    {
      QFile file(stale);
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    SingleInstance reader(key);
    QVERIFY(reader.claim());
    QSignalSpy restore(&reader, &SingleInstance::restoreRequested);
    SingleInstance later(key);
    QVERIFY(!later.claim());
    QTRY_COMPARE(restore.count(), 1);
  }

  void usersDoNotShare() {
    SingleInstance reader;
    QVERIFY(reader.serverName().startsWith(QStringLiteral("qzt-reader-")));
    QVERIFY(reader.serverName().size() > QStringLiteral("qzt-reader-").size());
  }
};

QTEST_GUILESS_MAIN(SingleInstanceTest)

#include "single_instance_test.moc"
