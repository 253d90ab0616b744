// Text files into the read-only view: RTF formatted, other bytes as plain
// text in the encoding a byte-order mark names, GBK without one.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "page/rtf_test_support.h"
#include "page/text_view.h"

using namespace rtftest;

class TextViewTest : public QObject {
  Q_OBJECT

 private slots:
  void loadTextFile_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("rich");
    QTest::newRow("rtf") << QByteArray("{\\rtf1 {\\b \\'d6\\'d0}\\par}") << QStringLiteral("中") << true;
    QTest::newRow("gbk text") << QByteArray("\xd6\xd0\xce\xc4\r\n<b>x</b>") << QStringLiteral("中文\n<b>x</b>")
                              << false;
    QTest::newRow("rtf not at the start is text")
        << QByteArray(" {\\rtf1 x}") << QStringLiteral(" {\\rtf1 x}") << false;
    QTest::newRow("lone CR and LF end lines") << QByteArray("a\rb\nc") << QStringLiteral("a\nb\nc") << false;
    QTest::newRow("empty file") << QByteArray() << QString() << false;
    QTest::newRow("UTF-8 with its mark") << QByteArray("\xEF\xBB\xBF\xE4\xB8\xAD\xE6\x96\x87\r\nx")
                                         << QStringLiteral("中文\nx") << false;
    QTest::newRow("UTF-16 little-endian with its mark")
        << QByteArray("\xFF\xFE\x2D\x4E\x87\x65\r\0\n\0x\0", 12) << QStringLiteral("中文\nx") << false;
    QTest::newRow("UTF-16 big-endian with its mark")
        << QByteArray("\xFE\xFF\x4E\x2D\x65\x87", 6) << QStringLiteral("中文") << false;
    QTest::newRow("a mark alone is no text") << QByteArray("\xEF\xBB\xBF") << QString() << false;
  }

  void loadTextFile() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QFETCH(bool, rich);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    QTextBrowser view;
    view.setPlainText(QStringLiteral("old"));
    QVERIFY(::loadTextFile(&view, path));
    QCOMPARE(view.toPlainText(), expected);
    if (rich) QVERIFY(formatAt(*view.document(), expected).fontWeight() >= QFont::Bold);
  }

  void loadMissingFile() {
    QTemporaryDir dir;
    QTextBrowser view;
    view.setPlainText(QStringLiteral("old"));
    QVERIFY(!::loadTextFile(&view, dir.filePath(QStringLiteral("none.rtf"))));
    QVERIFY(!::loadTextFile(&view, dir.path()));  // a folder is not a file
    QCOMPARE(view.toPlainText(), QStringLiteral("old"));
  }

  // A page replaces the one before it whole: its table, pictures and tab
  // width go with it.
  void nextPageReplacesAll() {
    QTextBrowser view;
    showTextBytes(&view, "{\\rtf1\\deftab360{\\pict\\wmetafile8\\picwgoal600\\pichgoal450 01}"
                         "\\trowd\\cellx900\\intbl a\\cell\\row}");
    QCOMPARE(images(*view.document()).size(), std::size_t{1});
    QCOMPARE(tablesIn(*view.document()).size(), std::size_t{1});
    showTextBytes(&view, "{\\rtf1 b}");
    QVERIFY(images(*view.document()).empty());
    QVERIFY(tablesIn(*view.document()).empty());
    QCOMPARE(view.toPlainText(), QStringLiteral("b"));
    QCOMPARE(view.tabStopDistance(), 48.0);
    showTextBytes(&view, "c\td");
    QCOMPARE(view.toPlainText(), QStringLiteral("c\td"));
    QCOMPARE(view.tabStopDistance(), 80.0);
  }
};

QTEST_MAIN(TextViewTest)
#include "text_view_test.moc"
