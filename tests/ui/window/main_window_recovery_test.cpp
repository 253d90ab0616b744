// Recovery copies in the window: kept while the exam runs, offered by the
// next window that opens the same paper, dropped by grading, by a confirmed
// exit and by declining; kept by an end through a signal.
#include <QLineEdit>
#include <csignal>

#include "desktop/signal_exit.h"

#include "window/answer_file_actions.h"
#include "grid/answer_grid_model.h"
#include "window/reader_fixture.h"
#include "side/recovery.h"
#include "util/file_bytes.h"

using namespace fixture;

namespace {

const QString kOffer = QStringLiteral("上次答题未正常结束，是否恢复答案和剩余时间？");

class Recovering : public Reader {
 public:
  Recovering() {
    dataFolder = root() / "data";
    paper = write("papers/p.qzt", textPaper());
  }

  std::optional<qzt::RecoveryCopy> copy() const {
    auto found = qzt::loadRecovery(dataFolder, fs::weakly_canonical(paper), "KEY-1");
    return found.ok() ? found.value() : std::nullopt;
  }
  bool copyExists() const {
    return fs::exists(qzt::recoveryFilePath(dataFolder, fs::weakly_canonical(paper), "KEY-1"));
  }
  bool offered() const { return texts().contains(kOffer); }
  QStringList texts() const { return messages.texts(); }

  qzt::ui::MainWindow& open() {
    auto& w = start();
    w.show();
    load(w);
    return w;
  }
  // The first copy of an exam is written once the window has drawn it.
  void load(qzt::ui::MainWindow& w) {
    w.openPaper(paper, 0);
    QCoreApplication::sendPostedEvents();
  }
  void click(int row, int column) {
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, grid()->cellCentre(row, column));
  }
  QString cell(int row, int column) const {
    return grid()->answerModel()->index(row - 1, column).data().toString();
  }
  // Answers, then 12 seconds on the clock: 89:48 left, and a copy written
  // at 89:50 by the clock.
  void answer() {
    click(1, 1);
    click(2, 3);
    QTest::keyClicks(grid()->rowEdits()[0], QStringLiteral("abc"));
    for (int t = 0; t < 12; ++t) window->secondTick();
  }
  // The process dies: no close event, no clean-up.
  void crash() { window.reset(); }

  fs::path paper;
};

}  // namespace

class MainWindowRecoveryTest : public QObject {
  Q_OBJECT

 private slots:
  void answersAndTheClockKeepACopy() {
    Recovering r;
    auto& w = r.start();
    w.show();
    w.openPaper(r.paper, 0);
    QVERIFY2(!r.copyExists(), "the frame that shows the exam comes first");
    QCoreApplication::sendPostedEvents();
    auto copy = r.copy();
    QVERIFY2(copy.has_value(), "a copy from the start of the exam");
    QCOMPARE(copy->minutesLeft, 89);
    QVERIFY(copy->cells.empty());

    r.click(1, 2);
    copy = r.copy();
    QCOMPARE(copy->cells.size(), std::size_t{1});
    QCOMPARE(copy->cells[0].text, qzt::ByteString(" B"));
    QTest::keyClicks(r.grid()->rowEdits()[0], QStringLiteral("ab"));
    QCOMPARE(r.copy()->textAnswers[0], qzt::ByteString("ab"));

    // The clock alone writes a copy every 10 seconds.
    for (int t = 0; t < 9; ++t) w.secondTick();
    QCOMPARE(r.copy()->secondsLeft, 0);
    w.secondTick();
    QCOMPARE(r.copy()->secondsLeft, 50);
    QVERIFY(!r.offered());
  }

  // Imported answers are kept like entered ones, text answers included.
  void importKeepsACopy() {
    Recovering r;
    auto& w = r.open();
    const QString file = QString::fromStdString((r.root() / "answers.da").string());
    AnswerFileUi ui;
    ui.getSaveFileName = [&](QWidget*, const QString&, const QString&, const QString&) {
      return file;
    };
    ui.getOpenFileName = ui.getSaveFileName;
    ui.information = [](QWidget*, const QString&, const QString&) {};
    ui.failure = ui.information;
    setAnswerFileUiForTesting(ui);
    r.answer();
    QTest::mouseClick(r.button("Button4"), Qt::LeftButton);
    r.load(w);
    QVERIFY(r.copy()->cells.empty());
    QTest::mouseClick(r.button("Button5"), Qt::LeftButton);
    setAnswerFileUiForTesting({});
    const auto copy = r.copy();
    QCOMPARE(copy->cells.size(), std::size_t{2});
    QCOMPARE(copy->textAnswers[0], qzt::ByteString("abc"));
  }

  void nextStartOffersTheCopy_data() {
    QTest::addColumn<bool>("restore");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
  }
  void nextStartOffersTheCopy() {
    QFETCH(bool, restore);
    Recovering r;
    r.open();
    r.answer();
    r.crash();

    r.messages.answers = {restore};
    auto& w = r.open();
    QCOMPARE(r.messages.shown.back().caption, QStringLiteral("提示1.0"));
    QCOMPARE(r.messages.shown.back().text, kOffer);
    const QStringList restored = {QStringLiteral(" A"), QStringLiteral(" C"), QStringLiteral("abc"),
                                  QStringLiteral("89"), QStringLiteral("50")};
    const QStringList fresh = {QString(), QString(), QString(), QStringLiteral("89"),
                               QStringLiteral("0")};
    const QStringList shown = {r.cell(1, 1), r.cell(2, 3), r.grid()->rowEdits()[0]->text(),
                               r.text("Label11"), r.text("Label5")};
    QCOMPARE(shown, restore ? restored : fresh);
    QVERIFY(w.session().answering());
    QVERIFY(w.minuteTimerActive() && w.secondTimerActive());
    // The copy is now the running exam's: declined answers are gone.
    QCOMPARE(r.copy()->cells.size(), restore ? std::size_t{2} : std::size_t{0});

    // The restored exam goes on from there.
    w.secondTick();
    QCOMPARE(r.text("Label5"), restore ? QStringLiteral("49") : QStringLiteral("59"));
  }

  void gradingDropsTheCopy() {
    Recovering r;
    auto& w = r.open();
    r.answer();
    QVERIFY(r.copyExists());
    r.messages.answers = {true};  // hand in before the time
    QTest::mouseClick(r.button("Button7"), Qt::LeftButton);
    QVERIFY(w.session().graded());
    QVERIFY(!r.copyExists());
    w.secondTick();
    w.minuteTick();
    QVERIFY(!r.copyExists());
  }

  void exitDropsTheCopyOnlyWhenConfirmed() {
    Recovering r;
    auto& w = r.open();
    r.answer();
    r.messages.answers = {false};
    QVERIFY(!w.close());
    QVERIFY(r.copyExists());
    r.messages.answers = {true};
    QVERIFY(w.close());
    QVERIFY(!r.copyExists());
    QVERIFY(!fs::exists(r.workFolder()));
  }

  // Loading the same paper again in the same run starts a fresh exam and
  // asks nothing: the copy was this run's own.
  void reloadingInTheSameRunAsksNothing() {
    Recovering r;
    auto& w = r.open();
    r.answer();
    r.load(w);
    QVERIFY(!r.offered());
    QVERIFY(r.copy()->cells.empty());
  }

  // A damaged copy is not offered; the running exam's copy replaces it.
  void damagedCopyIsReplaced() {
    Recovering r;
    r.open();
    r.answer();
    r.crash();
    const fs::path file =
        qzt::recoveryFilePath(r.dataFolder, fs::weakly_canonical(r.paper), "KEY-1");
    std::ofstream(file, std::ios::binary | std::ios::trunc) << "qzt-recovery 1\ncut short";
    r.open();
    QVERIFY(!r.offered());
    QVERIFY(r.copy().has_value());
  }

  // SIGTERM while the question about the crashed exam is open ends the
  // reader and leaves that exam's copy byte for byte, whatever the question
  // returns once the window is gone.
  void signalDuringTheQuestionKeepsTheCopy() {
    Recovering r;
    r.open();
    r.answer();
    r.crash();
    const fs::path file =
        qzt::recoveryFilePath(r.dataFolder, fs::weakly_canonical(r.paper), "KEY-1");
    const auto before = qzt::readFileBytes(file);
    QVERIFY(before.ok());

    qzt::ui::SignalExit signalExit;
    QVERIFY(signalExit.installed());
    auto& w = r.start();
    QObject::connect(&signalExit, &qzt::ui::SignalExit::requested, &w,
                     &qzt::ui::MainWindow::endBySignal);
    w.show();
    bool asked = false;
    bool endedWhileAsked = false;
    qzt::ui::setMessageHandler(
        [&](QWidget*, const QString&, const QString& text, qzt::ui::Buttons) {
          if (text != kOffer) return false;
          asked = true;
          std::raise(SIGTERM);
          // The question stays open while the signal is handled.
          endedWhileAsked = QTest::qWaitFor([&] { return !w.isVisible(); }, 5000);
          return true;
        });
    w.openPaper(r.paper, 0);
    w.secondTick();
    qzt::ui::setMessageHandler({});
    QVERIFY(asked);
    QVERIFY(endedWhileAsked);
    QVERIFY(!fs::exists(r.workFolder()));
    const auto after = qzt::readFileBytes(file);
    QVERIFY(after.ok());
    QVERIFY(after.value() == before.value());
  }

  // Last: the end asks the application to leave its event loops.
  void signalEndKeepsTheCopyAndRemovesTheWorkFolder() {
    Recovering r;
    auto& w = r.open();
    r.answer();
    r.click(4, 2);
    w.endBySignal();
    QVERIFY(!r.texts().contains(QStringLiteral("是否真的要退出？")));
    QVERIFY(!fs::exists(r.workFolder()));
    QVERIFY(!w.isVisible());
    const auto copy = r.copy();
    QVERIFY(copy.has_value());
    QCOMPARE(copy->cells.size(), std::size_t{3});
    QCOMPARE(copy->secondsLeft, 48);
  }
};

QTEST_MAIN(MainWindowRecoveryTest)
#include "main_window_recovery_test.moc"
