// The main window from start-up to a paper on screen: layout and start
// state, refused papers and their deferred messages, loading pages of each
// kind, a failed load, the catalogue and the exit question.
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QWebEngineView>

#include "side/about_window.h"
#include "window/answer_file_actions.h"
#include "grid/answer_grid_model.h"
#include "page/confined_page.h"
#include "desktop/link_opener.h"
#include "page/page_view.h"
#include "paper/format.h"
#include "window/reader_fixture.h"

using namespace fixture;

namespace {

std::string damaged(const PaperSpec& spec, int offset, char value) {
  std::string bytes = qzt::writer::buildPaper(spec).bytes;
  bytes[static_cast<std::size_t>(offset)] = value;
  return bytes;
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
                                                 w.pageView()->webView()->url());
    QVERIFY(shown && shown->endsWith(QStringLiteral("/index.html")));
    QCOMPARE(r.text("Label11"), QStringLiteral("89"));
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

    list->setCurrentRow(1);
    emit list->itemDoubleClicked(list->item(1));
    QCOMPARE(w.windowTitle(), QStringLiteral("Unit two"));
    QVERIFY(list->isHidden());  // loading a paper hides the catalogue
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
