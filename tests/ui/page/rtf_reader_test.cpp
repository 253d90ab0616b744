#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>

#include "page/rtf_reader.h"
#include "page/text_view.h"

namespace {

// A document header as word processors write it for code page 936.
const QByteArray kHead =
    "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
    "{\\f1\\fswiss Arial;}}{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}"
    "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1\\pard\\f0\\fs18 ";

QString plainOf(const QByteArray& rtf) {
  QTextDocument doc;
  doc.setHtml(rtfToHtml(rtf));
  return doc.toPlainText();
}

// The char format of the first character of `needle` in the document.
QTextCharFormat formatAt(const QTextDocument& doc, const QString& needle) {
  const QTextCursor found = doc.find(needle);
  if (found.isNull()) return {};
  QTextCursor c(const_cast<QTextDocument*>(&doc));
  c.setPosition(found.selectionStart() + 1);  // the format of the char before the cursor
  return c.charFormat();
}

}  // namespace

class RtfReaderTest : public QObject {
  Q_OBJECT

 private slots:
  void plainText_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    QTest::newRow("tables and generator are not text")
        << kHead + "Hello\\par}" << QStringLiteral("Hello");
    QTest::newRow("paragraphs, lines and tabs")
        << kHead + "one\\par two\\line three\\tab four\\par}"
        << QStringLiteral("one\ntwo\nthree\tfour");
    QTest::newRow("source line ends are not text")
        << QByteArray("{\\rtf1 a\r\nb\nc\\par}") << QStringLiteral("abc");
    QTest::newRow("escaped braces and backslash")
        << QByteArray("{\\rtf1 \\{x\\}\\\\y}") << QStringLiteral("{x}\\y");
    QTest::newRow("hex bytes are GBK pairs")
        << kHead + "\\'d6\\'d0\\'ce\\'c4\\par}" << QStringLiteral("中文");
    QTest::newRow("raw GBK bytes in the text")
        << QByteArray("{\\rtf1\\ansicpg936 \xc6\xc0\xd3\xef}") << QStringLiteral("评语");
    QTest::newRow("GBK pair split over a format change still decodes by pairs")
        << QByteArray("{\\rtf1 \\'d6\\'d0{\\b \\'ce\\'c4}}") << QStringLiteral("中文");
    QTest::newRow("unicode with one fallback char")
        << QByteArray("{\\rtf1 a\\u20013?b}") << QStringLiteral("a中b");
    QTest::newRow("unicode fallback of two hex bytes")
        << QByteArray("{\\rtf1\\uc2 \\u20013\\'d6\\'d0x}") << QStringLiteral("中x");
    QTest::newRow("uc0: nothing skipped")
        << QByteArray("{\\rtf1\\uc0 \\u65 B}") << QStringLiteral("AB");
    QTest::newRow("negative unicode parameter")
        << QByteArray("{\\rtf1 \\u-3913?}") << QString(QChar(0xF0B7));
    QTest::newRow("fallback stops at a group end")
        << QByteArray("{\\rtf1\\uc3 {\\u20013}x}") << QStringLiteral("中x");
    QTest::newRow("ucN is scoped to its group")
        << QByteArray("{\\rtf1 {\\uc2 \\u65 xy}\\u66 zw}") << QStringLiteral("ABw");
    QTest::newRow("ignorable destinations dropped")
        << QByteArray("{\\rtf1 a{\\*\\unknownthing secret {nested}}b}") << QStringLiteral("ab");
    QTest::newRow("field result kept, instruction dropped")
        << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt see}}}")
        << QStringLiteral("see");
    QTest::newRow("binary data skipped")
        << QByteArray("{\\rtf1 a{\\pict\\bin4 }}}}}b}") << QStringLiteral("ab");
    QTest::newRow("special characters")
        << QByteArray("{\\rtf1 a\\~b\\emdash\\lquote c\\rquote}")
        << QStringLiteral("a b\u2014\u2018c\u2019");
    QTest::newRow("text after the document's end ignored")
        << QByteArray("{\\rtf1 in}out") << QStringLiteral("in");
    QTest::newRow("markup-looking text stays text")
        << QByteArray("{\\rtf1 <b>&amp;</b>}") << QStringLiteral("<b>&amp;</b>");
    QTest::newRow("blanks kept")
        << QByteArray("{\\rtf1   two  spaces}") << QStringLiteral("  two  spaces");
  }

  void plainText() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(plainOf(rtf), expected);
  }

  void formats_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<QColor>("colour");  // invalid: no colour set
    QTest::addColumn<double>("points");  // 0: no size set

    const QColor none;
    const QByteArray doc = kHead +
        "plain \\b bold\\b0  \\i italic\\i0  \\ul under\\ulnone  \\cf1 red\\cf0  \\cf2 green\\cf0 "
        " \\fs21 small\\fs18  {\\b\\i\\ul\\cf1 every} after \\b x\\plain  reset \\cf9 nocolour}";
    QTest::newRow("plain") << doc << "plain" << false << false << false << none << 9.0;
    QTest::newRow("bold") << doc << "bold" << true << false << false << none << 9.0;
    QTest::newRow("italic") << doc << "italic" << false << true << false << none << 9.0;
    QTest::newRow("underline") << doc << "under" << false << false << true << none << 9.0;
    QTest::newRow("colour 1") << doc << "red" << false << false << false << QColor(255, 0, 0) << 9.0;
    QTest::newRow("colour 2") << doc << "green" << false << false << false << QColor(0, 128, 0) << 9.0;
    QTest::newRow("half points") << doc << "small" << false << false << false << none << 10.5;
    QTest::newRow("group sets all") << doc << "every" << true << true << true << QColor(255, 0, 0) << 9.0;
    QTest::newRow("group end restores") << doc << "after" << false << false << false << none << 9.0;
    QTest::newRow("plain resets") << doc << "reset" << false << false << false << none << 0.0;
    QTest::newRow("colour beyond the table") << doc << "nocolour" << false << false << false << none << 0.0;
    QTest::newRow("nested groups")
        << QByteArray("{\\rtf1 a{\\b b{\\i c}d}e}") << "c" << true << true << false << none << 0.0;
    QTest::newRow("outer of nested")
        << QByteArray("{\\rtf1 a{\\b b{\\i c}d}e}") << "d" << true << false << false << none << 0.0;
    QTest::newRow("after nested") << QByteArray("{\\rtf1 a{\\b b{\\i c}d}e}") << "e" << false
                                  << false << false << none << 0.0;
    QTest::newRow("GBK text bold")
        << QByteArray("{\\rtf1 x{\\b\\fs32 \\'d6\\'d0}}") << "中" << true << false << false << none << 16.0;
  }

  void formats() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, needle);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(bool, underline);
    QFETCH(QColor, colour);
    QFETCH(double, points);

    QTextDocument doc;
    doc.setHtml(rtfToHtml(rtf));
    QVERIFY2(!doc.find(needle).isNull(), qPrintable(doc.toPlainText()));
    const QTextCharFormat f = formatAt(doc, needle);
    QCOMPARE(f.fontWeight() >= QFont::Bold, bold);
    QCOMPARE(f.fontItalic(), italic);
    QCOMPARE(f.fontUnderline(), underline);
    QCOMPARE(f.hasProperty(QTextFormat::ForegroundBrush), colour.isValid());
    if (colour.isValid()) QCOMPARE(f.foreground().color(), colour);
    QCOMPARE(f.hasProperty(QTextFormat::FontPointSize), points > 0);
    if (points > 0) QCOMPARE(f.fontPointSize(), points);
  }

  void alignment() {
    const Qt::Alignment kSides = Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter | Qt::AlignJustify;
    QTextDocument doc;
    doc.setHtml(rtfToHtml("{\\rtf1\\qc centred\\par\\pard left\\par {\\qr right\\par}}"));
    QCOMPARE(doc.blockCount(), 3);
    QCOMPARE(doc.findBlockByNumber(0).blockFormat().alignment() & kSides, Qt::AlignHCenter);
    QCOMPARE(doc.findBlockByNumber(1).blockFormat().alignment() & kSides, Qt::AlignLeft);
    QCOMPARE(doc.findBlockByNumber(2).blockFormat().alignment() & kSides, Qt::AlignRight);
  }

  void emptyParagraphsKept() {
    QCOMPARE(plainOf("{\\rtf1 a\\par\\par b\\par}"), QStringLiteral("a\n\nb"));
  }

  // Every prefix of a real document: no crash, and what is shown is the
  // start of the full text.
  void truncatedDocuments() {
    const QByteArray full = kHead + "\\b \\'d6\\'d0\\b0 text\\par {\\i more \\u20013?}\\par}";
    const QString whole = plainOf(full);
    QCOMPARE(whole, QStringLiteral("中text\nmore 中"));
    for (qsizetype n = 0; n <= full.size(); ++n) {
      QString shown = plainOf(full.left(n));
      if (shown.endsWith(QChar::ReplacementCharacter)) shown.chop(1);  // half of a GBK pair
      QVERIFY2(whole.startsWith(shown.left(shown.size() - 1)),
               qPrintable(QStringLiteral("prefix %1: %2 %3").arg(n).arg(shown).arg(shown.size())));
    }
  }

  void hostileInput_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::newRow("deep nesting") << QByteArray("{\\rtf1 ") + QByteArray(200000, '{') + "x";
    QTest::newRow("deep nesting closed") << QByteArray("{\\rtf1 ") + QByteArray(5000, '{') + "x" +
                                                QByteArray(5000, '}') + "y}";
    QTest::newRow("unbalanced closes") << QByteArray("}}}}{\\rtf1 x}}}}");
    QTest::newRow("backslash at end") << QByteArray("{\\rtf1 x\\");
    QTest::newRow("hex at end") << QByteArray("{\\rtf1 x\\'");
    QTest::newRow("half hex at end") << QByteArray("{\\rtf1 x\\'d");
    QTest::newRow("bad hex") << QByteArray("{\\rtf1 \\'zz\\'g1}");
    QTest::newRow("huge parameters") << QByteArray("{\\rtf1 \\u99999999999999999999\\fs-99999999999 "
                                                   "\\cf2147483647 \\uc2147483647 x\\bin99999999999}");
    QTest::newRow("huge binary") << QByteArray("{\\rtf1 \\bin2147483647 x}");
    QTest::newRow("endless word") << QByteArray("{\\rtf1 \\") + QByteArray(100000, 'a') + "1 x}";
    QTest::newRow("colour table junk") << QByteArray("{\\rtf1{\\colortbl\\red999\\green-5;;;\\'ff}\\cf3 x}");
    QTest::newRow("lone lead byte") << QByteArray("{\\rtf1 \\'d6}");
    QTest::newRow("nul bytes") << QByteArray("{\\rtf1 a\0b\\\0c}", 13);

    QRandomGenerator rng(20261210);
    const char alphabet[] = "{}\\'*;0123456789abuclfs -\xd6\xd0\r\n";
    for (int i = 0; i < 20; ++i) {
      QByteArray junk("{\\rtf1 ");
      for (int k = 0; k < 400; ++k) junk.append(alphabet[rng.bounded(int(sizeof alphabet - 1))]);
      QTest::newRow(qPrintable(QStringLiteral("random %1").arg(i))) << junk;
    }
  }

  void hostileInput() {
    QFETCH(QByteArray, rtf);
    QTextDocument doc;
    doc.setHtml(rtfToHtml(rtf));  // must return, whatever the input
    QVERIFY(doc.characterCount() >= 1);
  }

  void loadTextFile_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("rich");
    QTest::newRow("rtf") << QByteArray("{\\rtf1 {\\b \\'d6\\'d0}\\par}") << QStringLiteral("中") << true;
    QTest::newRow("gbk text") << QByteArray("\xd6\xd0\xce\xc4\r\n<b>x</b>") << QStringLiteral("中文\n<b>x</b>")
                              << false;
    QTest::newRow("rtf not at the start is text")
        << QByteArray(" {\\rtf1 x}") << QStringLiteral(" {\\rtf1 x}") << false;
    QTest::newRow("lone CR and LF end lines") << QByteArray("a\rb\nc") << QStringLiteral("a\nb\nc") << false;
    QTest::newRow("empty file") << QByteArray() << QString() << false;
  }

  void loadTextFile() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QFETCH(bool, rich);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    QTextBrowser view;
    view.setPlainText(QStringLiteral("old"));
    QVERIFY(::loadTextFile(&view, path));
    QCOMPARE(view.toPlainText(), expected);
    if (rich) QVERIFY(formatAt(*view.document(), expected).fontWeight() >= QFont::Bold);
  }

  void loadMissingFile() {
    QTemporaryDir dir;
    QTextBrowser view;
    view.setPlainText(QStringLiteral("old"));
    QVERIFY(!::loadTextFile(&view, dir.filePath(QStringLiteral("none.rtf"))));
    QVERIFY(!::loadTextFile(&view, dir.path()));  // a folder is not a file
    QCOMPARE(view.toPlainText(), QStringLiteral("old"));
  }
};

QTEST_MAIN(RtfReaderTest)
#include "rtf_reader_test.moc"
