#include <QTest>

#include "desktop/link_opener.h"

class LinkOpenerTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { setLinkOpenerForTesting({}); }

  void address_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("opened");
    QTest::newRow("no scheme") << "www.example.cn/a?b=1" << "http://www.example.cn/a?b=1";
    QTest::newRow("http kept") << "http://example.cn/x" << "http://example.cn/x";
    QTest::newRow("capital HTTP kept") << "HTTP://Example.cn/Path" << "HTTP://Example.cn/Path";
    QTest::newRow("https kept as it is") << "https://example.cn" << "https://example.cn";
    QTest::newRow("http:// anywhere counts") << "see http://x.cn" << "see http://x.cn";
    QTest::newRow("non-ASCII path") << "www.例子.cn/页" << "http://www.例子.cn/页";
  }

  void address() {
    QFETCH(QString, address);
    QFETCH(QString, opened);
    QList<QUrl> seen;
    setLinkOpenerForTesting([&](const QUrl& url) { seen.append(url); });
    ielinknewwindows(address);
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen.front(), QUrl(opened, QUrl::TolerantMode));
  }
};

QTEST_MAIN(LinkOpenerTest)
#include "link_opener_test.moc"
