// The page's views: a link of an RTF page opens, on a click, through the
// reader's one link routine and its rule for addresses; zoom reaches every
// kind of page, whether it comes before or after the page.
#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextDocumentLayout>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextBrowser>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "desktop/accessible_tree.h"
#include "desktop/link_opener.h"
#include "page/confined_page.h"
#include "page/page_view.h"

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
  const QString path = dir.filePath(name);
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
  return path;
}

double pointSizeAt(QTextBrowser* view, const QString& text) {
  QTextCursor at = view->document()->find(text);
  return at.charFormat().fontPointSize();
}

// Counts how often the document asks its layout to lay a range out again.
class LayoutPassCounter : public QPlainTextDocumentLayout {
 public:
  using QPlainTextDocumentLayout::QPlainTextDocumentLayout;
  int passes = 0;

 protected:
  void documentChanged(int from, int removed, int added) override {
    ++passes;
    QPlainTextDocumentLayout::documentChanged(from, removed, added);
  }
};

// A long page: 5,000 lines of plain text, or RTF paragraphs in three sizes
// and sizeless runs between them.
QByteArray longPage(bool rtf) {
  QByteArray bytes = rtf ? "{\\rtf1\\ansi " : "";
  for (int line = 0; line < 5000; ++line) {
    const QByteArray number = QByteArray::number(line);
    if (rtf) {
      bytes += "{\\fs" + QByteArray::number(20 + 4 * (line % 3)) + " line " + number + "} more\\par ";
    } else {
      bytes += "line " + number + " of a long plain page\n";
    }
  }
  return rtf ? bytes + "}" : bytes;
}

// The page view on screen, small, with the page at `path` in it.
bool showOnScreen(qzt::ui::PageView& page, const QString& path) {
  page.resize(400, 300);
  page.show();
  return QTest::qWaitForWindowExposed(&page) && page.showTextPage(path);
}

// The width the web page lays out in, in its own CSS pixels.
int innerWidth(QWebEngineView* web) {
  int width = -1;
  web->page()->runJavaScript(QStringLiteral("window.innerWidth"),
                             [&width](const QVariant& v) { width = v.toInt(); });
  if (!QTest::qWaitFor([&width] { return width >= 0; }, 10000)) qWarning("no answer from the page");
  return width;
}

}  // namespace

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
    const QString path = writeFile(
        dir, QStringLiteral("page.rtf"),
        "{\\rtf1 see {\\field{\\*\\fldinst " + instruction + "}{\\fldrslt {\\ul the site}}} now\\par}");

    qzt::ui::PageView page(dir.path());
    QVERIFY(showOnScreen(page, path));
    QTextBrowser* view = page.textView();

    QTextCursor plain = view->document()->find(QStringLiteral("now"));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(plain).center());
    QVERIFY(seen.isEmpty());  // text beside a link opens nothing

    QTextCursor link = view->document()->find(QStringLiteral("the site"));
    link.setPosition(link.selectionStart() + 2);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(link).center());
    QCOMPARE(seen, QStringList{opened});
  }

  // A link to a bookmark on the page (HYPERLINK \\l, or "#name") scrolls
  // to the bookmark and opens no browser.
  void bookmarkLinkScrolls_data() {
    QTest::addColumn<QByteArray>("instruction");
    QTest::newRow("\\l location") << QByteArray("HYPERLINK \\\\l \"answers\"");
    QTest::newRow("#name address") << QByteArray("HYPERLINK \"#answers\"");
  }

  void bookmarkLinkScrolls() {
    QFETCH(QByteArray, instruction);
    QStringList seen;
    setLinkOpenerForTesting([&seen](const QUrl& url) { seen << url.toString(); });
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("page.rtf"),
                                   "{\\rtf1 see {\\field{\\*\\fldinst " + instruction +
                                       "}{\\fldrslt {\\ul the answers}}}\\par " +
                                       QByteArray("line\\par ").repeated(80) +
                                       "{\\*\\bkmkstart answers}{\\*\\bkmkend answers}Answers here\\par" +
                                       QByteArray("line\\par ").repeated(80) + "}");
    qzt::ui::PageView page(dir.path());
    QVERIFY(showOnScreen(page, path));
    QTextBrowser* view = page.textView();
    QTRY_VERIFY(view->verticalScrollBar()->maximum() > 0);  // laid out: the page is longer than the view
    QCOMPARE(view->verticalScrollBar()->value(), 0);

    QTextCursor link = view->document()->find(QStringLiteral("the answers"));
    link.setPosition(link.selectionStart() + 2);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(link).center());
    QVERIFY(seen.isEmpty());
    const QTextCursor target = view->document()->find(QStringLiteral("Answers here"));
    QVERIFY(view->verticalScrollBar()->value() > 0);
    QVERIFY(view->viewport()->rect().contains(view->cursorRect(target).center()));
  }

  // An RTF page's run sizes, its own and the 12 pt of text without one,
  // grow together; the zoom set before a page loads holds for it, and 100%
  // gives back the sizes.
  void zoomScalesTextPages_data() {
    QTest::addColumn<bool>("zoomFirst");
    QTest::newRow("zoom, then the page") << true;
    QTest::newRow("the page, then zoom") << false;
  }

  void zoomScalesTextPages() {
    QFETCH(bool, zoomFirst);
    QTemporaryDir dir;
    const QString rtf = writeFile(dir, QStringLiteral("page.rtf"),
                                  "{\\rtf1\\ansi {\\fs48 big}{ plain}\\par}");
    qzt::ui::PageView page(dir.path());
    QTextBrowser* view = page.textView();

    if (zoomFirst) page.setZoom(1.5);
    QVERIFY(page.showTextPage(rtf));
    if (!zoomFirst) page.setZoom(1.5);
    QCOMPARE(pointSizeAt(view, QStringLiteral("big")), 36.0);
    QCOMPARE(pointSizeAt(view, QStringLiteral("plain")), 18.0);

    page.setZoom(1.0);
    QCOMPARE(pointSizeAt(view, QStringLiteral("big")), 24.0);
    QCOMPARE(pointSizeAt(view, QStringLiteral("plain")), 12.0);
  }

  // A zoom step on a long page is one layout pass, whatever the page's
  // runs; at 100% a page is shown as read, with no size of its own added.
  void zoomStepIsOneLayoutPass_data() {
    QTest::addColumn<bool>("rtf");
    QTest::newRow("plain text") << false;
    QTest::newRow("rtf") << true;
  }

  void zoomStepIsOneLayoutPass() {
    QFETCH(bool, rtf);
    QTemporaryDir dir;
    const QString path = writeFile(dir, rtf ? QStringLiteral("long.rtf") : QStringLiteral("long.txt"), longPage(rtf));
    qzt::ui::PageView page(dir.path());
    QVERIFY(page.showTextPage(path));
    QTextDocument* document = page.textView()->document();
    auto* counter = new LayoutPassCounter(document);
    document->setDocumentLayout(counter);
    QCOMPARE(pointSizeAt(page.textView(), QStringLiteral("line 4999")), rtf ? 12.0 : 0.0);

    for (const double factor : {1.2, 1.5, 1.0}) {
      counter->passes = 0;
      page.setZoom(factor);
      QCOMPARE(counter->passes, 1);
    }
  }

  // A long page is drawn before Qt lays out what is out of view, which
  // would hold back the window's first frame; the rest follows the drawing.
  void longPageIsDrawnBeforeItIsLaidOut() {
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("long.txt"), longPage(false));
    qzt::ui::PageView page(dir.path());
    page.resize(400, 300);
    QVERIFY(page.showTextPage(path));
    // Shown, as a window is while it waits for its first frame: its size
    // starts Qt's layout steps, and they had time to end were they not held.
    page.setUpdatesEnabled(false);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QTest::qWait(300);
    const QTextBlock last = page.textView()->document()->lastBlock();
    QCOMPARE(last.layout()->lineCount(), 0);

    page.setUpdatesEnabled(true);
    QTRY_VERIFY(last.layout()->lineCount() > 0);
  }

  // A text or RTF page reads as the named page document, its text as on
  // screen: a table's cells are lines, without the marks the view keeps
  // around them.
  void textPageReadsAsDocument_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain text") << "page.txt" << QByteArray("1. Which?\nA. one") << "1. Which?\nA. one";
    QTest::newRow("rtf with a table")
        << "page.rtf"
        << QByteArray("{\\rtf1 Which?\\par\\trowd\\cellx1440\\cellx2880\\intbl one\\cell two\\cell\\row after\\par}")
        << "Which?\n\none\ntwo\n\nafter\n";
  }

  void textPageReadsAsDocument() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QTemporaryDir dir;
    qzt::ui::PageView page(dir.path());
    QVERIFY(page.showTextPage(writeFile(dir, name, bytes)));
    QAccessibleInterface* document = QAccessible::queryAccessibleInterface(page.textView());
    QVERIFY(document);
    QCOMPARE(document->role(), QAccessible::Document);
    QCOMPARE(document->text(QAccessible::Name), QStringLiteral("试卷页面"));
    QVERIFY(document->state().readOnly);
    QAccessibleTextInterface* reading = document->textInterface();
    QVERIFY(reading);
    const QString all = reading->text(0, reading->characterCount());
    QCOMPARE(all.size(), page.textView()->document()->characterCount() - 1);
    QCOMPARE(all.simplified(), text.simplified());
    QVERIFY2(!all.contains(QChar(0xFDD0)) && !all.contains(QChar(0xFDD1)) && !all.contains(QChar::ParagraphSeparator),
             qPrintable(all));
  }

  // The web page draws no focus mark of its own: while the keys are in it
  // a ring in the highlight colour runs along its edge, and goes with them.
  void webPageShowsWhereTheKeysAre() {
    QTemporaryDir dir;
    const QString html = writeFile(dir, QStringLiteral("page.html"), "<p>page</p>");
    QWidget window;
    auto* before = new QLineEdit(&window);
    auto* page = new qzt::ui::PageView(dir.path(), &window);
    page->setGeometry(0, 40, 400, 300);
    window.resize(400, 340);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy loaded(page, &qzt::ui::PageView::webLoadFinished);
    page->showWebPage(html);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 30000);
    QWidget* web = page->webView();
    const QColor highlight = web->palette().color(QPalette::Active, QPalette::Highlight);
    const auto edgeColour = [web] { return web->grab().toImage().pixelColor(1, web->height() / 2).rgb(); };

    before->setFocus();
    QTRY_VERIFY(before->hasFocus());
    QVERIFY(edgeColour() != highlight.rgb());
    QTest::keyClick(before, Qt::Key_Tab);
    QTRY_VERIFY(web->focusProxy() ? web->focusProxy()->hasFocus() : web->hasFocus());
    QTRY_COMPARE(edgeColour(), highlight.rgb());
    before->setFocus();
    QTRY_VERIFY(edgeColour() != highlight.rgb());
  }

  // The web page lays out in fewer CSS pixels at 150%, the same number again
  // at 100%: the zoom is the engine's own, not a picture stretched.
  void zoomReachesTheWebPage() {
    QTemporaryDir dir;
    const QString html = writeFile(dir, QStringLiteral("page.html"), "<p>page</p>");
    qzt::ui::PageView page(dir.path());
    page.resize(600, 400);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    page.setZoom(1.5);  // before the web view exists
    QSignalSpy loaded(&page, &qzt::ui::PageView::webLoadFinished);
    page.showWebPage(html);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 30000);
    auto* web = qobject_cast<QWebEngineView*>(page.webView());
    QVERIFY(web);
    const int atOneAndAHalf = innerWidth(web);
    page.setZoom(1.0);
    QTRY_COMPARE_WITH_TIMEOUT(innerWidth(web), web->width(), 10000);
    QVERIFY2(qAbs(atOneAndAHalf - qRound(web->width() / 1.5)) <= 2,
             qPrintable(QStringLiteral("%1 CSS pixels at 150% in %2").arg(atOneAndAHalf).arg(web->width())));
  }
};

int main(int argc, char** argv) {
  qzt::ui::registerPageScheme();
  qzt::ui::installAccessibleTree();
  QApplication app(argc, argv);
  PageViewTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "page_view_test.moc"
