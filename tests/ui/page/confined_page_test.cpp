// Real pages in a real engine: a temp folder holds a work folder and, beside
// it, an "outside" folder with a secret. Pages in the work folder try every
// road to the secret and report what they got.
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <signal.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "page/confined_page.h"

using qzt::ui::ConfinedPage;

namespace {

constexpr int kWait = 20000;

bool writeFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray pngBytes(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

// The page's helpers: each returns a promise of "read:<text>", "loaded" or
// "blocked".
const char kProbeScript[] = R"(<script>
function readText(u) {
  return fetch(u).then(r => r.ok ? r.text().then(t => 'read:' + t) : 'blocked');
}
function readXhr(u) {
  return new Promise(done => {
    const x = new XMLHttpRequest();
    x.onload = () => done(x.status === 200 ? 'read:' + x.responseText : 'blocked');
    x.onerror = () => done('blocked');
    try { x.open('GET', u); x.send(); } catch (e) { done('blocked'); }
  });
}
function typeOf(u) {
  return new Promise(done => {
    const x = new XMLHttpRequest();
    x.onload = () => done(x.status === 200 ? x.getResponseHeader('Content-Type') : 'blocked');
    x.onerror = () => done('blocked');
    x.open('GET', u);
    x.send();
  });
}
function loadImage(u) {
  return new Promise(done => {
    const i = new Image();
    i.onload = () => done(i.naturalWidth > 0 ? 'loaded' : 'blocked');
    i.onerror = () => done('blocked');
    i.src = u;
  });
}
function loadFrame(u) {
  return new Promise(done => {
    window.addEventListener('message', e => { if (e.data === 'framed') done('loaded'); });
    const f = document.createElement('iframe');
    f.src = u;
    document.body.appendChild(f);
    setTimeout(() => done('blocked'), 3000);
  });
}
</script>)";

const char kFramePage[] = "<script>parent.postMessage('framed', '*')</script>";

// Runs a script and waits for its value; "<no answer>" after the wait.
QVariant evaluate(QWebEnginePage* page, const QString& script,
                  quint32 world = QWebEngineScript::MainWorld) {
  auto answer = std::make_shared<std::optional<QVariant>>();
  page->runJavaScript(script, world, [answer](const QVariant& value) { *answer = value; });
  if (!QTest::qWaitFor([&] { return answer->has_value(); }, kWait)) {
    return QStringLiteral("<no answer>");
  }
  return **answer;
}

// Runs a probe that yields a promise and returns what it settled to.
QString probe(QWebEnginePage* page, const QString& expression) {
  evaluate(page, QStringLiteral("window.outcome = null;"
                                "Promise.resolve().then(() => %1).then("
                                "r => { window.outcome = String(r); },"
                                "e => { window.outcome = 'blocked'; }); true")
                     .arg(expression));
  QString outcome = QStringLiteral("<no outcome>");
  (void)QTest::qWaitFor(
      [&] {
        const QVariant value = evaluate(page, QStringLiteral("window.outcome"));
        if (value.isNull()) return false;
        outcome = value.toString();
        return true;
      },
      kWait);
  return outcome;
}

bool loadAndWait(QWebEnginePage* page, const std::function<void()>& load) {
  QSignalSpy finished(page, &QWebEnginePage::loadFinished);
  load();
  if (!finished.wait(kWait)) return false;
  return finished.last().at(0).toBool();
}

// Clicks the middle of an element of the view's page.
bool click(QWebEngineView* view, const QString& id) {
  const QVariantList box =
      evaluate(view->page(), QStringLiteral("(() => { const r = document.getElementById('%1')"
                                            ".getBoundingClientRect();"
                                            "return [r.x + r.width / 2, r.y + r.height / 2]; })()")
                                 .arg(id))
          .toList();
  QWidget* target = view->focusProxy();
  if (box.size() != 2 || !target) return false;
  QTest::mouseClick(target, Qt::LeftButton, {},
                    QPoint(box[0].toInt(), box[1].toInt()));
  return true;
}

}  // namespace

class ConfinedPageTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(base_.isValid());
    work_ = base_.filePath(QStringLiteral("work"));
    outside_ = base_.filePath(QStringLiteral("outside"));
    const QByteArray picture = pngBytes(7, 5);
    const QByteArray page = QByteArray("<html><head><title>page</title>") + kProbeScript +
                            "</head><body><img id=pic src=\"page.files/pic.png\"></body></html>";
    QVERIFY(writeFile(work_ + "/page.htm", page));
    QVERIFY(writeFile(work_ + "/page.files/pic.png", picture));
    QVERIFY(writeFile(work_ + "/page.files/note.txt", "inside"));
    QVERIFY(writeFile(work_ + "/frame.htm", kFramePage));
    QVERIFY(writeFile(outside_ + "/secret.txt", "SECRET"));
    QVERIFY(writeFile(outside_ + "/secret.png", picture));
    QVERIFY(writeFile(outside_ + "/frame.htm", kFramePage));
    const QByteArray out = QUrl::fromLocalFile(outside_).toEncoded();
    QVERIFY(writeFile(work_ + "/links.htm",
                      "<html><head><style>body{margin:0} .b{display:block;height:40px;"
                      "width:300px;margin:0;padding:0;border:0}</style></head><body>"
                      "<a class=b id=blank href='http://example.com/blank' target=_blank>a</a>"
                      "<a class=b id=away href='http://example.com/away'>a</a>"
                      "<button class=b id=open onclick=\"window.open("
                      "'http://example.com/opened')\">a</button>"
                      "<button class=b id=openInside onclick=\"window.open('page.htm')\">a</button>"
                      "<a class=b id=insideBlank href='page.htm' target=_blank>a</a>"
                      "<a class=b id=inside href='page.htm'>a</a>"
                      "<a class=b id=file href='" + out + "/secret.txt'>a</a>"
                      "<a class=b id=fileBlank href='" + out + "/secret.txt' target=_blank>a</a>"
                      "<button class=b id=move onclick=\"location.href="
                      "'http://example.com/moved'\">a</button>"
                      "<a class=b id=sentinel href='http://example.com/sentinel'>a</a>"
                      "</body></html>"));
    QVERIFY(writeFile(work_ + "/loop.htm",
                      "<html><body><script>setTimeout(() => { for (;;) {} }, 0)</script>"
                      "</body></html>"));
    // Planted links: two lead out, one stays in.
    QVERIFY(QFile::link(outside_ + "/secret.txt", work_ + "/escape.txt"));
    QVERIFY(QFile::link(outside_ + "/secret.png", work_ + "/escape.png"));
    QVERIFY(QFile::link(outside_, work_ + "/escape.dir"));
    QVERIFY(QFile::link(work_ + "/page.files/note.txt", work_ + "/alias.txt"));
  }

  // Without the engine: which URLs name which files.
  void confinedFilePath_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");  // relative to the work folder; empty = refused
    QTest::newRow("page") << "/page.htm" << "page.htm";
    QTest::newRow("page's folder") << "/page.files/pic.png" << "page.files/pic.png";
    QTest::newRow("link that stays inside") << "/alias.txt" << "page.files/note.txt";
    QTest::newRow("dot-dot") << "/../outside/secret.txt" << "";
    QTest::newRow("dot-dot inside a folder") << "/page.files/../../outside/secret.txt" << "";
    QTest::newRow("link to a file outside") << "/escape.txt" << "";
    QTest::newRow("through a linked folder") << "/escape.dir/secret.txt" << "";
    QTest::newRow("missing file") << "/missing.htm" << "";
    QTest::newRow("a folder") << "/page.files" << "";
    QTest::newRow("the root itself") << "/" << "";
    QTest::newRow("absolute path") << "//etc/passwd" << "";
  }

  void confinedFilePath() {
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QUrl url(QStringLiteral("qztpage://work"));
    url.setPath(path, QUrl::DecodedMode);
    const std::optional<QString> found = qzt::ui::confinedFilePath(work_, url);
    if (expected.isEmpty()) {
      QVERIFY2(!found, qPrintable(found.value_or(QString())));
    } else {
      QVERIFY(found);
      QCOMPARE(*found, QFileInfo(work_ + "/" + expected).canonicalFilePath());
    }
  }

  void onlyOurUrls() {
    const QString file = work_ + "/page.htm";
    QVERIFY(qzt::ui::confinedFilePath(work_, qzt::ui::pageUrl(work_, file)));
    QVERIFY(!qzt::ui::confinedFilePath(work_, QUrl(QStringLiteral("qztpage://other/page.htm"))));
    QVERIFY(!qzt::ui::confinedFilePath(work_, QUrl::fromLocalFile(file)));
    QVERIFY(!qzt::ui::confinedFilePath(work_ + "/missing-root", qzt::ui::pageUrl(work_, file)));
    QVERIFY(!qzt::ui::pageUrl(work_, outside_ + "/secret.txt").isValid());
    QVERIFY(!qzt::ui::pageUrl(work_, work_ + "/../outside/secret.txt").isValid());
  }

  // Every name a paper may carry survives the trip through the engine,
  // and the page's pictures load beside it.
  void pagesLoadUnderTheScheme_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "page.htm";
    QTest::newRow("chinese, blank, hash, percent, question") << "试卷 #1 %20?.htm";
    QTest::newRow("capital extension") << "PAGE2.HTML";
    QTest::newRow("no extension") << "notes";
    QTest::newRow("in a folder") << "sub/dir/page.htm";
  }

  void pagesLoadUnderTheScheme() {
    QFETCH(QString, name);
    const QString path = work_ + "/" + name;
    const QString stem = QFileInfo(path).completeBaseName();
    const QString folder = QFileInfo(path).absolutePath() + "/" + stem + ".files";
    const QByteArray html = "<html><head><title>loaded</title></head><body><img id=pic src=\"" +
                            QUrl::toPercentEncoding(stem + ".files/pic.png", "/") +
                            "\"></body></html>";
    if (name != "page.htm") {
      QVERIFY(writeFile(path, html));
      QVERIFY(writeFile(folder + "/pic.png", pngBytes(7, 5)));
    }
    ConfinedPage page(work_);
    QVERIFY(loadAndWait(&page, [&] { page.showFile(path); }));
    QCOMPARE(qzt::ui::confinedFilePath(work_, page.url()), QFileInfo(path).canonicalFilePath());
    QTRY_COMPARE_WITH_TIMEOUT(
        evaluate(&page, "document.getElementById('pic').naturalWidth").toInt(), 7, kWait);
  }

  void mimeTypes_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("type");
    const QByteArray html = "<html><head><title>t</title></head><body>x</body></html>";
    QTest::newRow("htm") << "t.htm" << html << "text/html";
    QTest::newRow("html, capitals") << "T.HTML" << html << "text/html";
    QTest::newRow("css") << "t.css" << QByteArray("p{}") << "text/css";
    QTest::newRow("js") << "t.js" << QByteArray("1;") << "text/javascript";
    QTest::newRow("png") << "t.png" << pngBytes(1, 1) << "image/png";
    QTest::newRow("jpg") << "t.jpg" << QByteArray("\xff\xd8\xff") << "image/jpeg";
    QTest::newRow("jpeg") << "t.jpeg" << QByteArray("\xff\xd8\xff") << "image/jpeg";
    QTest::newRow("gif") << "t.gif" << QByteArray("GIF89a") << "image/gif";
    QTest::newRow("svg") << "t.svg" << QByteArray("<svg xmlns='http://www.w3.org/2000/svg'/>")
                         << "image/svg+xml";
    QTest::newRow("txt") << "t.txt" << QByteArray("x") << "text/plain";
    QTest::newRow("page without extension") << "page-without-extension" << html << "text/html";
  }

  void mimeTypes() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, type);
    QVERIFY(writeFile(work_ + "/types/" + name, bytes));
    ConfinedPage page(work_);
    QVERIFY(loadAndWait(&page, [&] { page.showFile(work_ + "/page.htm"); }));
    QCOMPARE(probe(&page, "typeOf('types/" + name + "')"), type);
  }

  void probes_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("expected");
    // The probes can see: the page's own files answer.
    QTest::newRow("own image") << "loadImage('page.files/pic.png')" << "loaded";
    QTest::newRow("own file, XHR") << "readXhr('page.files/note.txt')" << "read:inside";
    QTest::newRow("own frame") << "loadFrame('frame.htm')" << "loaded";
    QTest::newRow("link that stays inside") << "readXhr('alias.txt')" << "read:inside";
    // Local files outside.
    QTest::newRow("fetch of file://") << "readText('OUT/secret.txt')" << "blocked";
    QTest::newRow("XHR of file://") << "readXhr('OUT/secret.txt')" << "blocked";
    QTest::newRow("image of file://") << "loadImage('OUT/secret.png')" << "blocked";
    QTest::newRow("frame of file://") << "loadFrame('OUT/frame.htm')" << "blocked";
    // Out through the scheme. The engine has no fetch for custom schemes,
    // so these ask by XHR, which the own-file rows show answering.
    QTest::newRow("dot-dot") << "readXhr('../outside/secret.txt')" << "blocked";
    QTest::newRow("encoded slash") << "readXhr('..%2Foutside%2Fsecret.txt')" << "blocked";
    QTest::newRow("encoded dots") << "readXhr('%2e%2e/outside/secret.txt')" << "blocked";
    QTest::newRow("encoded frame") << "loadFrame('..%2Foutside%2Fframe.htm')" << "blocked";
    QTest::newRow("planted link") << "readXhr('escape.txt')" << "blocked";
    QTest::newRow("planted link, image") << "loadImage('escape.png')" << "blocked";
    QTest::newRow("planted folder link") << "readXhr('escape.dir/secret.txt')" << "blocked";
    QTest::newRow("planted folder link, frame") << "loadFrame('escape.dir/frame.htm')" << "blocked";
  }

  void probes() {
    QFETCH(QString, expression);
    QFETCH(QString, expected);
    expression.replace("OUT", QUrl::fromLocalFile(outside_).toString());
    ConfinedPage page(work_);
    QVERIFY(loadAndWait(&page, [&] { page.showFile(work_ + "/page.htm"); }));
    QCOMPARE(probe(&page, expression), expected);
  }

  // The same probe in an unconfined file page does read the secret, so a
  // "blocked" above is the confinement's doing.
  void plainFilePageReadsOutside() {
    QWebEnginePage page;
    QVERIFY(loadAndWait(&page, [&] { page.setUrl(QUrl::fromLocalFile(work_ + "/page.htm")); }));
    const QString secret = QUrl::fromLocalFile(outside_ + "/secret.txt").toString();
    QCOMPARE(probe(&page, "readXhr('" + secret + "')"), QStringLiteral("read:SECRET"));
  }

  // What a click or a script asks for; links that leave the paper reach
  // the link routine, and no window opens.
  void linksAndWindows_data() {
    QTest::addColumn<QString>("action");   // "click:<id>" or a script
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<QString>("shown");    // the page in the view afterwards
    const QStringList none;
    QTest::newRow("new-window link") << "click:blank" << QStringList{"http://example.com/blank"}
                                     << "links.htm";
    QTest::newRow("link that leaves") << "click:away" << QStringList{"http://example.com/away"}
                                      << "links.htm";
    QTest::newRow("window.open on a click")
        << "click:open" << QStringList{"http://example.com/opened"} << "links.htm";
    QTest::newRow("window.open without a click")
        << "window.open('http://example.com/silent'); true" << none << "links.htm";
    QTest::newRow("new-window link inside the paper") << "click:insideBlank" << none << "page.htm";
    QTest::newRow("window.open inside the paper") << "click:openInside" << none << "page.htm";
    QTest::newRow("link inside the paper") << "click:inside" << none << "page.htm";
    QTest::newRow("link to a local file") << "click:file" << none << "links.htm";
    QTest::newRow("new-window link to a local file") << "click:fileBlank" << none << "links.htm";
    QTest::newRow("script leaves on its own")
        << "location.href = 'http://example.com/moved'; true" << none << "links.htm";
    QTest::newRow("script leaves on a click")
        << "click:move" << QStringList{"http://example.com/moved"} << "links.htm";
  }

  void linksAndWindows() {
    QFETCH(QString, action);
    QFETCH(QStringList, opened);
    QFETCH(QString, shown);
    QStringList seen;
    QWebEngineView view;
    auto* page = new ConfinedPage(work_, &view);
    connect(page, &ConfinedPage::addressClicked, [&seen](const QString& address) { seen << address; });
    view.setPage(page);
    view.resize(400, 600);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(loadAndWait(page, [&] { page->showFile(work_ + "/links.htm"); }));
    const qsizetype windows = QApplication::topLevelWidgets().size();

    if (action.startsWith("click:")) {
      QVERIFY(click(&view, action.mid(6)));
    } else {
      QCOMPARE(evaluate(page, action), QVariant(true));
      // Let the script's request arrive before the click below could be
      // credited to it.
      QTest::qWait(1000);
    }
    if (shown == "links.htm") {
      // Clicks are handled in order: once the last one is through, so is
      // the first.
      QVERIFY(click(&view, "sentinel"));
      QTRY_VERIFY_WITH_TIMEOUT(seen.contains("http://example.com/sentinel"), kWait);
      seen.removeAll("http://example.com/sentinel");
    }
    QTRY_COMPARE_WITH_TIMEOUT(page->url(), qzt::ui::pageUrl(work_, work_ + "/" + shown), kWait);
    QCOMPARE(seen, opened);
    QCOMPARE(QApplication::topLevelWidgets().size(), windows);
  }

  void deadRendererLeavesANotice_data() {
    QTest::addColumn<bool>("kill");
    QTest::newRow("killed") << true;
    QTest::newRow("crashed") << false;
  }

  void deadRendererLeavesANotice() {
    QFETCH(bool, kill);
    ConfinedPage page(work_);
    QVERIFY(loadAndWait(&page, [&] { page.showFile(work_ + "/page.htm"); }));
    QSignalSpy lost(&page, &ConfinedPage::rendererLost);
    if (kill) {
      QTRY_VERIFY_WITH_TIMEOUT(page.renderProcessPid() > 0, kWait);
      QCOMPARE(::kill(static_cast<pid_t>(page.renderProcessPid()), SIGKILL), 0);
    } else {
      page.setUrl(QUrl(QStringLiteral("chrome://crash")));
    }
    QTRY_COMPARE_WITH_TIMEOUT(lost.size(), 1, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(page.title(), ConfinedPage::noticeText(), kWait);
    QCOMPARE(evaluate(&page, "document.body.innerText").toString(), ConfinedPage::noticeText());
    // The next page gets a fresh renderer.
    QVERIFY(loadAndWait(&page, [&] { page.showFile(work_ + "/page.htm"); }));
    QCOMPARE(page.title(), QStringLiteral("page"));
  }

  // A web archive is shown with its own pictures and reaches nothing
  // outside it; its scripts do not run.
  void webArchive() {
    const QByteArray secret = QUrl::fromLocalFile(outside_ + "/secret.png").toEncoded();
    const QByteArray archive =
        "From: <saved>\r\nSubject: notes\r\nMIME-Version: 1.0\r\n"
        "Content-Type: multipart/related; boundary=\"B\"; type=\"text/html\"\r\n\r\n"
        "--B\r\nContent-Type: text/html; charset=\"utf-8\"\r\n"
        "Content-Location: http://notes.example/n.htm\r\n\r\n"
        "<html><head><title>archive</title></head><body>"
        "<img id=own src=\"pic.png\"><img id=outside src=\"" + secret + "\">"
        "<script>document.title = 'script ran'</script></body></html>\r\n"
        "--B\r\nContent-Type: image/png\r\nContent-Transfer-Encoding: base64\r\n"
        "Content-Location: http://notes.example/pic.png\r\n\r\n" +
        pngBytes(7, 5).toBase64() + "\r\n--B--\r\n";
    QVERIFY(writeFile(work_ + "/notes.mht", archive));
    QVERIFY(writeFile(outside_ + "/other.mht", archive));
    QVERIFY(QFile::link(outside_ + "/other.mht", work_ + "/escape.mht"));
    ConfinedPage page(work_);
    QSignalSpy lost(&page, &ConfinedPage::rendererLost);
    QVERIFY(loadAndWait(&page, [&] { page.showFile(work_ + "/notes.mht"); }));
    // Short enough to fire within the wait below; set once loaded, as a busy
    // machine's slow load is no hang.
    page.setUnresponsiveLimit(std::chrono::milliseconds(1000));
    QCOMPARE(page.title(), QStringLiteral("archive"));
    // The archive's own scripts are off; ours run beside them.
    const auto width = [&page](const char* id) {
      return evaluate(&page, QStringLiteral("document.getElementById('%1').naturalWidth").arg(id),
                      QWebEngineScript::ApplicationWorld)
          .toInt();
    };
    QTRY_COMPARE_WITH_TIMEOUT(width("own"), 7, kWait);
    QCOMPARE(width("outside"), 0);
    // A page without scripts still answers the hang watch.
    QTest::qWait(3000);
    QCOMPARE(lost.size(), 0);

    for (const QString& path : {outside_ + "/other.mht", work_ + "/escape.mht"}) {
      QVERIFY(loadAndWait(&page, [&] { page.showFile(work_ + "/notes.mht"); }));
      page.showFile(path);
      QTRY_COMPARE_WITH_TIMEOUT(page.url(), QUrl(QStringLiteral("about:blank")), kWait);
    }
  }

  // An endless script stops its renderer answering; the page is freed by
  // ending it, and the file asked for meanwhile still arrives.
  void endlessScript_data() {
    QTest::addColumn<QString>("next");  // asked for while the script runs
    QTest::addColumn<QString>("title");
    QTest::newRow("left alone") << "" << ConfinedPage::noticeText();
    QTest::newRow("another page asked for") << "page.htm" << "page";
  }

  void endlessScript() {
    QFETCH(QString, next);
    QFETCH(QString, title);
    ConfinedPage page(work_);
    page.setUnresponsiveLimit(std::chrono::milliseconds(1500));
    QSignalSpy lost(&page, &ConfinedPage::rendererLost);
    QVERIFY(loadAndWait(&page, [&] { page.showFile(work_ + "/loop.htm"); }));
    if (!next.isEmpty()) page.showFile(work_ + "/" + next);
    QTRY_COMPARE_WITH_TIMEOUT(lost.size(), 1, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(page.title(), title, kWait);
    QCOMPARE(evaluate(&page, "1 + 1"), QVariant(2));
  }

  // A box the page keeps open holds its renderer too; that is no hang.
  void openAlertIsNoHang() {
    QWebEngineView view;
    auto* page = new ConfinedPage(work_, &view);
    QSignalSpy lost(page, &ConfinedPage::rendererLost);
    view.setPage(page);
    view.show();
    QVERIFY(loadAndWait(page, [&] { page->showFile(work_ + "/page.htm"); }));
    // Tight only once loaded: a busy machine may take longer than this to load.
    page->setUnresponsiveLimit(std::chrono::milliseconds(300));
    bool closed = false;
    QTimer::singleShot(2000, [&closed] {
      if (QWidget* box = QApplication::activeModalWidget()) closed = box->close();
    });
    page->runJavaScript(QStringLiteral("alert('x'); document.title = 'answered'"));
    QTRY_VERIFY_WITH_TIMEOUT(closed, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(page->title(), QStringLiteral("answered"), kWait);
    QCOMPARE(lost.size(), 0);
  }

 private:
  QTemporaryDir base_;
  QString work_;
  QString outside_;
};

int main(int argc, char** argv) {
  qzt::ui::registerPageScheme();
  QApplication app(argc, argv);
  ConfinedPageTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "confined_page_test.moc"
