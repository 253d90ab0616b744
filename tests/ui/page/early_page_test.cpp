// The page of the paper at start, read on another thread: only a text page
// of a paper that asks nothing, handed over once, to the page it was read
// from, and living in the thread that asked for it.
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QThread>
#include <filesystem>
#include <fstream>

#include "author/paper_writer.h"
#include "page/early_page.h"

namespace fs = std::filesystem;
using qzt::writer::GroupEntry;

class EarlyPageTest : public QObject {
  Q_OBJECT

 private slots:
  void readsOnlyATextPageThatAsksNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QString>("text");  // null: nothing read
    QTest::newRow("plain text") << "page.txt" << QByteArray("line one\r\nline two") << QByteArray()
                                << "line one\nline two";
    QTest::newRow("rtf") << "page.rtf" << QByteArray("{\\rtf1 rich}") << QByteArray() << "rich";
    QTest::newRow("web page") << "page.htm" << QByteArray("<p>web</p>") << QByteArray() << QString();
    QTest::newRow("opening password") << "page.txt" << QByteArray("secret") << QByteArray("pw")
                                      << QString();
  }

  void readsOnlyATextPageThatAsksNothing() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, password);
    QFETCH(QString, text);
    QTemporaryDir dir;
    const fs::path root(dir.path().toStdString());
    qzt::writer::PaperSpec spec;
    spec.title = "Early";
    spec.openPassword = password.toStdString();
    spec.page = {GroupEntry::file(name.toStdString(), bytes.toStdString())};
    spec.questions = {{"1", 1, 4, "A", 1, 1}};
    QVERIFY(qzt::writer::writePaper(root / "p.qzt", spec).ok());

    qzt::ui::EarlyPage early(root / "p.qzt", 0, root / "work");
    const QString page = QString::fromStdString((root / "work" / name.toStdString()).string());
    QVERIFY(!early.take(page + QLatin1Char('x')));  // another page's path
    std::unique_ptr<QTextDocument> document = early.take(page);
    QCOMPARE(document != nullptr, !text.isNull());
    QCOMPARE(fs::exists(root / "work"), password.isEmpty());
    if (!document) return;
    QCOMPARE(document->toPlainText(), text);
    QCOMPARE(document->thread(), QThread::currentThread());
    QVERIFY(!early.take(page));  // given once
  }
};

QTEST_MAIN(EarlyPageTest)
#include "early_page_test.moc"
