#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "desktop/qt_translations.h"
#include "window/message_box.h"

Q_DECLARE_METATYPE(qzt::ui::Buttons)

namespace {

// A text as the eye reads it: no "&" and no "(&Y)" mnemonic.
QString shown(QString text) {
  text.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
  return text.remove(QLatin1Char('&'));
}

QStringList shownTexts(const QList<QAbstractButton*>& buttons) {
  QStringList texts;
  for (const QAbstractButton* button : buttons) texts.append(shown(button->text()));
  texts.sort();
  return texts;
}

// Runs `look` on the modal dialog `show` opens, then closes the dialog.
void whileModal(const std::function<void()>& show, const std::function<void(QWidget*)>& look) {
  bool looked = false;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr) return;
    look(dialog);
    looked = true;
    dialog->close();
  });
  show();
  QVERIFY(looked);
}

// The reader's own Yes/No and OK boxes, as a candidate sees them.
QStringList messageButtons(qzt::ui::Buttons kind) {
  QStringList texts;
  whileModal([kind] { qzt::ui::showMessage(nullptr, QStringLiteral("提示1.0"), QStringLiteral("?"), kind); },
             [&texts](QWidget* dialog) {
               if (auto* box = qobject_cast<QMessageBox*>(dialog)) texts = shownTexts(box->buttons());
             });
  return texts;
}

}  // namespace

class QtTranslationsTest : public QObject {
  Q_OBJECT

 private slots:
  // First, before any catalogue is in: a folder without them.
  void missingCataloguesLeaveEnglishButtons() {
    QTemporaryDir empty;
    const QStringList missing = qzt::ui::installQtTranslations(empty.path());
    QCOMPARE(missing, QStringList({empty.filePath(QStringLiteral("qtbase_zh_CN.qm")),
                                   empty.filePath(QStringLiteral("qtwebengine_zh_CN.qm"))}));
    QCOMPARE(messageButtons(qzt::ui::Buttons::YesNo), QStringList({"No", "Yes"}));
  }

  void systemCataloguesLoad() {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    QCOMPARE(qzt::ui::installQtTranslations(folder), QStringList());
  }

  void messageBoxButtonsAreChinese_data() {
    QTest::addColumn<qzt::ui::Buttons>("kind");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("yes/no") << qzt::ui::Buttons::YesNo << QStringList({"否", "是"});
    QTest::newRow("ok") << qzt::ui::Buttons::Ok << QStringList({"确定"});
  }

  void messageBoxButtonsAreChinese() {
    QFETCH(qzt::ui::Buttons, kind);
    QFETCH(QStringList, texts);
    QCOMPARE(messageButtons(kind), texts);
  }

  // Standard buttons the reader does not use itself still follow.
  void standardButtonsAreChinese() {
    QMessageBox box(QMessageBox::Question, QStringLiteral("提示1.0"), QStringLiteral("?"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(shownTexts(box.buttons()), QStringList({"取消", "确定"}));
  }

  void openDialogIsChinese() {
    QStringList buttons;
    QString fileNameLabel;
    whileModal(
        [] {
          qzt::ui::chooseOpenFile(nullptr, QStringLiteral("生成卷舟格式试卷"), QDir::tempPath(),
                                  QStringLiteral("卷舟格式试卷(*.qzt)"));
        },
        [&](QWidget* dialog) {
          if (auto* box = dialog->findChild<QDialogButtonBox*>()) buttons = shownTexts(box->buttons());
          if (auto* label = dialog->findChild<QLabel*>(QStringLiteral("fileNameLabel"))) {
            fileNameLabel = shown(label->text());
          }
        });
    QCOMPARE(buttons, QStringList({"取消", "打开"}));
    QCOMPARE(fileNameLabel, QStringLiteral("文件名称："));
  }
};

QTEST_MAIN(QtTranslationsTest)
#include "qt_translations_test.moc"
