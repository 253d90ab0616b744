#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "side/about_window.h"
#include "desktop/accessible_tree.h"
#include "gbk_text.h"
#include "desktop/link_opener.h"

namespace {

// An about text file of GBK lines ended by CR LF.
QString writeAbout(const QTemporaryDir& dir, const QStringList& lines) {
  const QString path = dir.filePath(QStringLiteral("about.txt"));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return {};
  for (const QString& line : lines) file.write(toGbk(line) + "\r\n");
  return path;
}

void closeAndWait(QWidget* window) {
  QPointer<QWidget> gone(window);
  window->close();
  QTRY_VERIFY(gone.isNull());
}

QLabel* emptyLabel(AboutWindow* w) { return w->findChild<QLabel*>(QStringLiteral("Label2")); }

}  // namespace

class AboutWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    opened_.clear();
    setLinkOpenerForTesting([this](const QUrl& url) { opened_.append(url.toString()); });
  }
  void cleanup() {
    if (AboutWindow* w = AboutWindow::instance()) closeAndWait(w);
    setLinkOpenerForTesting({});
  }

  void windowSettings() {
    QTemporaryDir dir;
    AboutWindow* w = AboutWindow::showAbout(nullptr, writeAbout(dir, {"x"}));
    QCOMPARE(w->objectName(), QStringLiteral("Tksabout"));
    QCOMPARE(w->windowTitle(), QStringLiteral("关于"));
    QCOMPARE(w->font().pixelSize(), 13);
    QCOMPARE(w->width(), 277);
    QVERIFY(w->windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(w->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(w->frameGeometry().center(), screen.center());

    auto* strip = w->findChild<QFrame*>(QStringLiteral("Panel1"));
    QCOMPARE(strip->geometry(), QRect(0, w->height() - 37, 277, 37));
    auto* ok = w->findChild<QPushButton*>(QStringLiteral("Button1"));
    QCOMPARE(ok->text(), QStringLiteral("确定"));
    QCOMPARE(ok->geometry(), QRect(110, 1, 57, 25));
    w->resize(278, w->height());  // (278 - 57) / 2 = 110.5: halves go to the even side
    QCOMPARE(ok->x(), 110);
    w->resize(280, w->height());  // 111.5
    QCOMPARE(ok->x(), 112);
  }

  // A screen reader meets a window named by its title, holding what shows:
  // the line, not the hidden "no text" label.
  void readAsANamedWindow() {
    qzt::ui::installAccessibleTree();
    QTemporaryDir dir;
    AboutWindow* w = AboutWindow::showAbout(nullptr, writeAbout(dir, {"x"}));
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(w);
    QCOMPARE(window->role(), QAccessible::Window);
    QCOMPARE(window->text(QAccessible::Name), QStringLiteral("关于"));
    QStringList names;
    for (int i = 0; i < window->childCount(); ++i) names << window->child(i)->text(QAccessible::Name);
    QVERIFY2(names.contains(QStringLiteral("x")), qPrintable(names.join(u'|')));
    QVERIFY2(!names.contains(QStringLiteral("关于信息还没设置，请到软件设置中设置")), qPrintable(names.join(u'|')));
  }

  void labelsAndTops() {
    QTemporaryDir dir;
    AboutWindow* w = AboutWindow::showAbout(nullptr, writeAbout(dir, {"作者: 张三", "", "   ", "A&B <b>x</b>"}));
    const auto& labels = w->lineLabels();
    QCOMPARE(labels.size(), std::size_t(3));
    QCOMPARE(labels[0]->text(), QStringLiteral("作者: 张三"));
    QCOMPARE(labels[1]->text(), QStringLiteral("   "));  // blanks are a line, not a gap
    QCOMPARE(labels[2]->text(), QStringLiteral("A&B <b>x</b>"));
    QCOMPARE(labels[2]->textFormat(), Qt::PlainText);
    QCOMPARE(labels[0]->pos(), QPoint(10, 10));
    QCOMPARE(labels[1]->pos(), QPoint(10, 10 + labels[0]->height() + 6 + 4));
    QCOMPARE(labels[2]->y(), labels[1]->y() + labels[1]->height() + 6);
    QCOMPARE(w->height(), 37 + labels[2]->y() + labels[2]->height() + 40);
    QVERIFY(emptyLabel(w)->isHidden());
  }

  void oneLineHeight() {
    QTemporaryDir dir;
    AboutWindow* w = AboutWindow::showAbout(nullptr, writeAbout(dir, {"only"}));
    QCOMPARE(w->height(), 37 + 10 + w->lineLabels().front()->height() + 40);
  }

  void links() {
    QTemporaryDir dir;
    AboutWindow* w = AboutWindow::showAbout(
        nullptr, writeAbout(dir, {"主页 HTTP://Www.Example.CN/Path", "安全 https://secure.cn", "plain"}));
    const auto& labels = w->lineLabels();
    QCOMPARE(labels.size(), std::size_t(3));
    QCOMPARE(labels[0]->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(labels[0]->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(labels[1]->palette().color(QPalette::WindowText) != QColor(0, 0, 255));
    QVERIFY(labels[1]->cursor().shape() != Qt::PointingHandCursor);

    QTest::mouseClick(labels[1], Qt::LeftButton);
    QTest::mouseClick(labels[2], Qt::LeftButton);
    QTest::mouseClick(labels[0], Qt::RightButton);
    QVERIFY(opened_.isEmpty());
    QTest::mouseClick(labels[0], Qt::LeftButton);
    // Opened as written: scheme and host mean the same in any case, the path not.
    QCOMPARE(opened_, QStringList{QStringLiteral("http://www.example.cn/Path")});
  }

  void noText_data() {
    QTest::addColumn<QByteArray>("bytes");  // null: no file at all
    QTest::newRow("no file") << QByteArray();
    QTest::newRow("empty file") << QByteArray("");
    QTest::newRow("empty lines only") << QByteArray("\r\n\r\n\n\r");
  }

  void noText() {
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("about.txt"));
    if (!bytes.isNull()) {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(bytes);
    }
    AboutWindow* w = AboutWindow::showAbout(nullptr, path);
    QVERIFY(w->lineLabels().empty());
    QLabel* label = emptyLabel(w);
    QVERIFY(label->isVisible());
    QCOMPARE(label->text(), QStringLiteral("关于信息还没设置，请到软件设置中设置"));
    QCOMPARE(label->pos(), QPoint(16, 40));
    QCOMPARE(w->size(), QSize(277, 281));
  }

  void atMost96LabelsAndScreenFit() {
    QStringList lines;
    for (int i = 0; i < 200; ++i) lines << QStringLiteral("line %1").arg(i);
    QTemporaryDir dir;
    AboutWindow* w = AboutWindow::showAbout(nullptr, writeAbout(dir, lines));
    QCOMPARE(w->lineLabels().size(), std::size_t(96));
    QCOMPARE(w->lineLabels().back()->text(), QStringLiteral("line 95"));
    const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();
    QCOMPARE(w->height(), screenHeight - 2);
  }

  void closesWhenAnotherReaderWindowIsActivated() {
    QWidget mainWindow;
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowActive(&mainWindow));
    QTemporaryDir dir;
    QPointer<AboutWindow> w = AboutWindow::showAbout(&mainWindow, writeAbout(dir, {"x"}));
    QVERIFY(QTest::qWaitForWindowActive(w));
    mainWindow.activateWindow();
    QTRY_VERIFY(w.isNull());
    QCOMPARE(AboutWindow::instance(), nullptr);
  }

  void buttonCloses() {
    QTemporaryDir dir;
    QPointer<AboutWindow> w = AboutWindow::showAbout(nullptr, writeAbout(dir, {"x"}));
    QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    QTRY_VERIFY(w.isNull());
  }

  void keysClose_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Escape") << int(Qt::Key_Escape);
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
  }

  void keysClose() {
    QFETCH(int, key);
    QTemporaryDir dir;
    QPointer<AboutWindow> w = AboutWindow::showAbout(nullptr, writeAbout(dir, {"x"}));
    // Pressed on the button, where the focus is once the window is active.
    QTest::keyClick(w->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::Key(key));
    QTRY_VERIFY(w.isNull());
  }

  void showingAgainReplacesTheWindow() {
    QTemporaryDir dir;
    QPointer<AboutWindow> first = AboutWindow::showAbout(nullptr, writeAbout(dir, {"a", "b"}));
    AboutWindow* second = AboutWindow::showAbout(nullptr, writeAbout(dir, {"c"}));
    QTRY_VERIFY(first.isNull());
    QCOMPARE(AboutWindow::instance(), second);
    QCOMPARE(second->lineLabels().size(), std::size_t(1));
  }

 private:
  QStringList opened_;
};

QTEST_MAIN(AboutWindowTest)
#include "about_window_test.moc"
