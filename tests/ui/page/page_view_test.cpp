// The page's text view: a link of an RTF page opens, on a click, through
// the reader's one link routine and its rule for addresses.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "desktop/link_opener.h"
#include "page/page_view.h"

class PageViewTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { setLinkOpenerForTesting({}); }

  void linkOpensInBrowser_data() {
    QTest::addColumn<QByteArray>("instruction");
    QTest::addColumn<QString>("opened");
    QTest::newRow("web address") << QByteArray("HYPERLINK \"http://example.com/a?b=1\"")
                                 << QStringLiteral("http://example.com/a?b=1");
    QTest::newRow("without http://, it is put in front")
        << QByteArray("HYPERLINK \"www.example.com/x\"") << QStringLiteral("http://www.example.com/x");
  }

  void linkOpensInBrowser() {
    QFETCH(QByteArray, instruction);
    QFETCH(QString, opened);
    QStringList seen;
    setLinkOpenerForTesting([&seen](const QUrl& url) { seen << url.toString(); });

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.rtf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{\\rtf1 see {\\field{\\*\\fldinst " + instruction + "}{\\fldrslt {\\ul the site}}} now\\par}");
    file.close();

    qzt::ui::PageView page(dir.path());
    page.resize(400, 300);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QVERIFY(page.showTextPage(path));
    QTextBrowser* view = page.textView();

    QTextCursor plain = view->document()->find(QStringLiteral("now"));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(plain).center());
    QVERIFY(seen.isEmpty());  // text beside a link opens nothing

    QTextCursor link = view->document()->find(QStringLiteral("the site"));
    link.setPosition(link.selectionStart() + 2);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(link).center());
    QCOMPARE(seen, QStringList{opened});
  }
};

QTEST_MAIN(PageViewTest)
#include "page_view_test.moc"
