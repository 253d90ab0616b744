// The main window from start-up to a paper on screen: layout and start
// state, refused papers and their deferred messages, loading pages of each
// kind, a failed load, the catalogue and the exit question.
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSettings>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QTextDocument>
#include <QWebEngineView>

#include "side/about_window.h"
#include "side/notes_window.h"
#include "side/password_panel.h"
#include "window/answer_file_actions.h"
#include "grid/answer_grid_model.h"
#include "page/confined_page.h"
#include "desktop/link_opener.h"
#include "desktop/reading_zoom.h"
#include "page/page_view.h"
#include "paper/format.h"
#include "window/reader_fixture.h"
#include "util/file_report.h"

using namespace fixture;

namespace {

std::string damaged(const PaperSpec& spec, int offset, char value) {
  std::string bytes = qzt::writer::buildPaper(spec).bytes;
  bytes[static_cast<std::size_t>(offset)] = value;
  return bytes;
}

// Text as the user sees it: markup, where a label or tool tip takes text
// for markup, is rendered and its tags are gone.
QString rendered(const QString& text, Qt::TextFormat format = Qt::AutoText) {
  const bool markup = format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text));
  if (!markup) return text;
  QTextDocument document;
  document.setHtml(text);
  return document.toPlainText();
}

QString rendered(const QLabel* label) { return rendered(label->text(), label->textFormat()); }

void typePassword(Reader& r, const QString& text) {
  r.control<QLineEdit>("Edit2")->setText(text);
  QTest::mouseClick(r.button("Button1"), Qt::LeftButton);
}

// A paper whose text page is named but never written (packed size 0): it
// cannot be shown.
PaperSpec pageNotShown(const char* title) {
  PaperSpec spec = textPaper(title);
  spec.timeLimit = 5;
  spec.statusText = "broken status";
  spec.page = {GroupEntry::raw("gone.txt", "")};
  spec.notes = {GroupEntry::file("notes.txt", "n")};
  spec.questions = {question("1", 3, 0, "x"), question("2", 1, 2, "B")};
  return spec;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void startUpState() {
    Reader r;
    auto& w = r.start();
    QCOMPARE(w.windowTitle(), QStringLiteral("卷舟试卷阅读器1.0"));
    const struct {
      const char* name;
      const char* caption;
      bool hidden;
      bool enabled;
    } buttons[] = {
        {"Button11", "目录", true, true},     {"Button8", "打开试卷", false, true},
        {"Button7", "批改试卷", false, false}, {"Button10", "关于", true, true},
        {"Button6", "查看注释", true, true},   {"Button4", "保存答案", false, true},
        {"Button5", "导入答案", false, true},  {"Button3", "开始答题", true, false},
    };
    for (const auto& b : buttons) {
      QPushButton* button = r.button(b.name);
      QVERIFY2(button, b.name);
      QCOMPARE(button->text(), QString::fromUtf8(b.caption));
      QCOMPARE(button->isHidden(), b.hidden);
      QCOMPARE(button->isEnabled(), b.enabled);
    }
    QCOMPARE(r.control("Panel1")->height(), 57);
    QCOMPARE(r.text("Label1"), QStringLiteral("答题时间："));
    QCOMPARE(r.text("Label3"), QStringLiteral("剩余答题时间："));
    for (const char* count : {"Label10", "Label11", "Label5"}) QCOMPARE(r.text(count), QStringLiteral("0"));
    QCOMPARE(r.text("Label7"), QStringLiteral("总分：得分："));
    QCOMPARE(r.control("Label7")->width(), 289);
    QVERIFY(r.control<QLabel>("Label7")->wordWrap());
    auto* list = r.control<QListWidget>("ListBox1");
    QCOMPARE(list->width(), 225);
    QCOMPARE(list->toolTip(), QStringLiteral("双击打开试卷"));
    QVERIFY(list->isHidden());
    QVERIFY(r.control("Splitter1")->isHidden());  // no catalogue file
    QCOMPARE(r.control("Panel6")->width(), 24);
    QCOMPARE(r.control("Panel7")->height(), 21);
    QVERIFY(r.control("Panel2")->isHidden());
    QVERIFY(r.control("Panel5")->isHidden());
    QVERIFY(!w.pageView()->webView());  // the web view waits for a web page

    auto* model = r.grid()->answerModel();
    QCOMPARE(model->columnCount(), 5);
    QCOMPARE(model->rowCount(), 4);  // rows 1..4 under the header row
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("答案区"));
    QCOMPARE(model->headerData(4, Qt::Horizontal).toString(), QStringLiteral(" D"));
    QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("  1"));
    QCOMPARE(model->index(3, 0).data().toString(), QStringLiteral("  4"));
    QCOMPARE(r.grid()->objectName(), QStringLiteral("StringGrid1"));
    QVERIFY(!w.deferredMessagePending());
    QVERIFY(!w.minuteTimerActive());
    QVERIFY(!w.secondTimerActive());
  }

  void refusedPaper_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("bad magic") << 0 << QStringLiteral("不是卷舟格式试卷或数据被破坏!");
    QTest::newRow("newer version") << 1
                                   << QStringLiteral("该版本阅读器太旧，请到") +
                                          QString::fromUtf8(qzt::downloadSite()) +
                                          QStringLiteral("下载新版本阅读器打开!");
    QTest::newRow("altered byte") << 2 << QStringLiteral("试卷数据已被非法改动!");
  }

  // A refused paper leaves the paper being answered on screen with its
  // clock going; the message follows on the deferred timer.
  void refusedPaper() {
    QFETCH(int, kind);
    QFETCH(QString, message);
    QStringList opened;
    setLinkOpenerForTesting([&](const QUrl& url) { opened << url.toString(); });
    Reader r;
    auto& w = r.start();
    w.openPaper(r.write("good.qzt", textPaper("Good one")), 0);
    QCOMPARE(w.windowTitle(), QStringLiteral("Good one"));

    PaperSpec spec = textPaper("Refused");
    std::filesystem::path bad;
    if (kind == 0) bad = r.writeBytes("bad.qzt", damaged(spec, qzt::format::kMagic.offset + 1, '?'));
    if (kind == 1) {
      spec.formatVersion = "1.1";
      bad = r.write("bad.qzt", spec);
    }
    if (kind == 2) bad = r.writeBytes("bad.qzt", damaged(spec, qzt::format::kTitle.offset + 1, 'X'));
    w.openPaper(bad, 0);

    QVERIFY(w.deferredMessagePending());
    QVERIFY(r.messages.shown.empty());
    QCOMPARE(w.windowTitle(), QStringLiteral("Good one"));
    QVERIFY(w.session().answering());
    QVERIFY(w.minuteTimerActive());
    w.deferredMessageTick();
    QCOMPARE(r.messages.shown.size(), std::size_t{1});
    QCOMPARE(r.messages.shown[0].caption, QStringLiteral("提示1.0"));
    QCOMPARE(r.messages.shown[0].text, message);
    QCOMPARE(w.session().stateCode(), 0);
    QCOMPARE(opened.size(), kind == 1 ? 1 : 0);
    setLinkOpenerForTesting({});
  }

  void textPages_data() {
    QTest::addColumn<QString>("pageName");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("shown");
    QTest::newRow("txt") << "page.txt" << QByteArray("the page text") << "the page text";
    QTest::newRow("TXT in capitals") << "PAGE.TXT" << QByteArray("capital page") << "capital page";
    QTest::newRow("GBK text") << "page.txt" << QByteArray("\xD6\xD0\xCE\xC4") << "中文";
    QTest::newRow("rtf") << "page.rtf" << QByteArray("{\\rtf1\\ansi hello {\\b rtf}\\par}")
                         << "hello rtf";
  }

  void textPages() {
    QFETCH(QString, pageName);
    QFETCH(QByteArray, content);
    QFETCH(QString, shown);
    Reader r;
    auto& w = r.start();
    PaperSpec spec = textPaper("Text page");
    spec.page = {GroupEntry::file(pageName.toStdString(), content.toStdString())};
    w.openPaper(r.write("p.qzt", spec), 0);
    QVERIFY2(r.messages.shown.empty(), qPrintable(r.messages.texts().join('|')));
    QCOMPARE(w.windowTitle(), QStringLiteral("Text page"));
    QCOMPARE(w.pageView()->textView()->toPlainText().trimmed(), shown);
    QVERIFY(!w.pageView()->webInFront());
    QCOMPARE(r.text("Panel7"), QStringLiteral("status line"));
    QVERIFY(!r.control("Panel7")->isHidden());
    QCOMPARE(r.text("Label10"), QStringLiteral("90"));
    QCOMPARE(r.text("Label11"), QStringLiteral("89"));
    QCOMPARE(r.text("Label5"), QStringLiteral("0"));
    QVERIFY(r.button("Button7")->isEnabled());
    QVERIFY(!r.button("Button3")->isEnabled());
    QVERIFY(r.button("Button3")->isHidden());
    QVERIFY(r.button("Button6")->isHidden());
    QVERIFY(r.button("Button10")->isHidden());
    QVERIFY(w.minuteTimerActive());
    QVERIFY(w.secondTimerActive());
  }

  void buttonsFollowThePaper_data() {
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QByteArray>("about");
    QTest::addColumn<bool>("notes");
    QTest::addColumn<bool>("statusShown");
    QTest::addColumn<bool>("aboutShown");
    QTest::newRow("blank status, 1-byte about") << QByteArray("   ") << QByteArray("x") << false
                                                << false << false;
    QTest::newRow("about and notes") << QByteArray("s") << QByteArray("About us") << true << true
                                     << true;
  }

  void buttonsFollowThePaper() {
    QFETCH(QByteArray, status);
    QFETCH(QByteArray, about);
    QFETCH(bool, notes);
    QFETCH(bool, statusShown);
    QFETCH(bool, aboutShown);
    Reader r;
    auto& w = r.start();
    PaperSpec spec = textPaper();
    spec.statusText = status.toStdString();
    spec.aboutCaption = "Who";
    spec.support = {GroupEntry::file("support.txt", "s"), GroupEntry::folder("support.txt.files"),
                    GroupEntry::file("about.txt", about.toStdString())};
    if (notes) spec.notes = {GroupEntry::file("notes.txt", "the notes")};
    w.openPaper(r.write("p.qzt", spec), 0);
    QVERIFY2(r.messages.shown.empty(), qPrintable(r.messages.texts().join('|')));
    QCOMPARE(!r.control("Panel7")->isHidden(), statusShown);
    QCOMPARE(!r.button("Button10")->isHidden(), aboutShown);
    if (aboutShown) QCOMPARE(r.button("Button10")->text(), QStringLiteral("Who"));
    QCOMPARE(!r.button("Button6")->isHidden(), notes);
    QVERIFY(!r.button("Button6")->isEnabled());
    if (!aboutShown) return;

    // The about text is unpacked for the window and gone once it is read.
    QTest::mouseClick(r.button("Button10"), Qt::LeftButton);
    AboutWindow* window = AboutWindow::instance();
    QVERIFY(window);
    QCOMPARE(window->lineLabels().size(), std::size_t{1});
    QCOMPARE(window->lineLabels().front()->text(), QString::fromLatin1(about));
    QVERIFY(!std::filesystem::exists(r.workFolder() / "support.txt.files" / "about.txt"));
    window->close();
  }

  void webPage() {
    Reader r;
    auto& w = r.start();
    QSignalSpy loaded(&w, &qzt::ui::MainWindow::pageLoaded);
    PaperSpec spec = textPaper("Web paper");
    spec.page = {GroupEntry::file("index.html",
                                  "<html><head><title>t</title></head><body>hi</body></html>")};
    w.openPaper(r.write("web.qzt", spec), 0);
    QVERIFY(w.pageView()->webView());
    QVERIFY(w.pageView()->webInFront());
    QCOMPARE(w.pageView()->webView()->objectName(), QStringLiteral("WebBrowser1"));
    QTRY_VERIFY_WITH_TIMEOUT(loaded.count() >= 1, 60000);
    QCOMPARE(loaded.last().at(0).toBool(), true);
    QCOMPARE(loaded.last().at(1).toString(), QStringLiteral("Web paper"));
    const auto shown = qzt::ui::confinedFilePath(QString::fromStdString(r.workFolder().string()),
                                                 qobject_cast<QWebEngineView*>(w.pageView()->webView())->url());
    QVERIFY(shown && shown->endsWith(QStringLiteral("/index.html")));
    QCOMPARE(r.text("Label11"), QStringLiteral("89"));
  }

  // The web view of a web paper named at start exists, blank and in front,
  // before the window first shows: the engine starts while the window is
  // built, and the page needs no new native window. Other papers never
  // start the engine.
  void webViewIsMadeOnlyForAWebPaperAtStart() {
    Reader r;
    PaperSpec web = textPaper("Web paper");
    web.page = {GroupEntry::file("index.html", "<html><body>hi</body></html>")};
    const std::pair<fs::path, bool> cases[] = {
        {r.write("web.qzt", web), true},
        {r.write("text.qzt", textPaper("Text paper")), false},
        {r.root() / "missing.qzt", false},
    };
    for (const auto& [paper, prepared] : cases) {
      qzt::ui::StartOptions options;
      options.programFile = r.program();
      options.workFolder = r.workFolder();
      options.commandLinePaper = paper;
      qzt::ui::MainWindow w(options);
      QCOMPARE(w.pageView()->webView() != nullptr, prepared);
      QCOMPARE(w.pageView()->webInFront(), prepared);
    }
  }

  // A paper whose question table lies past its end changes nothing: the
  // paper on screen keeps its title, its grid and its clock.
  void failedLoadKeepsThePaper() {
    Reader r;
    auto& w = r.start();
    w.openPaper(r.write("good.qzt", textPaper("Good one")), 0);
    w.secondTick();  // the clock moves: 89 minutes, 59 seconds
    PaperSpec spec = textPaper("Broken");
    spec.timeLimit = 5;
    auto built = qzt::writer::buildPaper(spec);
    qzt::writer::patchHeader(built, qzt::format::kQuestionTablePos, 1 << 30);
    w.openPaper(r.writeBytes("broken.qzt", built.bytes), 0);
    QCOMPARE(r.messages.shown.size(), std::size_t{1});
    QCOMPARE(r.messages.shown[0].caption, QStringLiteral("提示"));
    QCOMPARE(r.messages.shown[0].text, QStringLiteral("gd2"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Good one"));
    QCOMPARE(r.text("Label10"), QStringLiteral("90"));
    QCOMPARE(r.text("Label11"), QStringLiteral("89"));
    QCOMPARE(r.text("Label5"), QStringLiteral("59"));
    QCOMPARE(r.grid()->answerModel()->rowCount(), 4);
    QCOMPARE(r.grid()->rowEdits().size(), 1);
    QVERIFY(w.session().answering());
    QVERIFY(w.secondTimerActive());
  }

  void unreadablePaper_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "none.qzt" << "不存在";
    QTest::newRow("too short") << "short.qzt" << "太短，不是完整的试卷";
    QTest::newRow("a folder") << "folder.qzt" << "无法读取";
  }

  // The window's report of a file it cannot read is Chinese and names the
  // file and the reason; the paper on screen stays.
  void unreadablePaper() {
    QFETCH(QString, name);
    QFETCH(QString, reason);
    Reader r;
    auto& w = r.start();
    w.openPaper(r.write("good.qzt", textPaper("Good one")), 0);
    r.writeBytes("short.qzt", std::string(100, 'x'));
    std::filesystem::create_directories(r.root() / "folder.qzt");
    const auto path = r.root() / name.toStdString();
    w.openPaper(path, 0);
    QCOMPARE(r.messages.shown.size(), std::size_t{1});
    QCOMPARE(r.messages.shown[0].caption, QStringLiteral("Good one"));
    QCOMPARE(r.messages.shown[0].text,
             QStringLiteral("文件“%1”%2。").arg(QString::fromStdString(path.string()), reason));
    QCOMPARE(w.windowTitle(), QStringLiteral("Good one"));
    QVERIFY(w.secondTimerActive());
  }

  void refusedOpenEndsThePasswordCheck_data() {
    QTest::addColumn<int>("refusal");  // 0 magic, 1 altered byte, 2 missing file
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("bad magic, panel open") << 0 << false;
    QTest::newRow("altered byte, password confirmed") << 1 << true;
    QTest::newRow("missing file, panel open") << 2 << false;
    QTest::newRow("missing file, password confirmed") << 2 << true;
  }

  // A opens its password panel; B is refused. A's password, typed or
  // already confirmed, must not load B (nor A): the panel is gone and the
  // paper on screen counts on.
  void refusedOpenEndsThePasswordCheck() {
    QFETCH(int, refusal);
    QFETCH(bool, confirmed);
    Reader r;
    auto& w = r.start();
    w.openPaper(r.write("first.qzt", textPaper("First")), 0);
    PaperSpec locked = textPaper("Locked");
    locked.openPassword = "pw";
    w.openPaper(r.write("locked.qzt", locked), 0);
    QVERIFY(!r.control("Panel2")->isHidden());
    if (confirmed) typePassword(r, QStringLiteral("pw"));

    const PaperSpec refused = textPaper("Refused");
    std::filesystem::path bad = r.root() / "missing.qzt";
    if (refusal == 0) bad = r.writeBytes("bad.qzt", damaged(refused, qzt::format::kMagic.offset + 1, '?'));
    if (refusal == 1) bad = r.writeBytes("bad.qzt", damaged(refused, qzt::format::kTitle.offset + 1, 'X'));
    w.openPaper(bad, 0);
    QVERIFY(r.control("Panel2")->isHidden());
    if (!confirmed) {
      // A confirmation that was on its way when the panel went.
      r.control<QLineEdit>("Edit2")->setText(QStringLiteral("pw"));
      emit w.passwordPanel()->confirmed();
    }
    QVERIFY(w.secondTimerActive());
    w.secondTick();
    QCOMPARE(w.windowTitle(), QStringLiteral("First"));
    QCOMPARE(QString::fromStdString(w.session().header().title()), QStringLiteral("First"));
    QCOMPARE(r.text("Label5"), QStringLiteral("59"));  // the tick counted
    QVERIFY(w.secondTimerActive());
    if (w.deferredMessagePending()) w.deferredMessageTick();
    for (const Shown& shown : r.messages.shown) QVERIFY(shown.text != QStringLiteral("密码错误1"));
  }

  void pageNotShownLeavesOnePaper_data() {
    QTest::addColumn<bool>("password");
    QTest::newRow("opened") << false;
    QTest::newRow("after its opening password") << true;
  }

  // "gd3": the title, status line and clock labels are the new paper's, and
  // so is everything else: its question table and grid, no answers, no
  // clock running, nothing to hand in, no page of the paper before.
  void pageNotShownLeavesOnePaper() {
    QFETCH(bool, password);
    Reader r;
    auto& w = r.start();
    PaperSpec first = textPaper("First");
    first.aboutCaption = "Who";
    first.support = {GroupEntry::file("support.txt", "s"), GroupEntry::folder("support.txt.files"),
                     GroupEntry::file("about.txt", "About us")};
    w.openPaper(r.write("first.qzt", first), 0);
    w.show();
    QTest::mouseClick(r.grid()->viewport(), Qt::LeftButton, {}, r.grid()->cellCentre(1, 1));
    w.secondTick();
    PaperSpec broken = pageNotShown("Broken page");
    if (password) broken.openPassword = "pw";
    w.openPaper(r.write("broken.qzt", broken), 0);
    if (password) {
      typePassword(r, QStringLiteral("pw"));
      w.secondTick();
    }

    QCOMPARE(r.messages.texts(), QStringList{QStringLiteral("gd3")});
    QCOMPARE(w.windowTitle(), QStringLiteral("Broken page"));
    QCOMPARE(r.text("Panel7"), QStringLiteral("broken status"));
    QCOMPARE(r.text("Label10"), QStringLiteral("5"));
    QCOMPARE(r.text("Label11"), QStringLiteral("4"));
    QCOMPARE(r.text("Label5"), QStringLiteral("0"));
    const qzt::ExamSession& session = w.session();
    QCOMPARE(QString::fromStdString(session.header().title()), QStringLiteral("Broken page"));
    QCOMPARE(session.table().count(), 2);
    QCOMPARE(r.grid()->answerModel()->rowCount(), 2);
    QCOMPARE(r.grid()->rowEdits().size(), 1);
    QCOMPARE(r.grid()->answerModel()->index(1, 1).data().toString(), QString());
    QVERIFY(!session.answering());
    QVERIFY(!w.minuteTimerActive() && !w.secondTimerActive());
    QVERIFY(!r.button("Button7")->isEnabled());
    QVERIFY(r.button("Button6")->isHidden());
    QVERIFY(r.button("Button10")->isHidden());
    QVERIFY(r.control("Panel2")->isHidden());
    QCOMPARE(w.pageView()->textView()->toPlainText(), QString());
    w.secondTick();  // a stale tick changes nothing
    QVERIFY(!session.graded());
    QCOMPARE(r.text("Label5"), QStringLiteral("0"));
  }

  void pageBeforeSupport_data() {
    QTest::addColumn<bool>("atStart");
    QTest::newRow("opened") << false;
    QTest::newRow("at start, its page read while the window is built") << true;
  }

  // The page is unpacked and shown before the support group is unpacked:
  // a support file with the page's name cannot take its place.
  void pageBeforeSupport() {
    QFETCH(bool, atStart);
    Reader r;
    PaperSpec spec = textPaper("Page first");
    spec.page = {GroupEntry::file("page.txt", "the page")};
    spec.support = {GroupEntry::file("page.txt", "support text")};
    const fs::path paper = r.write("p.qzt", spec);
    auto& w = r.start(atStart ? paper : fs::path());
    if (!atStart) w.openPaper(paper, 0);
    QCOMPARE(w.windowTitle(), QStringLiteral("Page first"));
    QCOMPARE(w.pageView()->textView()->toPlainText(), QStringLiteral("the page"));
  }

  void supportWithoutTopLevelFile_data() {
    QTest::addColumn<bool>("password");
    QTest::newRow("loaded") << false;
    QTest::newRow("asks its opening password") << true;
  }

  // A support group with no file directly in the work folder keeps the
  // anchor of the group before: its hint and about text are found there.
  void supportWithoutTopLevelFile() {
    QFETCH(bool, password);
    Reader r;
    auto& w = r.start();
    PaperSpec first = textPaper("First");
    first.support = {GroupEntry::file("support.txt", "s"), GroupEntry::folder("support.txt.files"),
                     GroupEntry::file("mmts.txt", "first hint")};
    w.openPaper(r.write("first.qzt", first), 0);
    PaperSpec second = textPaper("Second");
    second.aboutCaption = "Who";
    second.support = {GroupEntry::folder("support.txt.files"), GroupEntry::file("mmts.txt", "second hint"),
                      GroupEntry::file("about.txt", "About the second")};
    if (password) second.openPassword = "pw";
    w.openPaper(r.write("second.qzt", second), 0);
    QVERIFY(r.messages.shown.empty());
    QCOMPARE(r.control<QTextBrowser>("RichEdit3")->toPlainText(), QStringLiteral("second hint"));
    if (password) {
      typePassword(r, QStringLiteral("pw"));
      w.secondTick();
    }
    QCOMPARE(w.windowTitle(), QStringLiteral("Second"));
    QVERIFY(!r.button("Button10")->isHidden());
    QCOMPARE(r.button("Button10")->text(), QStringLiteral("Who"));
  }

  void paperTextIsPlain_data() {
    QTest::addColumn<int>("where");
    QTest::addColumn<QString>("text");
    QTest::newRow("status line") << 0 << "<b>Note</b> 1<2 &amp;";
    QTest::newRow("heading panel") << 1 << "<I>PART ONE</I>";
    QTest::newRow("heading tool tip") << 2 << "<I>PART ONE</I>";
    QTest::newRow("about line") << 3 << "<u>about</u>";
    QTest::newRow("correct-answer hint") << 4 << "<B>OK</B>";
  }

  // Paper text reads as written wherever the window shows it.
  void paperTextIsPlain() {
    QFETCH(int, where);
    QFETCH(QString, text);
    Reader r;
    auto& w = r.start();
    PaperSpec spec = textPaper("Markup");
    spec.statusText = "<b>Note</b> 1<2 &amp;";
    spec.aboutCaption = "Who";
    spec.support = {GroupEntry::file("support.txt", "s"), GroupEntry::folder("support.txt.files"),
                    GroupEntry::file("about.txt", "<u>about</u>")};
    spec.questions = {question("", 100, 0, "<i>part one</i>"), question("1", 3, 0, "<b>ok</b>")};
    w.openPaper(r.write("p.qzt", spec), 0);
    w.show();
    QString shown;
    switch (where) {
      case 0:
        shown = rendered(r.control<QLabel>("Panel7"));
        break;
      case 1:
        shown = rendered(r.grid()->rowPanels()[0]);
        break;
      case 2:
        shown = rendered(r.grid()->rowPanels()[0]->toolTip());
        break;
      case 3: {
        QTest::mouseClick(r.button("Button10"), Qt::LeftButton);
        AboutWindow* about = AboutWindow::instance();
        QVERIFY(about);
        shown = rendered(about->lineLabels().front());
        about->close();
        break;
      }
      case 4: {
        w.handIn();
        auto* grid = r.grid();
        const int last = grid->answerModel()->columnCount() - 1;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellCentre(2, last));
        QCOMPARE(grid->hint(), text);
        shown = rendered(grid->viewport()->toolTip());
        break;
      }
    }
    QCOMPARE(shown, text);
  }

  void restoreRequest_data() {
    QTest::addColumn<bool>("maximised");
    QTest::newRow("normal") << false;
    QTest::newRow("maximised") << true;
  }

  // A restore request brings a minimised reader back as it was.
  void restoreRequest() {
    QFETCH(bool, maximised);
    Reader r;
    auto& w = r.start();
    if (maximised) {
      w.showMaximized();
    } else {
      w.showNormal();
    }
    w.showMinimized();
    QVERIFY(w.isMinimized());
    w.restoreRequest();
    QVERIFY(!w.isMinimized());
    QCOMPARE(w.isMaximized(), maximised);
  }

  // The notes window stands on its own while the reader runs, and goes
  // when the reader ends.
  void notesWindowGoesWithTheReader() {
    Reader r;
    auto& w = r.start();
    PaperSpec spec = textPaper();
    spec.notes = {GroupEntry::file("notes.txt", "the notes")};
    w.openPaper(r.write("p.qzt", spec), 0);
    w.show();
    w.handIn();
    QTest::mouseClick(r.button("Button6"), Qt::LeftButton);
    QPointer<NotesWindow> notes = NotesWindow::instance();
    QVERIFY(notes);
    r.messages.answers = {true};
    QVERIFY(w.close());
    QTRY_VERIFY(notes.isNull());
  }

  void openDialog_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("opens");
    QTest::newRow("qzt") << "p.qzt" << true;
    QTest::newRow("QZT in capitals") << "P.QZT" << false;
    QTest::newRow("cancelled") << "" << false;
  }

  void openDialog() {
    QFETCH(QString, name);
    QFETCH(bool, opens);
    Reader r;
    auto& w = r.start();
    QString title, filter;
    const QString path =
        name.isEmpty() ? QString() : QString::fromStdString(r.write(name.toStdString(), textPaper("Chosen")).string());
    qzt::ui::setOpenFileHandler([&](const QString& t, const QString& f) {
      title = t;
      filter = f;
      return path;
    });
    QTest::mouseClick(r.button("Button8"), Qt::LeftButton);
    qzt::ui::setOpenFileHandler({});
    QCOMPARE(title, QStringLiteral("生成卷舟格式试卷"));
    QCOMPARE(filter, QStringLiteral("卷舟格式试卷(*.qzt)"));
    QCOMPARE(w.windowTitle() == QStringLiteral("Chosen"), opens);
    QVERIFY(r.messages.shown.empty());
  }

  void commandLinePaper() {
    Reader r;
    const auto paper = r.write("named paper.qzt", textPaper("From the command line"));
    auto& w = r.start(paper);
    QCOMPARE(w.windowTitle(), QStringLiteral("From the command line"));

    Reader missing;
    auto& plain = missing.start(missing.root() / "nothing.qzt");
    QCOMPARE(plain.windowTitle(), QStringLiteral("卷舟试卷阅读器1.0"));
    QVERIFY(missing.messages.shown.empty());
  }

  // A program file that cannot be read: the general error report, and a
  // window without a paper, neither the command-line one nor the catalogue.
  void unreadableProgramFile() {
    Reader r;
    const auto paper = r.write("named.qzt", textPaper("From the command line"));
    r.write("program/unit 1.qzt", textPaper("Unit one"));
    std::ofstream(r.programFolder() / "ksml.txt") << "unit 1\r\n";
    qzt::ui::StartOptions options;
    options.programFile = r.program();
    options.workFolder = r.workFolder();
    options.commandLinePaper = paper;
    options.programFileError = qzt::Error::io("cannot read " + r.program().string());
    r.window = std::make_unique<qzt::ui::MainWindow>(options);
    r.window->startUp();
    QCOMPARE(r.window->windowTitle(), QStringLiteral("卷舟试卷阅读器1.0"));
    QCOMPARE(r.messages.texts(),
             QStringList{QString::fromStdString(qzt::fileErrorReport(r.program(), qzt::FileFault::None))});
    QCOMPARE(r.messages.shown[0].caption, r.window->windowTitle());
    QCOMPARE(r.control<QListWidget>("ListBox1")->count(), 0);
    QVERIFY(!r.window->session().hasPaper());
  }

  void catalogue() {
    Reader r;
    r.write("program/unit 1.qzt", textPaper("Unit one"));
    r.write("program/sub/unit 2.qzt", textPaper("Unit two"));
    std::ofstream(r.programFolder() / "ksml.txt", std::ios::binary)
        << "unit 1\r\nmissing\r\nsub\\unit 2.qzt\r\nunit 1.qzt\n";
    auto& w = r.start();
    auto* list = r.control<QListWidget>("ListBox1");
    QStringList names;
    for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
    QCOMPARE(names, (QStringList{"unit 1", "unit 2", "unit 1"}));
    QVERIFY(!list->isHidden());
    QVERIFY(!r.button("Button11")->isHidden());
    QVERIFY(!r.control("Splitter1")->isHidden());

    QTest::mouseClick(r.button("Button11"), Qt::LeftButton);
    QVERIFY(list->isHidden());
    list->setFixedWidth(40);
    QTest::mouseClick(r.button("Button11"), Qt::LeftButton);
    QVERIFY(!list->isHidden());
    QCOMPARE(list->width(), 150);

    w.show();
    const QPoint second = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
    QCOMPARE(w.windowTitle(), QStringLiteral("Unit two"));
    QVERIFY(list->isHidden());  // loading a paper hides the catalogue
  }

  void catalogueDoubleClickBelowTheEntries_data() {
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("title");
    QTest::newRow("an entry selected") << 1 << "Unit two";
    QTest::newRow("none selected") << -1 << "卷舟试卷阅读器1.0";
  }

  // A double click anywhere in the list opens the selected entry.
  void catalogueDoubleClickBelowTheEntries() {
    QFETCH(int, selected);
    QFETCH(QString, title);
    Reader r;
    r.write("program/unit 1.qzt", textPaper("Unit one"));
    r.write("program/unit 2.qzt", textPaper("Unit two"));
    std::ofstream(r.programFolder() / "ksml.txt", std::ios::binary) << "unit 1\r\nunit 2\r\n";
    auto& w = r.start();
    w.show();
    auto* list = r.control<QListWidget>("ListBox1");
    list->setCurrentRow(selected);
    const QPoint below(10, list->viewport()->height() - 5);
    QVERIFY(!list->itemAt(below));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, below);
    QCOMPARE(w.windowTitle(), title);
  }

  void catalogueWithoutPapers() {
    Reader r;
    std::ofstream(r.programFolder() / "ksml.txt") << "gone\r\n";
    r.start();
    QVERIFY(r.control("ListBox1")->isHidden());
    QVERIFY(r.button("Button11")->isHidden());
    QVERIFY(!r.control("Splitter1")->isHidden());
  }

  void attachedPaper() {
    Reader r;
    PaperSpec spec = textPaper("Attached");
    spec.hostPrefix = std::string(4096, 'P');
    const auto program = r.write("program/qzt-reader", spec);
    std::ofstream(r.programFolder() / "ksml.txt") << "unit 1\r\n";
    r.write("program/unit 1.qzt", textPaper("Unit one"));
    qzt::ui::StartOptions options;
    options.programFile = program;
    options.workFolder = r.workFolder();
    options.attachedOffset = 4096;
    r.window = std::make_unique<qzt::ui::MainWindow>(options);
    r.window->startUp();
    QCOMPARE(r.window->windowTitle(), QStringLiteral("Attached"));
    for (const char* hidden : {"Button8", "Button11", "ListBox1", "Splitter1"})
      QVERIFY2(r.control(hidden)->isHidden(), hidden);

    // Nor does its shortcut open anything.
    r.window->show();
    r.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(r.window.get()));
    bool asked = false;
    qzt::ui::setOpenFileHandler([&](const QString&, const QString&) {
      asked = true;
      return QString();
    });
    QTest::keyClick(r.window.get(), Qt::Key_O, Qt::ControlModifier);
    qzt::ui::setOpenFileHandler({});
    QVERIFY(!asked);
  }

  // Each shortcut does what a click on its button does, and only while the
  // button could be clicked; the tooltips name them.
  void shortcuts() {
    Reader r;
    auto& w = r.start();
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto press = [&](Qt::Key key) { QTest::keyClick(&w, key, Qt::ControlModifier); };
    press(Qt::Key_Return);  // no paper: the hand-in button is disabled
    QVERIFY(r.messages.shown.empty());

    QStringList asked;
    AnswerFileUi ui;
    ui.getSaveFileName = [&](QWidget*, const QString& title, const QString&, const QString&) {
      asked << title;
      return QString();
    };
    ui.getOpenFileName = ui.getSaveFileName;
    setAnswerFileUiForTesting(ui);
    qzt::ui::setOpenFileHandler([&](const QString& title, const QString&) {
      asked << title;
      return QString();
    });
    w.openPaper(r.write("p.qzt", textPaper()), 0);
    press(Qt::Key_S);
    press(Qt::Key_I);
    press(Qt::Key_O);
    setAnswerFileUiForTesting({});
    qzt::ui::setOpenFileHandler({});
    QCOMPARE(asked, (QStringList{"保存试卷答案", "导入试卷答案", "生成卷舟格式试卷"}));

    r.messages.answers = {false};
    press(Qt::Key_Enter);
    QCOMPARE(r.messages.shown.back().text, QStringLiteral("时间还没到，是否真的要试卷？"));
    QVERIFY(w.session().answering());
    r.messages.answers = {true};
    press(Qt::Key_Return);
    QVERIFY(w.session().graded());

    const std::pair<const char*, const char*> tips[] = {{"Button8", "打开试卷（Ctrl+O）"},
                                                         {"Button4", "保存答案（Ctrl+S）"},
                                                         {"Button5", "导入答案（Ctrl+I）"},
                                                         {"Button7", "批改试卷（Ctrl+Enter）"}};
    for (const auto& [button, tip] : tips) QCOMPARE(r.button(button)->toolTip(), QString::fromUtf8(tip));
  }

  // At 300% the page keeps half the paper area and the grid scrolls
  // sideways; dragging the bar between them gives the grid another share,
  // kept as the window grows. The clock line and the score line zoom, the
  // score line on a line of its own when it no longer fits beside the clock.
  void zoomKeepsThePageReadable() {
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    Reader r;
    PaperSpec spec = textPaper();
    spec.questions = {question("1", 1, 8, "A"), question("2", 3, 0, "x")};
    auto& w = r.start(r.write("wide.qzt", spec));
    w.resize(1000, 700);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QWidget* paper = r.control("Panel3");
    const int fullAt100 = r.grid()->fullWidth();
    QCOMPARE(r.grid()->width(), fullAt100);
    QCOMPARE(r.control("Label7")->geometry(), QRect(408, 2, 289, 22));

    w.findChild<qzt::ui::ReadingZoom*>()->set(3.0);
    QTRY_COMPARE(r.grid()->width(), qRound(paper->width() * 0.5));
    QVERIFY(r.grid()->fullWidth() > r.grid()->width());
    QCOMPARE(r.grid()->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    QCOMPARE(r.control("Label1")->font().pixelSize(), 39);
    QCOMPARE(r.control("Label7")->font().pixelSize(), 39);
    QCOMPARE(r.control("Label7")->geometry().topLeft(), QPoint(21, 75));  // below the clock
    QCOMPARE(r.control("Panel1")->height(), 57 - 25 + 150);

    QWidget* bar = r.control("gridSplitter");
    const QPoint start = bar->mapToGlobal(QPoint(1, 100));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 100), QPointF(start), Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(bar, &press);
    const QPoint moved = start - QPoint(100, 0);
    QMouseEvent drag(QEvent::MouseMove, QPointF(-99, 100), QPointF(moved), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(bar, &drag);
    QCOMPARE(r.grid()->width(), qRound(paper->width() * 0.5) + 100);
    const double share = double(r.grid()->width()) / paper->width();
    w.resize(1400, 700);
    QTRY_COMPARE(r.grid()->width(), std::min(r.grid()->fullWidth(), qRound(paper->width() * share)));

    w.findChild<qzt::ui::ReadingZoom*>()->set(1.0);
    QTRY_COMPARE(r.grid()->width(), fullAt100);
    QCOMPARE(r.control("Label7")->geometry(), QRect(408, 2, 289, 22));
    QCOMPARE(r.control("Panel1")->height(), 57);
  }

  // What a screen reader finds: one remaining time instead of eight
  // labels, named entries and texts, and Tab from the buttons to the grid
  // and on to the row edits.
  void readByAScreenReader() {
    Reader r;
    auto& w = r.start();
    PaperSpec spec = textPaper();
    spec.questions.push_back(question("5", 3, 0, "x"));
    w.openPaper(r.write("p.qzt", spec), 0);
    w.secondTick();
    auto spoken = [](QObject* object) { return QAccessible::queryAccessibleInterface(object); };
    QAccessibleInterface* clock = spoken(r.control("clockLine"));
    QCOMPARE(clock->role(), QAccessible::StaticText);
    QCOMPARE(clock->text(QAccessible::Name), QStringLiteral("剩余答题时间 89 分 59 秒"));
    QCOMPARE(clock->text(QAccessible::Description), QStringLiteral("答题时间 90 分钟"));
    QCOMPARE(clock->childCount(), 0);
    QAccessibleInterface* panel = spoken(r.control("Panel4"));
    for (int i = 0; i < panel->childCount(); ++i) {
      QObject* child = panel->child(i)->object();
      QVERIFY2(!qobject_cast<QLabel*>(child) || child == r.control("Label7"),
               qPrintable(child->objectName()));
    }

    QCOMPARE(spoken(r.control("Edit2"))->text(QAccessible::Name), QStringLiteral("输入密码"));
    QCOMPARE(spoken(r.control("pyedit"))->text(QAccessible::Name), QStringLiteral("评语"));
    QAccessibleInterface* score = spoken(r.control("Label7"));
    QCOMPARE(score->text(QAccessible::Name), QStringLiteral("总分：得分："));
    QCOMPARE(score->text(QAccessible::Description), QStringLiteral("成绩"));
    QCOMPARE(spoken(r.grid())->text(QAccessible::Name), QStringLiteral("答案区"));
    QCOMPARE(spoken(r.grid()->rowEdits()[1])->text(QAccessible::Name), QStringLiteral("第 5 题 文字答案"));

    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    r.button("Button5")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), r.grid());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), r.grid()->rowEdits()[0]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), r.grid()->rowEdits()[1]);
  }

  void exitQuestion() {
    Reader r;
    auto& w = r.start();
    w.show();
    std::ofstream(r.workFolder() / "scratch") << "x";
    r.messages.answers = {false};
    QVERIFY(!w.close());
    QCOMPARE(r.messages.shown.back().caption, QStringLiteral("提示1.0"));
    QCOMPARE(r.messages.shown.back().text, QStringLiteral("是否真的要退出？"));
    QVERIFY(w.isVisible());
    QVERIFY(std::filesystem::exists(r.workFolder() / "scratch"));
    r.messages.answers = {true};
    QVERIFY(w.close());
    QVERIFY(!std::filesystem::exists(r.workFolder()));
  }
};

int main(int argc, char** argv) {
  qzt::ui::registerPageScheme();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  MainWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
