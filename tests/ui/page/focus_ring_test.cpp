// The focus ring: shown while the keys are in the ringed widget or any
// widget inside it (the web view hands them to an inner widget), hidden
// when they leave, always covering the widget and letting presses through.
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "page/focus_ring.h"

class FocusRingTest : public QObject {
  Q_OBJECT
 private slots:
  void followsTheKeysInAndOut() {
    QWidget window;
    auto* column = new QVBoxLayout(&window);
    auto* before = new QLineEdit(&window);
    auto* target = new QWidget(&window);
    auto* inner = new QLineEdit(target);  // where the keys really go
    target->setFocusProxy(inner);
    target->setFocusPolicy(Qt::StrongFocus);
    column->addWidget(before);
    column->addWidget(target);
    auto* ring = new qzt::ui::FocusRing(target);
    window.resize(300, 200);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));

    before->setFocus();
    QTRY_VERIFY(before->hasFocus());
    QVERIFY(ring->isHidden());
    QTest::keyClick(before, Qt::Key_Tab);
    QTRY_VERIFY(inner->hasFocus());
    QVERIFY(ring->isVisible());
    QCOMPARE(ring->geometry(), target->rect());
    QVERIFY(ring->testAttribute(Qt::WA_TransparentForMouseEvents));

    window.resize(400, 300);
    QTRY_COMPARE(ring->geometry(), target->rect());
    QTest::keyClick(inner, Qt::Key_Backtab);
    QTRY_VERIFY(before->hasFocus());
    QVERIFY(ring->isHidden());
  }

  // The mark is drawn: the ring's edge takes the highlight colour, its
  // middle shows the widget below.
  void drawsAnEdgeOnly() {
    QWidget target;
    target.resize(100, 80);
    qzt::ui::FocusRing ring(&target);
    ring.setGeometry(target.rect());
    ring.show();
    const QImage image = ring.grab().toImage();
    const QColor highlight = ring.palette().color(QPalette::Active, QPalette::Highlight);
    QCOMPARE(image.pixelColor(1, 1).rgb(), highlight.rgb());
    QCOMPARE(image.pixelColor(98, 40).rgb(), highlight.rgb());
    QVERIFY(image.pixelColor(50, 40).rgb() != highlight.rgb() || image.pixelColor(50, 40).alpha() == 0);
  }
};

QTEST_MAIN(FocusRingTest)
#include "focus_ring_test.moc"
