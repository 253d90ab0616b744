// The exam in the window: entry through the grid, the clock driven tick by
// tick, hand-in by the button and by the clock, the password panel for
// opening and grading, and what grading shows.
#include <QAccessible>
#include <QLineEdit>
#include <QTextBrowser>

#include <sstream>

#include "window/answer_file_actions.h"
#include "grid/answer_grid_model.h"
#include "cli.h"
#include "side/comments_panel.h"
#include "page/confined_page.h"
#include "side/password_panel.h"
#include "window/reader_fixture.h"
#include "side/comments.h"
#include "paper/format.h"
#include "util/file_report.h"

using namespace fixture;

namespace {

void click(Reader& r, int row, int column) {
  QTest::mouseClick(r.grid()->viewport(), Qt::LeftButton, {}, r.grid()->cellCentre(row, column));
}

QString cell(Reader& r, int row, int column) {
  return r.grid()->answerModel()->index(row - 1, column).data().toString();
}

void typePassword(Reader& r, const QString& text) {
  auto* edit = r.control<QLineEdit>("Edit2");
  edit->setText(text);
  QTest::mouseClick(r.button("Button1"), Qt::LeftButton);
}

// The answers of the worked example: 5 of 12 marks.
void answerExample(Reader& r) {
  r.window->show();
  click(r, 1, 1);
  click(r, 2, 1);
  click(r, 2, 3);
  QTest::keyClicks(r.grid()->rowEdits()[0], QStringLiteral("abc"));
}

}  // namespace

class MainWindowExamTest : public QObject {
  Q_OBJECT

 private slots:
  void clockCountsDown() {
    Reader r;
    auto& w = r.start();
    w.openPaper(r.write("p.qzt", textPaper()), 0);
    w.secondTick();
    QCOMPARE(r.text("Label11"), QStringLiteral("89"));
    QCOMPARE(r.text("Label5"), QStringLiteral("59"));
    QVERIFY(w.secondTimerActive());
    w.secondTick();
    QCOMPARE(r.text("Label5"), QStringLiteral("58"));
    w.minuteTick();
    QCOMPARE(r.text("Label11"), QStringLiteral("88"));
    QVERIFY(w.minuteTimerActive());
  }

  void handInByButton() {
    Reader r;
    auto& w = r.start();
    PaperSpec spec = textPaper();
    spec.notes = {GroupEntry::file("notes.txt", "n")};
    w.openPaper(r.write("p.qzt", spec), 0);
    answerExample(r);
    QCOMPARE(cell(r, 2, 1), QStringLiteral(" A"));

    r.messages.answers = {false};
    QTest::mouseClick(r.button("Button7"), Qt::LeftButton);
    QCOMPARE(r.messages.shown.back().text, QStringLiteral("时间还没到，是否真的要试卷？"));
    QCOMPARE(r.messages.shown.back().caption, QStringLiteral("提示1.0"));
    QVERIFY(w.session().answering());
    QVERIFY(w.minuteTimerActive() && w.secondTimerActive());
    QVERIFY(!w.session().graded());

    r.messages.answers = {true};
    QTest::mouseClick(r.button("Button7"), Qt::LeftButton);
    QVERIFY(w.session().graded());
    QVERIFY(!w.minuteTimerActive() && !w.secondTimerActive());
    QCOMPARE(r.text("Label7"), QStringLiteral("总分：12 得分：5 正确率：41.67"));
    QVERIFY(!r.button("Button7")->isEnabled());
    QVERIFY(r.button("Button6")->isEnabled());
    const int columns = r.grid()->answerModel()->columnCount();
    QCOMPARE(columns, 5 + 2);
    const QStringList results{cell(r, 1, 5), cell(r, 2, 5), cell(r, 3, 5), cell(r, 4, 5)};
    QCOMPARE(results, (QStringList{"√", "√", "Χ", "Χ"}));
    QCOMPARE(cell(r, 3, 6), QStringLiteral("ABC"));

    click(r, 4, 2);  // entry has ended
    QCOMPARE(cell(r, 4, 2), QString());
    click(r, 3, 6);
    QCOMPARE(r.grid()->hint(), QStringLiteral("ABC"));
  }

  void handInByClock_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("minutesLeft");
    QTest::addColumn<bool>("asks");
    QTest::newRow("one minute") << 1 << "0" << false;
    QTest::newRow("no minutes") << 0 << "-1" << true;
  }

  // The minute timer stops below zero; the next second tick with the
  // seconds at 0 hands in, asking only when the minutes do not read 0.
  void handInByClock() {
    QFETCH(int, limit);
    QFETCH(QString, minutesLeft);
    QFETCH(bool, asks);
    Reader r;
    auto& w = r.start();
    PaperSpec spec = textPaper();
    spec.timeLimit = limit;
    w.openPaper(r.write("p.qzt", spec), 0);
    QCOMPARE(r.text("Label11"), minutesLeft);
    w.minuteTick();
    QVERIFY(!w.minuteTimerActive());
    QCOMPARE(r.text("Label11"), minutesLeft);
    QVERIFY(!w.session().graded());
    w.secondTick();
    QVERIFY(w.session().graded());
    QCOMPARE(r.messages.shown.size(), asks ? std::size_t{1} : std::size_t{0});
    QVERIFY(!w.secondTimerActive());
    QVERIFY(r.text("Label7").startsWith(QStringLiteral("总分：12 得分：0")));
  }

  // At 5 and at 1 minute left the remaining-time labels turn yellow and an
  // alert beside the buttons says so; handing in ends it. (The alert
  // reaching a screen reader is the real-window test's.)
  void timeWarnings() {
    Reader r;
    auto& w = r.start();
    PaperSpec spec = textPaper();
    spec.timeLimit = 7;
    w.openPaper(r.write("p.qzt", spec), 0);
    QWidget* warning = r.control("timeWarning");
    QAccessibleInterface* alert = QAccessible::queryAccessibleInterface(warning);
    QCOMPARE(alert->role(), QAccessible::AlertMessage);
    auto highlighted = [&](const char* label) {
      return r.control(label)->styleSheet().contains(QStringLiteral("rgb(255,255,0)"));
    };
    w.minuteTick();
    QVERIFY(warning->isHidden());
    QVERIFY(!highlighted("Label11"));
    w.minuteTick();  // 4 on the label: five minutes left
    QVERIFY(!warning->isHidden());
    QCOMPARE(alert->text(QAccessible::Name), QStringLiteral("剩余答题时间不超过 5 分钟"));
    for (const char* label : {"Label3", "Label11", "Label4", "Label5", "Label6"}) QVERIFY2(highlighted(label), label);
    QVERIFY(!highlighted("Label10"));
    for (int i = 0; i < 4; ++i) w.minuteTick();  // 0 on the label: one minute left
    QCOMPARE(alert->text(QAccessible::Name), QStringLiteral("剩余答题时间不超过 1 分钟"));
    w.handIn();  // no question with 0 on the label
    QVERIFY(w.session().graded());
    QVERIFY(warning->isHidden());
    QVERIFY(!highlighted("Label11"));
  }

  void gradePassword() {
    Reader r;
    auto& w = r.start();
    PaperSpec spec = textPaper();
    spec.gradePassword = "Secret";
    spec.support = {GroupEntry::file("support.txt", "s"), GroupEntry::folder("support.txt.files"),
                    GroupEntry::file("mmts.txt", "ask the teacher")};
    w.openPaper(r.write("p.qzt", spec), 0);
    r.messages.answers = {true};
    w.handIn();
    QVERIFY(!w.session().graded());
    QVERIFY(!w.session().answering());
    QVERIFY(!r.control("Panel2")->isHidden());
    QVERIFY(r.control<QTextBrowser>("RichEdit3")->toPlainText().contains("ask the teacher"));
    QVERIFY(!w.secondTimerActive() && !w.minuteTimerActive());

    typePassword(r, QStringLiteral("secret"));  // letter case counts
    QVERIFY(w.secondTimerActive());
    w.secondTick();
    QVERIFY(r.control("Panel2")->isHidden());
    QVERIFY(!w.session().graded());
    QVERIFY(w.deferredMessagePending());
    w.deferredMessageTick();
    QCOMPARE(r.messages.shown.back().text, QStringLiteral("密码错误2"));
    QVERIFY(r.button("Button7")->isEnabled());
    QVERIFY(!w.secondTimerActive());

    w.handIn();  // the time question (Yes) and the password panel again
    QVERIFY(!r.control("Panel2")->isHidden());
    typePassword(r, QStringLiteral("Secret"));
    w.secondTick();
    QVERIFY(w.session().graded());
    QVERIFY(!r.button("Button7")->isEnabled());
  }

  void openPassword() {
    Reader r;
    auto& w = r.start();
    w.openPaper(r.write("a.qzt", textPaper("First")), 0);
    PaperSpec locked = textPaper("Locked");
    locked.openPassword = "open";
    const auto path = r.write("b.qzt", locked);

    w.openPaper(path, 0);
    QVERIFY(!r.control("Panel2")->isHidden());
    QCOMPARE(w.windowTitle(), QStringLiteral("First"));
    w.secondTick();  // the first paper's clock goes on while the panel waits
    QCOMPARE(r.text("Label5"), QStringLiteral("59"));

    typePassword(r, QStringLiteral("wrong"));
    w.secondTick();  // this tick checks and does not count
    QCOMPARE(r.text("Label5"), QStringLiteral("59"));
    QCOMPARE(w.windowTitle(), QStringLiteral("First"));
    QVERIFY(w.secondTimerActive());  // the countdown resumes
    w.deferredMessageTick();
    QCOMPARE(r.messages.shown.back().text, QStringLiteral("密码错误1"));

    w.openPaper(path, 0);
    QTest::mouseClick(r.button("Button2"), Qt::LeftButton);
    QVERIFY(r.control("Panel2")->isHidden());
    QCOMPARE(w.windowTitle(), QStringLiteral("First"));

    w.openPaper(path, 0);
    typePassword(r, QStringLiteral("open"));
    w.secondTick();
    QCOMPARE(w.windowTitle(), QStringLiteral("Locked"));
    QCOMPARE(r.text("Label11"), QStringLiteral("89"));
    QVERIFY(w.session().answering());
  }

  void rightPasswordThenFailedLoad_data() {
    QTest::addColumn<QString>("stage");
    QTest::newRow("file gone") << "gd1";
    QTest::newRow("question table past the end") << "gd2";
  }

  // The right opening password, then a load that fails before anything
  // changed: the paper on screen counts on, and its clock still hands it in.
  void rightPasswordThenFailedLoad() {
    QFETCH(QString, stage);
    Reader r;
    auto& w = r.start();
    PaperSpec first = textPaper("First");
    first.timeLimit = 1;
    w.openPaper(r.write("first.qzt", first), 0);
    PaperSpec locked = textPaper("Locked");
    locked.openPassword = "pw";
    auto built = qzt::writer::buildPaper(locked);
    if (stage == QStringLiteral("gd2")) qzt::writer::patchHeader(built, qzt::format::kQuestionTablePos, 1 << 30);
    const auto path = r.writeBytes("locked.qzt", built.bytes);
    w.openPaper(path, 0);
    QVERIFY(!r.control("Panel2")->isHidden());
    if (stage == QStringLiteral("gd1")) std::filesystem::remove(path);

    typePassword(r, QStringLiteral("pw"));
    w.secondTick();
    QCOMPARE(r.messages.texts(), QStringList{stage});
    QCOMPARE(w.windowTitle(), QStringLiteral("First"));
    QVERIFY(w.secondTimerActive());
    QCOMPARE(w.session().mode(), qzt::SecondTimerMode::Countdown);
    w.minuteTick();  // the last minute runs out
    w.secondTick();
    QVERIFY(w.session().graded());
    QVERIFY(r.text("Label7").startsWith(QStringLiteral("总分：12 得分：0")));
  }

  void rowEditsAfterHandIn_data() {
    QTest::addColumn<bool>("gradePassword");
    QTest::newRow("graded") << false;
    QTest::newRow("waiting for the grading password") << true;
  }

  // Once handed in, a row edit takes no typing: the answer graded is the
  // answer shown and saved. An import still fills it.
  void rowEditsAfterHandIn() {
    QFETCH(bool, gradePassword);
    Reader r;
    auto& w = r.start();
    PaperSpec spec = textPaper();
    if (gradePassword) spec.gradePassword = "pw";
    const auto paper = r.write("p.qzt", spec);
    w.openPaper(paper, 0);
    w.show();
    QLineEdit* edit = r.grid()->rowEdits()[0];
    QTest::keyClicks(edit, QStringLiteral("12"));
    w.handIn();
    QTest::keyClicks(edit, QStringLiteral("99"));
    QCOMPARE(edit->text(), QStringLiteral("12"));
    QCOMPARE(w.session().sheet().textAnswer(0), std::string("12"));

    const QString file = QString::fromStdString((r.root() / "answers.da").string());
    std::ofstream(file.toStdString(), std::ios::binary) << "KEY-1\r\n\r\n\r\nabc\r\n\r\n";
    AnswerFileUi ui;
    ui.getOpenFileName = [&](QWidget*, const QString&, const QString&, const QString&) { return file; };
    setAnswerFileUiForTesting(ui);
    QTest::mouseClick(r.button("Button5"), Qt::LeftButton);
    setAnswerFileUiForTesting({});
    QCOMPARE(edit->text(), QStringLiteral("abc"));
    QCOMPARE(w.session().sheet().textAnswer(0), std::string("abc"));
  }

  void commentAfterGrading() {
    Reader r;
    auto& w = r.start();
    PaperSpec spec = textPaper();
    spec.comments = std::string("before\r\n") + qzt::kCommentHeader + "0-4\r\nTry again\r\n" +
                    qzt::kCommentHeader + "5-12\r\nWell done\r\n";
    w.openPaper(r.write("p.qzt", spec), 0);
    answerExample(r);
    w.handIn();
    QVERIFY(w.session().graded());
    QVERIFY(!r.control("Panel5")->isHidden());
    const QString shown = r.control<QTextBrowser>("pyedit")->toPlainText();
    QVERIFY2(shown.contains("Well done") && !shown.contains("Try again"), qPrintable(shown));
    QVERIFY(!std::filesystem::exists(r.workFolder() / "pyfile"));
  }

  // Comments that cannot be unpacked end grading with the general error
  // report: no comment, and the notes button stays off.
  void brokenCommentsEndGrading() {
    Reader r;
    auto& w = r.start();
    PaperSpec spec = textPaper();
    spec.comments = std::string(qzt::kCommentHeader) + "0-12\r\nWell done\r\n";
    qzt::writer::BuiltPaper built = qzt::writer::buildPaper(spec);
    // The unpacked length stays; the stream after it is garbage.
    const auto stream = static_cast<std::size_t>(built.layout.commentsPos) + 4;
    built.bytes.replace(stream, static_cast<std::size_t>(built.layout.commentsLen) - 4,
                        static_cast<std::size_t>(built.layout.commentsLen) - 4, '\xAA');
    const auto paper = r.writeBytes("p.qzt", built.bytes);
    w.openPaper(paper, 0);
    answerExample(r);
    w.handIn();
    QVERIFY(w.session().graded());
    QCOMPARE(r.text("Label7"), QStringLiteral("总分：12 得分：5 正确率：41.67"));
    QCOMPARE(r.messages.shown.back().caption, w.windowTitle());
    QCOMPARE(r.messages.shown.back().text,
             QString::fromStdString(qzt::fileErrorReport(paper, qzt::FileFault::None)));
    QVERIFY(r.control("Panel5")->isHidden());
    QVERIFY(!r.button("Button6")->isEnabled());
  }

  // Answers saved by Button4 and imported by Button5 into the same paper,
  // loaded afresh, show again in the cells and the row edit.
  void savedAnswersComeBack() {
    Reader r;
    auto& w = r.start();
    const auto paper = r.write("p.qzt", textPaper());
    const QString file = QString::fromStdString((r.root() / "answers.da").string());
    QStringList notices;
    AnswerFileUi ui;
    ui.getSaveFileName = [&](QWidget*, const QString&, const QString&, const QString&) { return file; };
    ui.getOpenFileName = ui.getSaveFileName;
    ui.information = [&](QWidget*, const QString&, const QString& text) { notices << text; };
    ui.failure = ui.information;
    setAnswerFileUiForTesting(ui);
    w.openPaper(paper, 0);
    answerExample(r);
    QTest::mouseClick(r.button("Button4"), Qt::LeftButton);
    w.openPaper(paper, 0);
    QCOMPARE(cell(r, 1, 1), QString());
    QTest::mouseClick(r.button("Button5"), Qt::LeftButton);
    setAnswerFileUiForTesting({});
    QCOMPARE(cell(r, 1, 1), QStringLiteral(" A"));
    QCOMPARE(cell(r, 2, 3), QStringLiteral(" C"));
    QCOMPARE(r.grid()->rowEdits()[0]->text(), QStringLiteral("abc"));
    r.messages.answers = {true};
    w.handIn();
    QCOMPARE(r.text("Label7"), QStringLiteral("总分：12 得分：5 正确率：41.67"));
    QVERIFY2(notices.isEmpty(), qPrintable(notices.join(QLatin1Char('|'))));

    // The command grades the window's own answer file to the same line.
    std::ostringstream out, err;
    QCOMPARE(qzt::cli::run({"grade", paper.string(), file.toStdString()}, out, err), 0);
    const std::string report = out.str().substr(0, out.str().find('\n'));
    QCOMPARE(QString::fromStdString(report), r.text("Label7"));
  }

  // Loading another paper mid-exam replaces the grid and restarts the clock.
  void secondPaperReplacesTheFirst() {
    Reader r;
    auto& w = r.start();
    w.openPaper(r.write("a.qzt", textPaper("First")), 0);
    answerExample(r);
    w.secondTick();
    PaperSpec second = textPaper("Second");
    second.timeLimit = 30;
    second.questions = {question("1", 3, 0, "x"), question("2", 3, 0, "y")};
    w.openPaper(r.write("b.qzt", second), 0);
    QCOMPARE(r.text("Label11"), QStringLiteral("29"));
    QCOMPARE(r.text("Label5"), QStringLiteral("0"));
    QCOMPARE(r.grid()->rowEdits().size(), 2);
    for (QLineEdit* edit : r.grid()->rowEdits()) QVERIFY(edit->text().isEmpty());
    QVERIFY(w.minuteTimerActive() && w.secondTimerActive());
  }
};

int main(int argc, char** argv) {
  qzt::ui::registerPageScheme();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  MainWindowExamTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_window_exam_test.moc"
