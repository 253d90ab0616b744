// The web engine waits for the first web page: a process that shows only
// text pages never maps its library or makes the GL context it shares; the
// first web page loads it, and its pages are as confined as ever. This
// program is not linked with the web library, as the reader is not.
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QOpenGLContext>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "page/page_view.h"

namespace {

bool mapped(const char* library) {
  QFile maps(QStringLiteral("/proc/self/maps"));
  return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library);
}

QString writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
  return path;
}

}  // namespace

class WebPaneTest : public QObject {
  Q_OBJECT

 private slots:
  void engineWaitsForTheFirstWebPage() {
    QTemporaryDir outside;
    QImage(8, 8, QImage::Format_RGB32).save(outside.filePath(QStringLiteral("secret.png")));
    QTemporaryDir work;
    qzt::ui::PageView page(work.path());
    page.resize(400, 300);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));

    QVERIFY(page.showTextPage(writeFile(work.filePath(QStringLiteral("page.txt")), "text")));
    QVERIFY(!page.webView());
    QVERIFY(!mapped("libQt6WebEngineCore"));
    QVERIFY(!mapped("libqztweb"));
    QVERIFY(!QOpenGLContext::globalShareContext());

    // A page that tries to reach a file outside its folder titles itself
    // with the outcome.
    const QByteArray html = "<html><head><title>waiting</title></head><body><img src=\"" +
                            QUrl::fromLocalFile(outside.filePath(QStringLiteral("secret.png"))).toEncoded() +
                            "\" onload=\"document.title='reached'\" onerror=\"document.title='kept'\"></body></html>";
    QSignalSpy loaded(&page, &qzt::ui::PageView::webLoadFinished);
    page.showWebPage(writeFile(work.filePath(QStringLiteral("page.html")), html));
    QVERIFY(page.webView());
    QVERIFY(mapped("libQt6WebEngineCore"));
    QVERIFY(QOpenGLContext::globalShareContext());
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 60000);
    QCOMPARE(loaded.first().first().toBool(), true);
    const QUrl shown = page.webView()->property("url").toUrl();
    QCOMPARE(shown.scheme(), QStringLiteral("qztpage"));
    QTRY_COMPARE_WITH_TIMEOUT(page.webView()->property("title").toString(), QStringLiteral("kept"), 30000);
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  WebPaneTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "web_pane_test.moc"
