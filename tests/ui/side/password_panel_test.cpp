#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>

#include "gbk_text.h"
#include "side/password_panel.h"

namespace {

// The panel on a shown page, as the main window holds it.
struct Fixture {
  QWidget page;
  PasswordPanel* panel = new PasswordPanel(&page);
  Fixture() {
    page.resize(600, 400);
    panel->move(40, 16);
    page.show();
  }
  QLineEdit* edit() const { return panel->findChild<QLineEdit*>(QStringLiteral("Edit2")); }
  QTextBrowser* hint() const { return panel->findChild<QTextBrowser*>(QStringLiteral("RichEdit3")); }
  QPushButton* button(const char* name) const { return panel->findChild<QPushButton*>(QString::fromLatin1(name)); }
};

// The centre of the first character of `text` in the hint, in viewport coordinates.
QPoint hintPoint(QTextBrowser* hint, const QString& text) {
  const int at = static_cast<int>(hint->document()->toPlainText().indexOf(text));
  QTextCursor c(hint->document());
  c.setPosition(at + 1);
  return hint->cursorRect(c).center();
}

}  // namespace

class PasswordPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void layout() {
    Fixture f;
    QCOMPARE(f.panel->objectName(), QStringLiteral("Panel2"));
    QCOMPARE(f.panel->size(), QSize(329, 217));
    QVERIFY(f.panel->isHidden());
    QCOMPARE(f.panel->findChild<QLabel*>(QStringLiteral("Label9"))->text(), QStringLiteral("输入密码"));
    QCOMPARE(f.button("Button1")->text(), QStringLiteral("确定"));
    QCOMPARE(f.button("Button2")->text(), QStringLiteral("取消"));
    QVERIFY(f.hint()->isReadOnly());
    QCOMPARE(f.edit()->echoMode(), QLineEdit::Password);
  }

  void confirm_data() {
    QTest::addColumn<int>("how");  // 0: Button1, else the key
    QTest::newRow("Button1") << 0;
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
  }

  void confirm() {
    QFETCH(int, how);
    Fixture f;
    f.panel->ask();
    QSignalSpy confirmed(f.panel, &PasswordPanel::confirmed);
    QSignalSpy cancelled(f.panel, &PasswordPanel::cancelled);
    QTest::keyClicks(f.edit(), QStringLiteral("Secret1"));
    if (how == 0) {
      QTest::mouseClick(f.button("Button1"), Qt::LeftButton);
    } else {
      QTest::keyClick(f.edit(), Qt::Key(how));
    }
    QCOMPARE(confirmed.count(), 1);
    QCOMPARE(cancelled.count(), 0);
    QCOMPARE(f.panel->typedGbk(), QByteArray("Secret1"));
    QVERIFY(f.panel->isVisible());  // the check hides it, a second later
  }

  void otherKeysOnlyType() {
    Fixture f;
    f.panel->ask();
    QSignalSpy confirmed(f.panel, &PasswordPanel::confirmed);
    QTest::keyClick(f.edit(), Qt::Key_Tab);
    QTest::keyClick(f.edit(), Qt::Key_Escape);
    QTest::keyClicks(f.edit(), QStringLiteral("ab"));
    QCOMPARE(confirmed.count(), 0);
  }

  void cancelHides() {
    Fixture f;
    f.panel->ask();
    QSignalSpy cancelled(f.panel, &PasswordPanel::cancelled);
    QSignalSpy confirmed(f.panel, &PasswordPanel::confirmed);
    QTest::mouseClick(f.button("Button2"), Qt::LeftButton);
    QCOMPARE(cancelled.count(), 1);
    QCOMPARE(confirmed.count(), 0);
    QVERIFY(f.panel->isHidden());
  }

  void askClearsAndFocuses() {
    Fixture f;
    QVERIFY(QTest::qWaitForWindowActive(&f.page));
    f.panel->ask();
    QTest::keyClicks(f.edit(), QStringLiteral("wrong"));
    f.panel->hide();
    f.panel->ask();
    QVERIFY(f.panel->isVisible());
    QCOMPARE(f.edit()->text(), QString());
    QVERIFY(f.edit()->hasFocus());
  }

  void entryLimitAndMask() {
    Fixture f;
    f.panel->ask();
    QTest::keyClicks(f.edit(), QString(50, u'x'));
    QCOMPARE(f.panel->typedGbk(), QByteArray(40, 'x'));
    QCOMPARE(f.edit()->displayText(), QString(40, u'*'));
  }

  void typedTextIsGbk() {
    Fixture f;
    f.panel->ask();
    for (QChar c : QStringLiteral("密码")) {
      QTest::sendKeyEvent(QTest::Click, f.edit(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    QCOMPARE(f.panel->typedGbk(), QByteArray("\xc3\xdc\xc2\xeb"));
  }

  void hintLinks_data() {
    QTest::addColumn<QByteArray>("hint");
    QTest::addColumn<QStringList>("links");
    QTest::newRow("none") << toGbk(QStringLiteral("密码是你的学号")) << QStringList{};
    QTest::newRow("plain text, sentence marks after addresses")
        << toGbk(QStringLiteral("请访问http://Example.com/a?b=1。或者 www.test.cn, 或 (https://x.org/p).\n"
                                "ftp://files.cn/a 与 mailto:t@x.cn"))
        << QStringList{QStringLiteral("http://Example.com/a?b=1"), QStringLiteral("www.test.cn"),
                       QStringLiteral("https://x.org/p"), QStringLiteral("ftp://files.cn/a"),
                       QStringLiteral("mailto:t@x.cn")};
    QTest::newRow("rich text")
        << QByteArray("{\\rtf1 \\'c7\\'eb {\\b http://bold.cn/x} and www.b.cn\\par}")
        << QStringList{QStringLiteral("http://bold.cn/x"), QStringLiteral("www.b.cn")};
    QTest::newRow("html-looking text stays text")
        << QByteArray("<a href=\"http://evil.cn\">x</a>") << QStringList{QStringLiteral("http://evil.cn")};
  }

  void hintLinks() {
    QFETCH(QByteArray, hint);
    QFETCH(QStringList, links);
    Fixture f;
    f.panel->setHint(hint);
    QCOMPARE(f.panel->hintLinks(), links);
    for (const QString& link : links) {
      QTextCursor c(f.hint()->document());
      c.setPosition(static_cast<int>(f.hint()->document()->toPlainText().indexOf(link)) + 1);
      QVERIFY2(c.charFormat().isAnchor(), qPrintable(link));
    }
  }

  void clickOnHintLink() {
    Fixture f;
    f.panel->setHint(toGbk(QStringLiteral("提示: 见 www.first.cn 和\nHTTP://Second.CN/Path")));
    f.panel->ask();
    QSignalSpy activated(f.panel, &PasswordPanel::linkActivated);
    QWidget* viewport = f.hint()->viewport();

    QTest::mouseClick(viewport, Qt::RightButton, {}, hintPoint(f.hint(), QStringLiteral("Second")));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, hintPoint(f.hint(), QStringLiteral("提示")));
    QCOMPARE(activated.count(), 0);

    QTest::mouseClick(viewport, Qt::LeftButton, {}, hintPoint(f.hint(), QStringLiteral("Second")));
    QCOMPARE(activated.count(), 1);
    QCOMPARE(activated.at(0).at(0).toString(), QStringLiteral("HTTP://Second.CN/Path"));

    QTest::mouseClick(viewport, Qt::LeftButton, {}, hintPoint(f.hint(), QStringLiteral("first")));
    QCOMPARE(activated.count(), 2);
    QCOMPARE(activated.at(1).at(0).toString(), QStringLiteral("www.first.cn"));
  }

  void newHintReplacesLinks() {
    Fixture f;
    f.panel->setHint("see http://a.cn");
    f.panel->setHint("nothing here");
    QVERIFY(f.panel->hintLinks().isEmpty());
    QCOMPARE(f.hint()->toPlainText(), QStringLiteral("nothing here"));
  }
};

QTEST_MAIN(PasswordPanelTest)
#include "password_panel_test.moc"
