// The RTF reader on pages written by real word processors (see
// rtf_fixtures/README.md): each item a teacher puts on a page is in the
// document built from each writer's output.
#include <QFile>
#include <QTest>

#include "page/rtf_test_support.h"

using namespace rtftest;

namespace {

QByteArray fixture(const QString& name) {
  QFile file(QStringLiteral(QZT_RTF_FIXTURES "/") + name);
  if (!file.open(QIODevice::ReadOnly)) qFatal("missing fixture %s", qPrintable(name));
  return file.readAll();
}

// Raised by either means writers use: a superscript or a baseline offset.
bool raised(const QTextCharFormat& f) {
  return f.verticalAlignment() == QTextCharFormat::AlignSuperScript || f.baselineOffset() > 0;
}

bool lowered(const QTextCharFormat& f) {
  return f.verticalAlignment() == QTextCharFormat::AlignSubScript || f.baselineOffset() < 0;
}

// The format of the character right after `before`.
QTextCharFormat formatAfter(const QTextDocument& doc, const QString& before) {
  const QTextCursor found = doc.find(before);
  if (found.isNull()) return {};
  QTextCursor c(const_cast<QTextDocument*>(&doc));
  c.setPosition(found.selectionEnd() + 1);
  return c.charFormat();
}

}  // namespace

class RtfReaderFixturesTest : public QObject {
  Q_OBJECT

  // One row per writer, for tests that need nothing more of a writer.
  void writers() {
    QTest::addColumn<QString>("file");
    QTest::newRow("pandoc") << "pandoc.rtf";
    QTest::newRow("libreoffice") << "libreoffice.rtf";
  }

 private slots:
  void text_data() { writers(); }
  void text() {
    QFETCH(QString, file);
    const auto doc = read(fixture(file));
    const QString text = doc->toPlainText();
    const QStringList expected = file == "pandoc.rtf"
        ? QStringList{"数学练习", "粗体 与 斜体 和 删除。", "公式：x2 + y1 = 10", "参考 网站。"}
        : QStringList{"物理试题", "公式：E = mc2，水是 H2O。", "参考 网站。"};
    for (const QString& line : expected) QVERIFY2(text.contains(line), qPrintable(line + " in\n" + text));
  }

  void powersAndIndices_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("power");  // the text right before a raised 2
    QTest::addColumn<QString>("index");  // the text right before a lowered digit
    QTest::addColumn<QString>("after");  // text after both, on the line again
    QTest::newRow("pandoc") << "pandoc.rtf" << "x" << "y" << " = 10";
    QTest::newRow("libreoffice") << "libreoffice.rtf" << "E = mc" << "H" << "O";
  }
  void powersAndIndices() {
    QFETCH(QString, file);
    QFETCH(QString, power);
    QFETCH(QString, index);
    QFETCH(QString, after);
    const auto doc = read(fixture(file));
    QVERIFY(raised(formatAfter(*doc, power)));
    QVERIFY(lowered(formatAfter(*doc, index)));
    const QTextCharFormat rest = formatAt(*doc, after);
    QVERIFY(!raised(rest) && !lowered(rest));
  }

  void pictures_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QList<QSizeF>>("shown");  // every picture, in order
    QTest::addColumn<QList<QSize>>("decoded");
    QTest::newRow("pandoc") << "pandoc.rtf" << QList<QSizeF>{QSizeF(800 / 15.0, 40)} << QList<QSize>{QSize(40, 30)};
    QTest::newRow("libreoffice") << "libreoffice.rtf" << QList<QSizeF>{QSizeF(16, 12), QSizeF(24, 16)}
                                 << QList<QSize>{QSize(16, 12), QSize(24, 16)};
  }
  void pictures() {
    QFETCH(QString, file);
    QFETCH(QList<QSizeF>, shown);
    QFETCH(QList<QSize>, decoded);
    const auto doc = read(fixture(file));
    QList<QSizeF> shownSizes;
    QList<QSize> decodedSizes;
    for (const QTextImageFormat& image : images(*doc)) {
      shownSizes << QSizeF(image.width(), image.height());
      decodedSizes << imageOf(*doc, image).size();
    }
    QCOMPARE(shownSizes, shown);
    QCOMPARE(decodedSizes, decoded);
  }

  void tables_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QList<double>>("widths");
    QTest::addColumn<bool>("borders");
    QTest::newRow("pandoc") << "pandoc.rtf" << QList<double>{288, 288} << true;
    QTest::newRow("libreoffice") << "libreoffice.rtf" << QList<double>{105, 205} << true;
  }
  void tables() {
    QFETCH(QString, file);
    QFETCH(QList<double>, widths);
    QFETCH(bool, borders);
    const auto doc = read(fixture(file));
    QCOMPARE(tablesIn(*doc).size(), std::size_t{1});
    QTextTable* table = tablesIn(*doc).front();
    QCOMPARE(table->rows(), 3);
    QCOMPARE(table->columns(), 2);
    const QStringList texts{"题号", "答案", "1", "甲", "2", "乙"};
    for (int i = 0; i < 6; ++i) QCOMPARE(cellText(table, i / 2, i % 2), texts[i]);
    QList<double> shown;
    for (const QTextLength& w : table->format().columnWidthConstraints()) shown << w.rawValue();
    QCOMPARE(shown, widths);
    const QTextTableCellFormat first = table->cellAt(0, 0).format().toTableCellFormat();
    QCOMPARE(first.bottomBorder() > 0, borders);
  }

  void lists_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("items");  // marker, tab, text: one block each
    QTest::newRow("pandoc") << "pandoc.rtf" << QStringList{"•\t第一项", "•\t第二项", "1.\t一", "2.\t二"};
    // LibreOffice writes a blank before the numbers.
    QTest::newRow("libreoffice") << "libreoffice.rtf" << QStringList{"•\t第一项", "•\t第二项", " 1.\t一", " 2.\t二"};
  }
  // The marker sits at the first line's start and the tab takes the text to
  // the indent of the lines below: the item's text is right beside it.
  void lists() {
    QFETCH(QString, file);
    QFETCH(QStringList, items);
    const auto doc = read(fixture(file));
    for (const QString& item : items) {
      const QTextBlock block = blockOf(*doc, item);
      QVERIFY2(block.isValid(), qPrintable(item));
      QCOMPARE(block.text(), item);
      const QTextBlockFormat f = block.blockFormat();
      QVERIFY(f.textIndent() < 0);
      QVERIFY(!f.tabPositions().isEmpty());
      QCOMPARE(f.tabPositions().front().position, -f.textIndent());
    }
  }

  void links_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("target");
    QTest::newRow("pandoc") << "pandoc.rtf" << "http://example.com/a?b=1";
    QTest::newRow("libreoffice") << "libreoffice.rtf" << "http://example.com/b";
  }
  void links() {
    QFETCH(QString, file);
    QFETCH(QString, target);
    const auto doc = read(fixture(file));
    const QTextCharFormat link = formatAt(*doc, "网站");
    QVERIFY(link.isAnchor());
    QCOMPARE(link.anchorHref(), target);
    QVERIFY(link.fontUnderline());
    QVERIFY(!formatAt(*doc, "参考").isAnchor());
  }

  void formats_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<Qt::Alignment>("headingAlignment");
    QTest::addColumn<QString>("bold");
    QTest::newRow("pandoc") << "pandoc.rtf" << "数学练习" << Qt::Alignment(Qt::AlignLeft) << "粗体";
    QTest::newRow("libreoffice") << "libreoffice.rtf" << "物理试题" << Qt::Alignment(Qt::AlignHCenter) << "乙";
  }
  void formats() {
    QFETCH(QString, file);
    QFETCH(QString, heading);
    QFETCH(Qt::Alignment, headingAlignment);
    QFETCH(QString, bold);
    const auto doc = read(fixture(file));
    QCOMPARE(blockOf(*doc, heading).blockFormat().alignment() & Qt::AlignHorizontal_Mask, headingAlignment);
    QVERIFY(formatAt(*doc, heading).fontWeight() >= QFont::Bold);
    QVERIFY(formatAt(*doc, heading).fontPointSize() >= 14);
    QVERIFY(formatAt(*doc, bold).fontWeight() >= QFont::Bold);
  }

  // A header merged across two parts above a column merged down, as the
  // writer draws them: real spans, nothing covered left in place.
  void layoutMergedTable() {
    const auto doc = read(fixture("libreoffice_layout.rtf"));
    QCOMPARE(tablesIn(*doc).size(), std::size_t{1});
    QTextTable* table = tablesIn(*doc).front();
    QCOMPARE(table->rows(), 3);
    QCOMPARE(table->columns(), 3);
    const QTextTableCell number = table->cellAt(0, 0);
    const QTextTableCell score = table->cellAt(0, 1);
    QCOMPARE(cellText(table, 0, 0), QStringLiteral("题号"));
    QCOMPARE(QList<int>({number.rowSpan(), number.columnSpan()}), QList<int>({2, 1}));
    QCOMPARE(cellText(table, 0, 1), QStringLiteral("得分"));
    QCOMPARE(QList<int>({score.rowSpan(), score.columnSpan()}), QList<int>({1, 2}));
    QCOMPARE(table->cellAt(1, 0), number);
    QCOMPARE(cellText(table, 1, 1) + cellText(table, 1, 2), QStringLiteral("甲部乙部"));
    QVERIFY(formatAt(*doc, "得分").fontWeight() < QFont::Bold);
  }

  // Shapes in flow: the text box's text on its own line, the floating
  // picture at the shape's size, once each.
  void layoutShapes() {
    const auto doc = read(fixture("libreoffice_layout.rtf"));
    const QString text = doc->toPlainText();
    QCOMPARE(text.count(QStringLiteral("方框里的字")), 1);
    QCOMPARE(blockOf(*doc, "方框里的字").text(), QStringLiteral("方框里的字"));
    const std::vector<QTextImageFormat> found = images(*doc);
    QCOMPARE(found.size(), std::size_t{1});  // the shape's picture, not its fill as well
    QCOMPARE(qRound(found[0].width()), 57);  // 1.5 cm
    QCOMPARE(qRound(found[0].height()), 38);  // 1 cm
    QCOMPARE(imageOf(*doc, found[0]).size(), QSize(40, 30));
  }

  // The equation's linear text, with its power and index raised and lowered.
  void layoutEquation() {
    const auto doc = read(fixture("libreoffice_layout.rtf"));
    QCOMPARE(blockOf(*doc, "公式").text(), QStringLiteral("公式：x2+1/y=a1。"));
    QCOMPARE(formatAfter(*doc, "公式：x").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    QCOMPARE(formatAfter(*doc, "=a").verticalAlignment(), QTextCharFormat::AlignSubScript);
    QCOMPARE(formatAt(*doc, "+1/y").verticalAlignment(), QTextCharFormat::AlignNormal);
  }

  void layoutBookmarkLink() {
    const auto doc = read(fixture("libreoffice_layout.rtf"));
    QCOMPARE(formatAt(*doc, "答案。").anchorHref(), QStringLiteral("#answers"));
    QCOMPARE(formatAt(*doc, "答案在此").anchorNames(), QStringList{"answers"});
  }

  // Every prefix of each writer's page (a download cut short) reads and lays
  // out; long pages in steps.
  void truncated_data() {
    writers();
    QTest::newRow("libreoffice layout") << "libreoffice_layout.rtf";
  }
  void truncated() {
    QFETCH(QString, file);
    const QByteArray whole = fixture(file);
    const qsizetype step = std::max<qsizetype>(1, whole.size() / 2000);
    for (qsizetype n = 0; n <= whole.size(); n += step) {
      const auto doc = read(whole.left(n));
      doc->setTextWidth(500);
      QVERIFY(doc->size().height() > 0);
    }
  }
};

QTEST_MAIN(RtfReaderFixturesTest)
#include "rtf_reader_fixtures_test.moc"
