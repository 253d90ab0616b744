#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QWebEngineView>
#include <QWindow>

#include <algorithm>

#include "page/confined_page.h"
#include "side/notes_window.h"

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
  const QString path = dir.filePath(name);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return {};
  file.write(bytes);
  return path;
}

void closeAndWait(NotesWindow* window) {
  QPointer<NotesWindow> gone(window);
  window->close();
  QTRY_VERIFY(gone.isNull());
}

}  // namespace

class NotesWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() {
    if (NotesWindow* w = NotesWindow::instance()) closeAndWait(w);
  }

  void designedWindow() {
    QTemporaryDir dir;
    QWidget owner;
    NotesWindow* w = NotesWindow::showNotes(&owner, dir.path(), writeFile(dir, "a.txt", "x"));
    QCOMPARE(w->objectName(), QStringLiteral("TForm2"));
    QCOMPARE(w->windowTitle(), QStringLiteral("注释"));
    QCOMPARE(w->size(), QSize(677, 490));
    QCOMPARE(w->pos(), QPoint(66, 38));
    QVERIFY(w->isWindow());
    QVERIFY(w->isVisible());
    QCOMPARE(w->textView()->objectName(), QStringLiteral("jjtxt"));
    QCOMPARE(w->textView()->font().pixelSize(), 15);
    QVERIFY(w->textView()->isReadOnly());
  }

  void escapeCloses() {
    QTemporaryDir dir;
    QPointer<NotesWindow> w = NotesWindow::showNotes(nullptr, dir.path(), writeFile(dir, "a.txt", "x"));
    QTest::keyClick(w->textView(), Qt::Key_Escape);
    QTRY_VERIFY(w.isNull());
  }

  void viewByExtension_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("web");
    QTest::newRow("txt") << "notes.txt" << false;
    QTest::newRow("capital TXT") << "NOTES.TXT" << false;
    QTest::newRow("rtf") << "notes.Rtf" << false;
    QTest::newRow("htm") << "notes.htm" << true;
    QTest::newRow("html") << "notes.html" << true;
    QTest::newRow("mht") << "notes.mht" << true;
    QTest::newRow("no extension") << "notes" << true;
    QTest::newRow("txt is not the last extension") << "notes.txt.htm" << true;
  }

  void viewByExtension() {
    QFETCH(QString, name);
    QFETCH(bool, web);
    QTemporaryDir dir;
    const QString path = writeFile(dir, name, "<p>hello</p>");
    NotesWindow* w = NotesWindow::showNotes(nullptr, dir.path(), path);
    if (web) {
      QVERIFY(w->webView());
      QCOMPARE(w->webView()->objectName(), QStringLiteral("WebBrowser1"));
      QCOMPARE(w->currentView(), w->webView());
      // Pages are served from the work folder only; web archives stay files.
      const QUrl expected = name.endsWith(QLatin1String(".mht")) ? QUrl::fromLocalFile(path)
                                                                  : qzt::ui::pageUrl(dir.path(), path);
      QTRY_COMPARE_WITH_TIMEOUT(qobject_cast<QWebEngineView*>(w->webView())->url(), expected, 20000);
    } else {
      QCOMPARE(w->webView(), nullptr);  // made only when a page needs it
      QCOMPARE(w->currentView(), w->textView());
      QCOMPARE(w->textView()->toPlainText(), QStringLiteral("<p>hello</p>"));
    }
  }

  void rtfNotesFormatted() {
    QTemporaryDir dir;
    NotesWindow* w = NotesWindow::showNotes(nullptr, dir.path(), writeFile(dir, "n.rtf", "{\\rtf1 {\\b \\'d7\\'a2}\\par}"));
    QCOMPARE(w->textView()->toPlainText(), QStringLiteral("注"));
    QTextCursor c(w->textView()->document());
    c.setPosition(1);
    QVERIFY(c.charFormat().fontWeight() >= QFont::Bold);
  }

  void oneWindowReused() {
    QTemporaryDir dir;
    const QString first = writeFile(dir, "a.txt", "first");
    NotesWindow* w = NotesWindow::showNotes(nullptr, dir.path(), first);
    w->showMinimized();
    writeFile(dir, "a.txt", "changed");
    QCOMPARE(NotesWindow::showNotes(nullptr, dir.path(), first), w);
    QVERIFY(!w->isMinimized());
    QVERIFY(w->isVisible());
    QCOMPARE(w->textView()->toPlainText(), QStringLiteral("changed"));

    w->showMaximized();
    NotesWindow::showNotes(nullptr, dir.path(), writeFile(dir, "b.htm", "<p>page</p>"));
    QVERIFY(!w->isMaximized());
    QCOMPARE(w->currentView(), w->webView());
    NotesWindow::showNotes(nullptr, dir.path(), first);
    QCOMPARE(w->currentView(), w->textView());  // back in front for text
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.begin(), windows.end(), [](QWidget* t) { return qobject_cast<NotesWindow*>(t); }),
             1);
  }

  void reopenedAtTheDesignedPlaceAfterClose() {
    QTemporaryDir dir;
    const QString path = writeFile(dir, "a.txt", "x");
    NotesWindow* w = NotesWindow::showNotes(nullptr, dir.path(), path);
    w->setGeometry(300, 200, 200, 100);
    closeAndWait(w);
    QCOMPARE(NotesWindow::instance(), nullptr);
    NotesWindow* again = NotesWindow::showNotes(nullptr, dir.path(), path);
    QVERIFY(again);
    QCOMPARE(again->pos(), QPoint(66, 38));
    QCOMPARE(again->size(), QSize(677, 490));
  }

  // A window of its own that can go behind its owner, not one held over
  // it; it goes when its owner does.
  void standsBesideItsOwner() {
    QTemporaryDir dir;
    auto* owner = new QWidget;
    owner->show();
    NotesWindow* w = NotesWindow::showNotes(owner, dir.path(), writeFile(dir, "a.txt", "x"));
    QVERIFY(!w->parentWidget());
    QVERIFY(w->windowHandle());
    QVERIFY(!w->windowHandle()->transientParent());
    delete owner;
    QTRY_COMPARE(NotesWindow::instance(), nullptr);
  }
};

int main(int argc, char** argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  NotesWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "notes_window_test.moc"
