// The kept zoom as the user may have edited it by hand: whatever is not a
// usable factor starts at 100%.
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <fstream>

#include "desktop/reading_zoom.h"

class ReadingZoomTest : public QObject {
  Q_OBJECT

 private slots:
  void keptValueEditedByHand_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<double>("factor");
    QTest::newRow("letters") << QByteArray("zoom=abc") << 1.0;
    QTest::newRow("empty") << QByteArray("zoom=") << 1.0;
    QTest::newRow("decimal comma") << QByteArray("zoom=1,5") << 1.0;
    QTest::newRow("negative") << QByteArray("zoom=-3") << 1.0;
    QTest::newRow("zero") << QByteArray("zoom=0") << 1.0;
    QTest::newRow("no value") << QByteArray() << 1.0;
    QTest::newRow("a step") << QByteArray("zoom=1.5") << 1.5;
    QTest::newRow("near a step") << QByteArray("zoom=0.52") << 0.5;
  }
  void keptValueEditedByHand() {
    QFETCH(QByteArray, line);
    QFETCH(double, factor);
    // A folder per row: the settings file is never read from a cache.
    const QString folder = dir_.filePath(QString::fromUtf8(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/qzt-reader")));
    std::ofstream(QString(folder + QStringLiteral("/qzt-reader/reader.conf")).toStdString())
        << "[reading]\n" << line.toStdString() << '\n';
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QWidget window;
    const qzt::ui::ReadingZoom zoom(&window);
    QCOMPARE(zoom.factor(), factor);
  }

 private:
  QTemporaryDir dir_;
};

QTEST_MAIN(ReadingZoomTest)
#include "reading_zoom_test.moc"
