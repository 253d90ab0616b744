// Numbers as lists write them, in each format, at the edges where a format
// runs out and falls back to decimal.
#include <QTest>

#include "page/rtf/lists.h"

using qzt::rtf::NumberFormat;

class ListsTest : public QObject {
  Q_OBJECT

 private slots:
  void formatNumber_data() {
    QTest::addColumn<int>("levelnfc");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("expected");
    QTest::newRow("decimal") << 0 << 12 << "12";
    QTest::newRow("upper roman") << 1 << 1994 << "MCMXCIV";
    QTest::newRow("lower roman") << 2 << 49 << "xlix";
    QTest::newRow("roman past 3999") << 1 << 4000 << "4000";
    QTest::newRow("upper letter") << 3 << 3 << "C";
    QTest::newRow("letters past z double") << 4 << 28 << "bb";
    QTest::newRow("ordinal") << 5 << 12 << "12th";
    QTest::newRow("ordinal 22") << 5 << 22 << "22nd";
    QTest::newRow("full width") << 14 << 10 << "１０";
    QTest::newRow("circled") << 18 << 3 << "③";
    QTest::newRow("circled past 20") << 18 << 21 << "21";
    QTest::newRow("leading zero") << 22 << 7 << "07";
    QTest::newRow("bullet has no number") << 23 << 1 << "";
    QTest::newRow("Chinese ten") << 37 << 10 << "十";
    QTest::newRow("Chinese twenty-one") << 37 << 21 << "二十一";
    QTest::newRow("Chinese hundred and five") << 37 << 105 << "一百零五";
    QTest::newRow("Chinese hundred and twelve") << 37 << 112 << "一百一十二";
    QTest::newRow("Chinese legal") << 38 << 13 << "拾叁";
    QTest::newRow("unknown format is decimal") << 200 << 4 << "4";
    QTest::newRow("a list started at zero") << 1 << 0 << "0";
  }

  void formatNumber() {
    QFETCH(int, levelnfc);
    QFETCH(int, n);
    QFETCH(QString, expected);
    QCOMPARE(qzt::rtf::formatNumber(n, qzt::rtf::numberFormat(levelnfc)), expected);
  }
};

QTEST_APPLESS_MAIN(ListsTest)
#include "lists_test.moc"
