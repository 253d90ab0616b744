// One zoom step on a long page against a plain relayout of the same page,
// in the same run.
//
// Two pages: the start-up paper's 5,010 lines of plain text, and an RTF
// page of about 200 printed pages with sized runs, tables and pictures.
// Each is shown in the reader's page view and zoomed 100% -> 110% -> 100%
// ...; the baseline is a QTextEdit holding the same document whose font
// changes between the same sizes (QTextEdit::setFont, one relayout). Each
// step is timed until the document is laid out to its last line. Medians
// of STEPS steps and the reader's ratio.
//   zoom_bench [STEPS]     (default 9; runs offscreen unless a platform is set)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "page/page_view.h"
#include "page/text_view.h"

namespace {

// The same text as the start-up paper's page: 1002 questions of five lines.
QByteArray questionText() {
  QByteArray text;
  for (int q = 1; q <= 1002; ++q) {
    const QByteArray n = QByteArray::number(q);
    text += n + ". Question " + n + ": which of the following holds for the value " +
            QByteArray::number(q * 37 % 1000) + "?\n";
    for (const char option : {'A', 'B', 'C', 'D'}) {
      text += QByteArray("   ") + option + ". option " + option + " of question " + n + "\n";
    }
  }
  return text;
}

// About 200 printed pages: headed sections of sized text, each with a
// three-column table and a small picture.
QByteArray longRtf() {
  QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}";
  const QByteArray picture = "{\\pict\\wmetafile8\\picwgoal1440\\pichgoal720 01}";
  for (int section = 1; section <= 400; ++section) {
    const QByteArray n = QByteArray::number(section);
    rtf += "{\\b\\fs32 Section " + n + "}\\par ";
    for (int p = 0; p < 4; ++p) {
      rtf += "{\\fs24 Paragraph " + QByteArray::number(p) + " of section " + n +
             " says something about the question at some length, so that it wraps over"
             " more than one line in the view.}{\\fs20\\i  A smaller remark.}\\par ";
    }
    for (int row = 0; row < 3; ++row) {
      rtf += "\\trowd\\cellx2000\\cellx4000\\cellx6000";
      for (int cell = 0; cell < 3; ++cell) rtf += "\\intbl{\\fs22 cell " + QByteArray::number(cell) + "}\\cell";
      rtf += "\\row ";
    }
    rtf += "\\pard " + picture + "\\par ";
  }
  return rtf + "}";
}

// Lays the whole document out: asking where its last block lies does.
void layOutAll(QTextDocument* document) {
  document->documentLayout()->blockBoundingRect(document->lastBlock());
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Seconds of each step, `step(i)` doing the i-th one.
std::vector<double> timeSteps(int steps, QTextDocument* document, const std::function<void(int)>& step) {
  std::vector<double> seconds;
  for (int i = 0; i < steps; ++i) {
    QElapsedTimer timer;
    timer.start();
    step(i);
    layOutAll(document);
    seconds.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e9);
  }
  return seconds;
}

void measure(const char* name, const QString& path, const QByteArray& bytes, int steps) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) std::exit(1);
  file.close();

  QTextBrowser plain;
  plain.resize(900, 700);
  plain.show();
  showTextBytes(&plain, bytes);
  layOutAll(plain.document());
  const int basePixels = plain.font().pixelSize() > 0 ? plain.font().pixelSize() : 13;
  const auto baseline = timeSteps(steps, plain.document(), [&](int i) {
    QFont font = plain.font();
    font.setPixelSize(i % 2 == 0 ? qRound(basePixels * 1.1) : basePixels);
    plain.setFont(font);
  });

  qzt::ui::PageView page(QFileInfo(path).absolutePath());
  page.resize(900, 700);
  page.show();
  if (!page.showTextPage(path)) std::exit(1);
  QTextDocument* document = page.textView()->document();
  layOutAll(document);
  const auto ours = timeSteps(steps, document, [&](int i) { page.setZoom(i % 2 == 0 ? 1.1 : 1.0); });

  const double b = median(baseline), q = median(ours);
  std::printf("  %-34s %7.3f s\n", "QTextEdit::setFont relayout", b);
  std::printf("  %-34s %7.3f s  reader %.2fx (goal 1.50x)  [%s, %d blocks]\n", "reader zoom step", q, q / b, name,
              document->blockCount());
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  app.setFont(cjkFont(13));
  const int steps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  QTemporaryDir dir;
  std::printf("one zoom step (100%% <-> 110%%) laid out to the end, median of %d steps\n", steps);
  measure("5,010-line text page", dir.filePath(QStringLiteral("paper.txt")), questionText(), steps);
  measure("RTF page, tables and pictures", dir.filePath(QStringLiteral("paper.rtf")), longRtf(), steps);
  return 0;
}
