#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>

#include "side/comments_panel.h"
#include "gbk_text.h"

namespace {

struct Fixture {
  QWidget window;
  CommentsPanel* panel = new CommentsPanel(&window);
  QWidget* page = new QWidget(&window);  // made after the panel: on top of it
  Fixture() {
    window.resize(700, 500);
    page->setGeometry(0, 0, 700, 500);
    panel->setRoom({144, 72}, 0);
    window.show();
  }
  QTextBrowser* text() const { return panel->findChild<QTextBrowser*>(QStringLiteral("pyedit")); }
};

}  // namespace

class CommentsPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void layout() {
    Fixture f;
    QCOMPARE(f.panel->objectName(), QStringLiteral("Panel5"));
    QCOMPARE(f.panel->size(), QSize(329, 249));
    QVERIFY(f.panel->isHidden());
    QCOMPARE(f.panel->findChild<QLabel*>(QStringLiteral("Label8"))->text(), QStringLiteral("评语"));
    QCOMPARE(f.text()->size(), QSize(313, 177));
    QCOMPARE(f.text()->font().pixelSize(), 15);
    QVERIFY(f.text()->isReadOnly());
    auto* close = f.panel->findChild<QPushButton*>(QStringLiteral("Button9"));
    QCOMPARE(close->text(), QStringLiteral("关闭"));
    QCOMPARE(close->size(), QSize(49, 25));
  }

  // Zoomed with the page and the grid, and back to its designed size. In a
  // window too small for the zoomed panel, it fills what there is and the
  // text keeps the zoom.
  void zoom() {
    Fixture f;
    auto* close = f.panel->findChild<QPushButton*>(QStringLiteral("Button9"));
    f.window.resize(1200, 900);
    f.panel->setZoom(3.0);
    QCOMPARE(f.panel->size(), QSize(987, 747));
    QCOMPARE(f.text()->geometry(), QRect(24, 84, 939, 531));
    QCOMPARE(f.text()->font().pixelSize(), 45);
    QCOMPARE(close->font().pixelSize(), 39);
    QCOMPARE(close->geometry(), QRect(420, 642, 147, 75));

    f.window.resize(700, 500);
    f.panel->setZoom(3.0);
    QVERIFY(f.window.rect().contains(f.panel->geometry()));
    QVERIFY(f.panel->width() > 329 * 1.5);
    QVERIFY(f.panel->rect().contains(close->geometry()));
    QCOMPARE(f.text()->font().pixelSize(), 45);

    f.panel->setZoom(1.0);
    QCOMPARE(f.panel->size(), QSize(329, 249));
    QCOMPARE(f.text()->font().pixelSize(), 15);
    QCOMPARE(close->geometry(), QRect(140, 214, 49, 25));
  }

  // What lies right of the room (the answer grid) stays in view: the panel
  // moves left before it shrinks, and at 100% it stands where it always has.
  void staysLeftOfItsRoomsEdge_data() {
    QTest::addColumn<double>("factor");
    QTest::addColumn<int>("rightEdge");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("100%, room enough") << 1.0 << 600 << QRect(144, 72, 329, 249);
    QTest::newRow("100%, moved left") << 1.0 << 400 << QRect(71, 72, 329, 249);
    QTest::newRow("200%, moved left") << 2.0 << 700 << QRect(42, 72, 658, 498);
    QTest::newRow("300%, as wide as the room") << 3.0 << 500 << QRect(0, 72, 500, 378);
  }

  void staysLeftOfItsRoomsEdge() {
    QFETCH(double, factor);
    QFETCH(int, rightEdge);
    QFETCH(QRect, geometry);
    Fixture f;
    f.window.resize(1200, 900);
    f.panel->setZoom(factor);
    f.panel->setRoom({144, 72}, rightEdge);
    QCOMPARE(f.panel->geometry(), geometry);
    QCOMPARE(f.text()->font().pixelSize(), qRound(15 * factor));
  }

  void shownText_data() {
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("boldWord");  // empty: plain text
    QTest::newRow("plain GBK lines, empty ones kept")
        << QList<QByteArray>{toGbk(QStringLiteral("成绩优秀")), "", "  keep going"}
        << QStringLiteral("成绩优秀\n\n  keep going") << QString();
    QTest::newRow("one empty line") << QList<QByteArray>{""} << QString() << QString();
    QTest::newRow("RTF over several lines")
        << QList<QByteArray>{"{\\rtf1\\ansicpg936{\\fonttbl{\\f0 x;}}", "{\\b \\'d3\\'c5}\\'d0\\'e3\\par", "}"}
        << QStringLiteral("优秀") << QStringLiteral("优");
    QTest::newRow("RTF mark on a later line is text")
        << QList<QByteArray>{"note", "{\\rtf1 x}"} << QStringLiteral("note\n{\\rtf1 x}") << QString();
  }

  void shownText() {
    QFETCH(QList<QByteArray>, lines);
    QFETCH(QString, expected);
    QFETCH(QString, boldWord);
    Fixture f;
    f.panel->showComment(std::vector<QByteArray>(lines.begin(), lines.end()));
    QVERIFY(f.panel->isVisible());
    QCOMPARE(f.text()->toPlainText(), expected);
    if (!boldWord.isEmpty()) {
      QTextCursor c = f.text()->document()->find(boldWord);
      QVERIFY(!c.isNull());
      QVERIFY(c.charFormat().fontWeight() >= QFont::Bold);
    }
  }

  void raisedAboveThePage() {
    Fixture f;
    f.panel->showComment({"x"});
    QWidget* top = f.window.childAt(200, 150);
    QVERIFY(top == f.panel || f.panel->isAncestorOf(top));
  }

  void closeHidesAndKeepsText() {
    Fixture f;
    f.panel->showComment({"first"});
    QTest::mouseClick(f.panel->findChild<QPushButton*>(QStringLiteral("Button9")), Qt::LeftButton);
    QVERIFY(f.panel->isHidden());
    QCOMPARE(f.text()->toPlainText(), QStringLiteral("first"));
    f.panel->showComment({"second"});
    QVERIFY(f.panel->isVisible());
    QCOMPARE(f.text()->toPlainText(), QStringLiteral("second"));
  }
};

QTEST_MAIN(CommentsPanelTest)
#include "comments_panel_test.moc"
