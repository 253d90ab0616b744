#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

#include "window/answer_file_actions.h"
#include "gbk_text.h"
#include "paper/opening.h"
#include "side/answer_file.h"
#include "author/paper_writer.h"
#include "sheet/exam_session.h"

namespace {

using qzt::writer::QuestionSpec;

// A paper with every kind of row: single choice, text, heading, multiple
// choice, text.
qzt::writer::PaperSpec paperSpec(const qzt::ByteString& key) {
  qzt::writer::PaperSpec spec;
  spec.title = toGbkString(QStringLiteral("期中试卷"));
  spec.paperKey = key;
  spec.questions = {
      QuestionSpec{"1", 1, 4, "B", 2, 7},
      QuestionSpec{"2", 3, 0, "42", 3, 9},
      QuestionSpec{"H", 100, 0, "Part two", 0, 7},
      QuestionSpec{"3", 2, 4, "A C", 5, 11},
      QuestionSpec{"4", 3, 0, "XYZ", 1, 7},
  };
  return spec;
}

// A session with that paper loaded, as the window holds it.
struct Exam {
  QTemporaryDir dir;
  qzt::ExamSession session;
  explicit Exam(const qzt::ByteString& key = "KEY-1") { load(key); }
  void load(const qzt::ByteString& key) {
    const std::filesystem::path path = dir.filePath(QStringLiteral("paper.qzt")).toStdString();
    QVERIFY(qzt::writer::writePaper(path, paperSpec(key)).ok());
    auto loaded = qzt::readPaper(path, 0);
    QVERIFY(loaded.ok());
    session.begin(loaded->header, loaded->table);
  }
  // Answers entered as the candidate enters them: mouse and typing.
  void answer() {
    session.pressLetter(1, 2);
    session.pressLetter(4, 1);
    session.pressLetter(4, 3);
    session.setTextAnswer(0, "42");
    session.setTextAnswer(1, toGbkString(QStringLiteral("答案")));
  }
  qzt::ByteString exported() const {
    return qzt::exportAnswers(session.header().paperKey(), session.table(), session.sheet());
  }
};

// Records what the commands would show, and answers the dialogs.
struct FakeUi {
  QString saveAs, openAs;  // what the dialogs return
  QStringList calls;       // "title|proposed|filter" per dialog
  QStringList messages;    // "caption|text" per message
  QStringList failures;

  void install() {
    AnswerFileUi ui;
    ui.getSaveFileName = [this](QWidget*, const QString& t, const QString& n, const QString& f) {
      calls << t + u'|' + n + u'|' + f;
      return saveAs;
    };
    ui.getOpenFileName = [this](QWidget*, const QString& t, const QString& n, const QString& f) {
      calls << t + u'|' + n + u'|' + f;
      return openAs;
    };
    ui.information = [this](QWidget*, const QString& c, const QString& t) { messages << c + u'|' + t; };
    ui.failure = [this](QWidget*, const QString& c, const QString& t) { failures << c + u'|' + t; };
    setAnswerFileUiForTesting(ui);
  }
};

QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

const QByteArray kSaved = "KEY-1\r\n B\r\n42\r\n\r\n A C\r\n\xb4\xf0\xb0\xb8\r\n";

}  // namespace

class AnswerFileActionsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ui_ = FakeUi{}; ui_.install(); }
  void cleanup() { setAnswerFileUiForTesting({}); }

  void noPaperLoaded() {
    qzt::ExamSession none;
    saveAnswers(nullptr, none);
    QVERIFY(!importAnswers(nullptr, none));
    QCOMPARE(ui_.messages, (QStringList{QStringLiteral("提示1.0|请先答题再保存答案!"),
                                        QStringLiteral("提示1.0|请先打开试卷再导入答案!")}));
    QVERIFY(ui_.calls.isEmpty());
  }

  void dialogsAndCancel() {
    Exam exam;
    saveAnswers(nullptr, exam.session);  // both dialogs cancelled: empty names
    QVERIFY(!importAnswers(nullptr, exam.session));
    QCOMPARE(ui_.calls, (QStringList{QStringLiteral("保存试卷答案|期中试卷|试卷答案(*.da)"),
                                     QStringLiteral("导入试卷答案|期中试卷|试卷答案(*.da)")}));
    QVERIFY(ui_.messages.isEmpty());
    QVERIFY(ui_.failures.isEmpty());
  }

  void saveThenImportGradesLikeMouseEntry() {
    Exam exam;
    exam.answer();
    ui_.saveAs = exam.dir.filePath(QStringLiteral("mine"));  // typed without extension
    saveAnswers(nullptr, exam.session);
    const QString saved = exam.dir.filePath(QStringLiteral("mine.da"));
    QCOMPARE(readFile(saved), kSaved);
    QVERIFY(!QFile::exists(ui_.saveAs));

    QVERIFY(exam.session.handIn() == qzt::ExamSession::HandIn::Graded);
    const double byMouse = exam.session.report()->score;
    QCOMPARE(byMouse, 2.0 + 3.0 + 5.0);

    Exam again;
    ui_.openAs = saved;
    QVERIFY(importAnswers(nullptr, again.session));
    QVERIFY(ui_.messages.isEmpty());
    QCOMPARE(again.exported(), exam.exported());  // " A" cells come back as " A"
    QCOMPARE(again.session.sheet().textAnswer(1), toGbkString(QStringLiteral("答案")));
    QVERIFY(again.session.handIn() == qzt::ExamSession::HandIn::Graded);
    QCOMPARE(again.session.report()->score, byMouse);
  }

  void savedNameWithExtensionKept() {
    Exam exam;
    ui_.saveAs = exam.dir.filePath(QStringLiteral("answers.txt"));
    saveAnswers(nullptr, exam.session);
    QCOMPARE(readFile(ui_.saveAs), QByteArray("KEY-1\r\n\r\n\r\n\r\n\r\n\r\n"));
  }

  void refusedFiles_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("message");
    const QString doesNotFit = QStringLiteral("提示1.0|该答案跟打开的试卷不符合，不能导入!");
    QTest::newRow("another paper") << QByteArray(kSaved).replace("KEY-1", "KEY-2") << doesNotFit;
    QTest::newRow("key in another case") << QByteArray(kSaved).replace("KEY-1", "key-1") << doesNotFit;
    QTest::newRow("one line too many") << kSaved + "\r\n" << doesNotFit;
    QTest::newRow("one line too few") << kSaved.left(kSaved.lastIndexOf("\xb4")) << doesNotFit;
    QTest::newRow("empty file") << QByteArray() << QStringLiteral("提示1.0|答案文件是空的，不能导入!");
  }

  void refusedFiles() {
    QFETCH(QByteArray, file);
    QFETCH(QString, message);
    Exam exam;
    exam.answer();
    const qzt::ByteString before = exam.exported();
    ui_.openAs = exam.dir.filePath(QStringLiteral("other.da"));
    writeFile(ui_.openAs, file);
    QVERIFY(!importAnswers(nullptr, exam.session));
    QCOMPARE(ui_.messages, QStringList{message});
    QCOMPARE(exam.exported(), before);
  }

  // A file that cannot be read is reported in the window's language, by
  // name and reason, and the answers stay as they were.
  void unreadableFileChangesNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "gone.da" << "不存在";
    QTest::newRow("a folder") << "folder.da" << "无法读取";
    QTest::newRow("too large") << "huge.da" << "太大";
  }

  void unreadableFileChangesNothing() {
    QFETCH(QString, name);
    QFETCH(QString, reason);
    Exam exam;
    exam.answer();
    const qzt::ByteString before = exam.exported();
    QVERIFY(QDir(exam.dir.path()).mkdir(QStringLiteral("folder.da")));
    QFile huge(exam.dir.filePath(QStringLiteral("huge.da")));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qzt::kAnswerFileLimit + 1));  // sparse
    huge.close();
    ui_.openAs = exam.dir.filePath(name);
    QVERIFY(!importAnswers(nullptr, exam.session));
    QCOMPARE(ui_.failures, QStringList{QStringLiteral("提示1.0|文件“%1”%2。").arg(ui_.openAs, reason)});
    QCOMPARE(exam.exported(), before);
  }

  void saveWhereNoFileCanBe() {
    Exam exam;
    ui_.saveAs = exam.dir.filePath(QStringLiteral("no folder/answers.da"));
    saveAnswers(nullptr, exam.session);
    QCOMPARE(ui_.failures,
             QStringList{QStringLiteral("提示1.0|答案没有保存到 %1：无法建立文件（文件夹不存在或没有写入权限）\n"
                                        "原有的文件没有改动。")
                             .arg(ui_.saveAs)});
  }

  // A write that fails part-way (here: past the file-size limit) leaves the
  // earlier answer file whole.
  void failedSaveKeepsTheOldFile() {
    Exam exam;
    exam.answer();
    ui_.saveAs = exam.dir.filePath(QStringLiteral("old.da"));
    const QByteArray old = "KEY-1\r\nold\r\n";
    writeFile(ui_.saveAs, old);

    rlimit saved{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 16;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    saveAnswers(nullptr, exam.session);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(readFile(ui_.saveAs), old);
    QCOMPARE(ui_.failures,
             QStringList{QStringLiteral("提示1.0|答案没有保存到 %1：文件没有写完整（磁盘可能已满）\n"
                                        "原有的文件没有改动。")
                             .arg(ui_.saveAs)});
    QCOMPARE(QDir(exam.dir.path()).entryList(QDir::Files).size(), 2);  // no temporary file left
  }

 private:
  FakeUi ui_;
};

QTEST_MAIN(AnswerFileActionsTest)
#include "answer_file_actions_test.moc"
