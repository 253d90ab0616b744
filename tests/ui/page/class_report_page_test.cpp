// The class report page of `qzt report --html` in the real engine: it must
// draw (not a blank page), and what a teacher reads must be in its text.
#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

#include <fstream>
#include <memory>
#include <optional>
#include <sstream>

#include "author/paper_writer.h"
#include "cli.h"
#include "paper/format.h"
#include "util/gbk.h"

namespace {

constexpr int kWait = 20000;
const QColor kHistogramBar(0x5b, 0x9b, 0x5b);
const QColor kFacilityBar(0x3b, 0x73, 0xb9);

std::string gbk(const std::string& utf8) { return qzt::utf8ToGbk(utf8).value(); }

void writeBytes(const QString& path, const std::string& bytes) {
  std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

QVariant evaluate(QWebEnginePage* page, const QString& script) {
  auto answer = std::make_shared<std::optional<QVariant>>();
  page->runJavaScript(script, [answer](const QVariant& value) { *answer = value; });
  if (!QTest::qWaitFor([&] { return answer->has_value(); }, kWait)) return QStringLiteral("<no answer>");
  return **answer;
}

int pixelsOf(const QImage& image, const QColor& colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour ? 1 : 0;
  }
  return n;
}

}  // namespace

class ClassReportPageTest : public QObject {
  Q_OBJECT

 private slots:
  void rendersTitleChartsAndNumbers() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    qzt::writer::PaperSpec spec;
    spec.title = gbk("期中测验（二班）");
    spec.paperKey = "KEY-1";
    spec.questions = {{"1", qzt::format::kKindSingle, 4, "A", 2},
                      {"2", qzt::format::kKindMultiple, 4, "A C", 3},
                      {"3", qzt::format::kKindText, 0, gbk("北京"), 5}};
    QVERIFY(qzt::writer::writePaper(dir.filePath("paper.qzt").toStdString(), spec).ok());
    writeBytes(dir.filePath("a.da"), "KEY-1\r\nA\r\nAC\r\n" + gbk("北京") + "\r\n");
    writeBytes(dir.filePath("b.da"), "KEY-1\r\nB\r\nAC\r\n\r\n");
    writeBytes(dir.filePath("c.da"), "KEY-1\r\nA\r\nA\r\n" + gbk("南京") + "\r\n");
    writeBytes(dir.filePath("d.da"), "KEY-2\r\n");
    const QString html = dir.filePath("class.html");
    std::ostringstream out, err;
    QCOMPARE(qzt::cli::run({"report", dir.filePath("paper.qzt").toStdString(), dir.path().toStdString(), "--html",
                            html.toStdString()},
                           out, err),
             0);

    QWebEngineView view;
    view.resize(1000, 1600);
    view.show();
    QSignalSpy loaded(view.page(), &QWebEnginePage::loadFinished);
    view.load(QUrl::fromLocalFile(html));
    QVERIFY(loaded.wait(kWait));
    QVERIFY(loaded.last().at(0).toBool());

    QCOMPARE(view.title(), QStringLiteral("期中测验（二班） 成绩报告"));
    const QString text = evaluate(view.page(), QStringLiteral("document.body.innerText")).toString();
    // Scores 10, 3 and 2 of 10 marks; one file refused.
    for (const QString& expected :
         {QStringLiteral("期中测验（二班）"), QStringLiteral("平均分\t5\n"), QStringLiteral("中位数\t3\n"),
          QStringLiteral("最高分\t10"), QStringLiteral("未能评分\t1"), QStringLiteral("南京 ×1"),
          QStringLiteral("该答案跟打开的试卷不符合，不能导入!")}) {
      QVERIFY2(text.contains(expected), qPrintable(expected + " not in:\n" + text));
    }
    // Both charts laid out with their bars: SVG understood, not shown as text.
    QCOMPARE(evaluate(view.page(), QStringLiteral("document.querySelectorAll('svg rect').length")).toInt(), 10 + 3 + 3);
    QVERIFY(evaluate(view.page(), QStringLiteral("document.getElementById('histogram').getBBox().height")).toDouble() > 100);

    // The picture: bars in their colours, not a blank page.
    QImage picture;
    QVERIFY(QTest::qWaitFor(
        [&] {
          picture = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
          return pixelsOf(picture, kHistogramBar) > 500;
        },
        kWait));
    QVERIFY(pixelsOf(picture, kFacilityBar) > 100);
  }
};

int main(int argc, char** argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  ClassReportPageTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "class_report_page_test.moc"
