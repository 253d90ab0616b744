// How long an RTF page takes to show: a ROWS-row table and a
// PARAGRAPHS-paragraph page read by our RTF reader into a read-only view,
// as the reader's window shows pages, against the same view showing the
// same content through QTextDocument::setHtml, in the same run. Each time
// runs until the whole page is laid out. Prints processor seconds (one
// thread, so other work on the machine does not inflate them) and the
// ratio ours/baseline.
//   rtf_page_bench [ROWS] [PARAGRAPHS]     default 1000 100000
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QByteArray>
#include <QTextBrowser>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>

#include "page/text_view.h"

namespace {

struct Page {
  QByteArray rtf;
  QString html;
};

// Four cells a row, the second two merged, as exam answer tables are.
Page table(int rows) {
  Page p;
  p.rtf = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 SimSun;}}\\f0\\fs24 ";
  p.html = "<table border=\"1\" cellspacing=\"0\">";
  for (int r = 0; r < rows; ++r) {
    const QByteArray n = QByteArray::number(r + 1);
    p.rtf += "\\trowd\\trgaph108\\clbrdrb\\brdrs\\cellx1440\\cellx4320\\clmgf\\cellx6480\\clmrg\\cellx8640"
             "\\pard\\intbl " + n + "\\cell question " + n + "\\cell {\\b answer}\\cell\\cell\\row";
    p.html += "<tr><td width=\"96\">" + QString::fromLatin1(n) + "</td><td width=\"192\">question " +
              QString::fromLatin1(n) + "</td><td colspan=\"2\" width=\"288\"><b>answer</b></td></tr>";
  }
  p.rtf += "\\pard\\par}";
  p.html += "</table>";
  return p;
}

Page paragraphs(int count) {
  Page p;
  p.rtf = "{\\rtf1\\ansi\\ansicpg936\\fs24 ";
  p.html = "<html><body>";
  for (int i = 0; i < count; ++i) {
    const QByteArray n = QByteArray::number(i);
    p.rtf += "\\pard\\sa120 Paragraph " + n + " with {\\b bold} and {\\i italic} words.\\par\n";
    p.html += "<p style=\"margin-bottom:8px\">Paragraph " + QString::fromLatin1(n) +
              " with <b>bold</b> and <i>italic</i> words.</p>";
  }
  p.rtf += "}";
  p.html += "</body></html>";
  return p;
}

// Processor seconds to show a page in a fresh view, laid out to its end.
double timeToShow(const std::function<void(QTextBrowser*)>& load) {
  QTextBrowser view;
  view.resize(800, 600);
  view.document()->setTextWidth(780);
  const std::clock_t start = std::clock();
  load(&view);
  (void)view.document()->documentLayout()->documentSize();
  (void)view.document()->size();
  return double(std::clock() - start) / CLOCKS_PER_SEC;
}

void compare(const char* name, const Page& page) {
  const double ours = timeToShow([&](QTextBrowser* v) { showTextBytes(v, page.rtf); });
  const double html = timeToShow([&](QTextBrowser* v) { v->setHtml(page.html); });
  std::printf("%-24s ours %8.3f s   setHtml %8.3f s   ratio %5.2f\n", name, ours, html, html > 0 ? ours / html : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int rows = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int count = argc > 2 ? std::atoi(argv[2]) : 100000;
  compare(qPrintable(QStringLiteral("table, %1 rows").arg(rows)), table(rows));
  compare(qPrintable(QStringLiteral("page, %1 paragraphs").arg(count)), paragraphs(count));
  return 0;
}
