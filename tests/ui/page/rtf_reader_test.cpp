// The RTF reader on documents written for the case at hand: text and code
// pages, character and paragraph formats, tables, pictures, fields, and
// input meant to break it. Documents from real writers are in
// rtf_reader_fixtures_test.cpp.
#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>
#include <QTest>

#include <iterator>

#include "page/rtf_test_support.h"

using namespace rtftest;

namespace {

// A document header as word processors write it for code page 936.
const QByteArray kHead =
    "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
    "{\\f1\\fswiss Arial;}}{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}"
    "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1\\pard\\f0\\fs18 ";

QString plainOf(const QByteArray& rtf) { return read(rtf)->toPlainText(); }

// Where a placeholder is drawn: its frame.
const QColor kFrame(0x80, 0x80, 0x80);

// A picture of one colour in a format, as writers embed them.
QByteArray encoded(int width, int height, const char* format) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(QColor(255, 0, 255));
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return buffer.data();
}

quint32 crc32(const QByteArray& bytes) {
  quint32 c = 0xFFFFFFFF;
  for (const char b : bytes) {
    c ^= static_cast<unsigned char>(b);
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
  }
  return ~c;
}

QByteArray bigEndian(quint32 v) {
  const char bytes[] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
  return QByteArray(bytes, 4);
}

// The start of a PNG stating its size, with a right checksum, so only the
// size can be refused.
QByteArray pngHeader(quint32 width, quint32 height) {
  const QByteArray chunk = "IHDR" + bigEndian(width) + bigEndian(height) + QByteArray("\x08\x02\0\0\0", 5);
  return "\x89PNG\r\n\x1a\n" + bigEndian(13) + chunk + bigEndian(crc32(chunk));
}

// Counts how often the document asks its layout to lay out text it holds;
// a change to the empty document costs nothing and is not counted.
class CountingLayout : public QAbstractTextDocumentLayout {
 public:
  explicit CountingLayout(QTextDocument* doc) : QAbstractTextDocumentLayout(doc) {}
  int passes = 0;

  void draw(QPainter*, const PaintContext&) override {}
  int hitTest(const QPointF&, Qt::HitTestAccuracy) const override { return -1; }
  int pageCount() const override { return 1; }
  QSizeF documentSize() const override { return {}; }
  QRectF frameBoundingRect(QTextFrame*) const override { return {}; }
  QRectF blockBoundingRect(const QTextBlock&) const override { return {}; }

 protected:
  void documentChanged(int, int, int) override {
    if (document()->characterCount() > 1) ++passes;
  }
};

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
    QTest::newRow("raw GBK characters whose second byte is a backslash or brace")
        << QByteArray("{\\rtf1\\ansicpg936 \x95\\\xb4\x7b\\par x}") << QStringLiteral("昞磠\nx");
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
    QTest::newRow("binary data is the picture's, not text")
        << QByteArray("{\\rtf1 a{\\pict\\bin4 }}}}}b}") << QStringLiteral("a\uFFFCb");
    QTest::newRow("text before a picture in its group stays")
        << QByteArray("{\\rtf1 {ab\\pict\\pngblip 00}c}") << QStringLiteral("ab\uFFFCc");
    QTest::newRow("special characters")
        << QByteArray("{\\rtf1 a\\~b\\emdash\\lquote c\\rquote}")
        << QStringLiteral("a b\u2014\u2018c\u2019");
    QTest::newRow("text after the document's end ignored")
        << QByteArray("{\\rtf1 in}out") << QStringLiteral("in");
    QTest::newRow("markup-looking text stays text")
        << QByteArray("{\\rtf1 <b>&amp;</b>}") << QStringLiteral("<b>&amp;</b>");
    QTest::newRow("blanks kept")
        << QByteArray("{\\rtf1   two  spaces}") << QStringLiteral("  two  spaces");
    QTest::newRow("hidden text left out")
        << QByteArray("{\\rtf1 a{\\v hidden}b\\v c\\v0 d}") << QStringLiteral("abd");
    QTest::newRow("page and section breaks end paragraphs")
        << QByteArray("{\\rtf1 a\\page b\\sect c}") << QStringLiteral("a\nb\nc");
    QTest::newRow("list text stays beside its item")
        << QByteArray("{\\rtf1{\\listtext\\pard\\plain 1.\\tab}item\\par}") << QStringLiteral("1.\titem");
    QTest::newRow("other fields show their result")
        << QByteArray("{\\rtf1 p{\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}}") << QStringLiteral("p7");
    QTest::newRow("SYMBOL fields show their character")
        << QByteArray("{\\rtf1 a{\\field{\\*\\fldinst SYMBOL 183 \\\\f \"Symbol\" \\\\s 10}{\\fldrslt }}"
                      "{\\field{\\*\\fldinst SYMBOL 8805 \\\\u}}{\\field{\\*\\fldinst SYMBOL 65}{\\fldrslt B}}}")
        << QStringLiteral("a\u2022\u2265B");
    QTest::newRow("an object shows its result, not its data")
        << QByteArray("{\\rtf1 a{\\object\\objemb{\\*\\objclass Equation.3}{\\objdata 0102}"
                      "{\\result b}}c}")
        << QStringLiteral("abc");
    QTest::newRow("font names and styles are not text")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\stylesheet{\\s1 Heading;}}x}") << QStringLiteral("x");
    // Code pages: the document's \ansicpg, a font's \fcharset over it.
    QTest::newRow("1252 named by the document")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9}") << QStringLiteral("café");
    QTest::newRow("Big5 named by the document")
        << QByteArray("{\\rtf1\\ansicpg950 \\'a4\\'a4\\'a4\\'e5}") << QStringLiteral("中文");
    QTest::newRow("a font's charset over the document's code page")
        << QByteArray("{\\rtf1\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset136 MingLiU;}"
                      "{\\f2\\fcharset134 SimSun;}}\\f0 \\'e9\\f1 \\'a4\\'a4\\f2 \\'d6\\'d0\\f0 \\'e9}")
        << QStringLiteral("é中中é");
    QTest::newRow("Cyrillic charset")
        << QByteArray("{\\rtf1\\ansicpg1252{\\fonttbl{\\f0\\fcharset204 Arial;}}\\f0\\'cf\\'f0}")
        << QStringLiteral("Пр");
    QTest::newRow("the default font's charset")
        << QByteArray("{\\rtf1\\ansicpg1252\\deff1{\\fonttbl{\\f0 A;}{\\f1\\fcharset134 B;}}\\'d6\\'d0}")
        << QStringLiteral("中");
    QTest::newRow("a Latin font in a Chinese document")
        << QByteArray("{\\rtf1\\ansicpg936{\\fonttbl{\\f0\\fcharset0 Times;}{\\f1\\fcharset134 SimSun;}}"
                      "\\f0\\'abT\\'bb \\'b1\\'ae\\f1\\'d6\\'d0}")
        << QStringLiteral("«T» ±®中");
    QTest::newRow("a font without a charset keeps the document's")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Song;}}\\f0\\'d6\\'d0}") << QStringLiteral("中");
    QTest::newRow("a font's cpg over its charset")
        << QByteArray("{\\rtf1\\ansicpg936{\\fonttbl{\\f0\\fcharset0\\cpg1251 Arial;}}\\f0\\'c8\\'ec\\'ff}")
        << QStringLiteral("Имя");
    QTest::newRow("pc: the IBM PC code page")
        << QByteArray("{\\rtf1\\pc \\'82\\'f1}") << QStringLiteral("é±");
    QTest::newRow("text boxes in flow on their own lines, once")
        << QByteArray("{\\rtf1 a{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 202}}{\\shptxt\\pard box\\par two\\par}}"
                      "{\\shprslt{\\*\\do\\dptxbx{\\dptxbxtext\\pard box\\par}}}}b\\par}")
        << QStringLiteral("a\nbox\ntwo\nb");
    QTest::newRow("a drawing object's text box")
        << QByteArray("{\\rtf1 a\\par{\\*\\do\\dobxpage\\dptxbx{\\dptxbxtext\\pard box}\\dpx0}b}")
        << QStringLiteral("a\nbox\nb");
    // Equations as linear text; scripts are formats, tested with the fixtures.
    QTest::newRow("equation: fractions bracket terms of more than one")
        << QByteArray("{\\rtf1 {\\mmath{\\*\\moMath{\\mf{\\mfPr{\\mtype lin}}{\\mnum{\\mr a+b}}{\\mden{\\mr 2}}}}"
                      "{\\mmathPict{\\*\\shppict{\\pict\\pngblip 00}}}}}")
        << QStringLiteral("(a+b)/2");
    QTest::newRow("equation: radicals, delimiters, n-ary operators, functions, accents")
        << QByteArray("{\\rtf1 {\\mmath{\\*\\moMath{\\mrad{\\mdeg{\\mr 3}}{\\me{\\mr x+1}}}"
                      "{\\md{\\mdPr{\\mbegChr [}{\\mendChr ]}{\\msepChr ,}}{\\me{\\mr a}}{\\me{\\mr b}}}"
                      "{\\mnary{\\mnaryPr{\\mchr \\u8721?}}{\\msub{\\mr i}}{\\msup{\\mr n}}{\\me{\\mr i}}}"
                      "{\\mnary{\\msub{\\mr 0}}{\\me{\\mr f}}}{\\mfunc{\\mfName{\\mr sin}}{\\me{\\mr x}}}"
                      "{\\macc{\\maccPr{\\mchr \\u773?}}{\\me{\\mr v}}}}}}")
        << QStringLiteral("3\u221a(x+1)[a,b]\u2211ini\u222b0fsin xv\u0305");
    QTest::newRow("equation: groups marked ignorable are read, math properties are not text")
        << QByteArray("{\\rtf1{\\*\\mmathPr\\mdispDef1{\\mmathFont 0}}a{\\*\\mmath{\\*\\moMath{\\*\\msSup{\\*\\msSupPr"
                      "{\\*\\mctrlPr\\i}}{\\*\\me{\\mr x}}{\\*\\msup{\\mr 2}}}}}b}")
        << QStringLiteral("ax2b");
    QTest::newRow("footnotes at the end of the page, below a rule, with their numbers")
        << QByteArray("{\\rtf1 a{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} one\\par more}b\\par "
                      "c{\\super\\chftn}{\\footnote\\pard{\\super\\chftn} two}\\par}")
        << QStringLiteral("a1b\nc2\n\n1 one\nmore\n2 two");
    QTest::newRow("a footnote left open ends with the page")
        << QByteArray("{\\rtf1 a{\\footnote\\pard n") << QStringLiteral("a\n\nn");
    QTest::newRow("shape properties are not text")
        << QByteArray("{\\rtf1 a{\\shp{\\*\\shpinst{\\sp{\\sn fFilled}{\\sv 0}}}}{\\sp{\\sn shapeType}{\\sv 1}}b}")
        << QStringLiteral("ab");
    QTest::newRow("a code page this reader cannot decode is GBK")
        << QByteArray("{\\rtf1\\ansicpg12345 \\'d6\\'d0}") << QStringLiteral("中");
    QTest::newRow("a symbol font's bullet")
        << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset2 Symbol;}}{\\f1\\'b7}\\tab x}") << QStringLiteral("•\tx");
  }

  void plainText() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(plainOf(rtf), expected);
  }

  // List markers the writer left out of the text, made from the list
  // tables or legacy numbering and counted as the writer counts them.
  void listMarkers_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("paragraphs");

    QTest::newRow("numbers, with a level below that starts over")
        << QByteArray("\\pard\\ls1 a\\par\\pard\\ls1\\ilvl1 b\\par\\pard\\ls1\\ilvl1 c\\par"
                      "\\pard\\ls1 d\\par\\pard\\ls1\\ilvl1 e\\par")
        << QStringList{"1.\ta", "(a)\tb", "(b)\tc", "2.\td", "(a)\te"};
    QTest::newRow("a bullet in a symbol font, as \\uN")
        << QByteArray("\\pard\\ls2 a\\par\\ls2 b\\par") << QStringList{"\u2022\ta", "\u2022\tb"};
    QTest::newRow("roman chapters, legal sections with leading zeros")
        << QByteArray("\\pard\\ls3 a\\par\\pard\\ls3\\ilvl1 b\\par\\pard\\ls3\\ilvl1 c\\par\\pard\\ls3 d\\par")
        << QStringList{"I.\ta", "Section 1.01\tb", "Section 1.02\tc", "II.\td"};
    QTest::newRow("Chinese counting, a start and a blank after")
        << QByteArray("\\pard\\ls4 a\\par\\pard\\ls4 b\\par") << QStringList{"九、 a", "十、 b"};
    QTest::newRow("two overrides of one list count on together")
        << QByteArray("\\pard\\ls1 a\\par\\pard\\ls5 b\\par") << QStringList{"1.\ta", "2.\tb"};
    QTest::newRow("a marker the writer wrote is the one shown, and counts nothing")
        << QByteArray("{\\listtext\\pard 7.\\tab}\\pard\\ls1 a\\par\\pard\\ls1 b\\par")
        << QStringList{"7.\ta", "1.\tb"};
    QTest::newRow("an unknown list, empty items and items in a table have none or their own")
        << QByteArray("\\pard\\ls99 a\\par\\pard\\ls1\\par\\trowd\\cellx1440\\pard\\intbl\\ls1 x\\cell\\row\\pard\\ls1 b\\par")
        << QStringList{"a", "", "1.\tx", "2.\tb"};
    QTest::newRow("legacy numbers, starting over after an unnumbered paragraph")
        << QByteArray("{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart1{\\pntxta .}}a\\par"
                      "\\pard{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart1{\\pntxta .}}b\\par\\pard c\\par"
                      "\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart3{\\pntxtb (}{\\pntxta )}}d\\par")
        << QStringList{"I.\ta", "II.\tb", "c", "(3)\td"};
    QTest::newRow("legacy bullets from a symbol font; pntext wins")
        << QByteArray("{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'b7}}a\\par"
                      "{\\pntext\\f1\\'b7\\tab}\\pard{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'b7}}b\\par")
        << QStringList{"\u2022\ta", "\u2022\tb"};
  }

  void listMarkers() {
    QFETCH(QByteArray, body);
    QFETCH(QStringList, paragraphs);
    // As word processors write list tables: a level's text starts with its
    // length, and \'00..\'08 stand for the levels' numbers.
    const QByteArray head =
        "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 SimSun;}{\\f1\\froman\\fcharset2 Symbol;}}"
        "{\\*\\listtable"
        "{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\leveltemplateid2\\'02\\'00.;}"
        "{\\levelnumbers\\'01;}\\fi-420\\li420}{\\listlevel\\levelnfc4\\levelstartat1{\\leveltext\\'03(\\'01);}"
        "{\\levelnumbers\\'02;}}{\\listname ;}\\listid100}"
        "{\\list\\listsimple{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}\\f1}\\listid200}"
        "{\\list{\\listlevel\\levelnfc1\\levelstartat1{\\leveltext\\'02\\'00.;}}"
        "{\\listlevel\\levelnfc22\\levellegal\\levelstartat1{\\leveltext\\'0bSection \\'00.\\'01;}}\\listid300}"
        "{\\list{\\listlevel\\levelnfc37\\levelstartat9\\levelfollow1{\\leveltext\\'02\\'00\\'a1\\'a2;}}\\listid400}}"
        "{\\*\\listoverridetable{\\listoverride\\listid100\\listoverridecount0\\ls1}"
        "{\\listoverride\\listid200\\ls2}{\\listoverride\\listid300\\ls3}{\\listoverride\\listid400\\ls4}"
        "{\\listoverride\\listid100\\ls5}}";
    QCOMPARE(plainOf(head + body + "}").split(u'\n'), paragraphs);
  }

  void formats_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<QColor>("colour");  // invalid: no colour set
    QTest::addColumn<double>("points");  // text without \fs is at 12 pt

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
    QTest::newRow("plain resets") << doc << "reset" << false << false << false << none << 12.0;
    QTest::newRow("colour beyond the table") << doc << "nocolour" << false << false << false << none << 12.0;
    QTest::newRow("nested groups")
        << QByteArray("{\\rtf1 a{\\b b{\\i c}d}e}") << "c" << true << true << false << none << 12.0;
    QTest::newRow("outer of nested")
        << QByteArray("{\\rtf1 a{\\b b{\\i c}d}e}") << "d" << true << false << false << none << 12.0;
    QTest::newRow("after nested") << QByteArray("{\\rtf1 a{\\b b{\\i c}d}e}") << "e" << false
                                  << false << false << none << 12.0;
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

    const auto doc = read(rtf);
    QVERIFY2(!doc->find(needle).isNull(), qPrintable(doc->toPlainText()));
    const QTextCharFormat f = formatAt(*doc, needle);
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
    const auto doc = read("{\\rtf1\\qc centred\\par\\pard left\\par {\\qr right\\par}}");
    QCOMPARE(doc->blockCount(), 3);
    QCOMPARE(doc->findBlockByNumber(0).blockFormat().alignment() & kSides, Qt::AlignHCenter);
    QCOMPARE(doc->findBlockByNumber(1).blockFormat().alignment() & kSides, Qt::AlignLeft);
    QCOMPARE(doc->findBlockByNumber(2).blockFormat().alignment() & kSides, Qt::AlignRight);
  }

  void emptyParagraphsKept() {
    QCOMPARE(plainOf("{\\rtf1 a\\par\\par b\\par}"), QStringLiteral("a\n\nb"));
  }

  // Formats beyond the basic ones, by the property they set on the text;
  // an invalid expected value means the property is not set.
  void characterFormats_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<int>("property");
    QTest::addColumn<QVariant>("expected");

    const int valign = QTextFormat::TextVerticalAlignment;
    const int offset = QTextFormat::TextBaselineOffset;
    QTest::newRow("superscript") << QByteArray("{\\rtf1 x{\\super 2}}") << "2" << valign
                                 << QVariant(int(QTextCharFormat::AlignSuperScript));
    QTest::newRow("subscript") << QByteArray("{\\rtf1 y{\\sub 1}}") << "1" << valign
                               << QVariant(int(QTextCharFormat::AlignSubScript));
    QTest::newRow("nosupersub ends it") << QByteArray("{\\rtf1 {\\super a\\nosupersub b}}") << "b" << valign
                                        << QVariant();
    QTest::newRow("group end ends it") << QByteArray("{\\rtf1 {\\super a}b}") << "b" << valign << QVariant();
    QTest::newRow("raised by half-points of the size")
        << QByteArray("{\\rtf1\\fs24 E{\\up6 2}}") << "2" << offset << QVariant(25.0);
    QTest::newRow("lowered") << QByteArray("{\\rtf1\\fs20 H{\\dn5 2}O}") << "2" << offset << QVariant(-25.0);
    QTest::newRow("raised by default") << QByteArray("{\\rtf1 a{\\up b}}") << "b" << offset << QVariant(25.0);
    QTest::newRow("up0 ends it") << QByteArray("{\\rtf1 {\\up6 a\\up0 b}}") << "b" << offset << QVariant();
    QTest::newRow("strike") << QByteArray("{\\rtf1 a{\\strike b}}") << "b" << int(QTextFormat::FontStrikeOut)
                            << QVariant(true);
    QTest::newRow("double strike") << QByteArray("{\\rtf1 a{\\striked1 b}}") << "b"
                                   << int(QTextFormat::FontStrikeOut) << QVariant(true);
    QTest::newRow("strike0 ends it") << QByteArray("{\\rtf1 {\\strike a\\strike0 b}}") << "b"
                                     << int(QTextFormat::FontStrikeOut) << QVariant();
    QTest::newRow("small capitals") << QByteArray("{\\rtf1 {\\scaps ab}}") << "a"
                                    << int(QTextFormat::FontCapitalization) << QVariant(int(QFont::SmallCaps));
    QTest::newRow("capitals") << QByteArray("{\\rtf1 {\\caps ab}}") << "a" << int(QTextFormat::FontCapitalization)
                              << QVariant(int(QFont::AllUppercase));
    QTest::newRow("highlight") << QByteArray("{\\rtf1{\\colortbl;\\red255\\green255\\blue0;}a{\\highlight1 b}}")
                               << "b" << int(QTextFormat::BackgroundBrush)
                               << QVariant(QBrush(QColor(255, 255, 0)));
    QTest::newRow("East Asian text: associated bold is its own")
        << QByteArray("{\\rtf1 {\\dbch\\ab \\u20057?}}") << QString("乙") << int(QTextFormat::FontWeight)
        << QVariant(int(QFont::Bold));
    QTest::newRow("other scripts: associated bold is not")
        << QByteArray("{\\rtf1 {\\dbch\\rtlch\\ab\\ltrch x}}") << "x" << int(QTextFormat::FontWeight) << QVariant();
    const QByteArray fonts =
        "{\\rtf1\\deff2{\\fonttbl{\\f0\\froman\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}{\\f1\\fswiss Arial;}"
        "{\\f2\\fnil\\fcharset136 MingLiU;}}\\f0 a\\f1 b\\plain c}";
    const int families = QTextFormat::FontFamilies;
    QTest::newRow("a CJK font falls back to an installed one")
        << fonts << "a" << families << QVariant(QStringList{"宋体", "Noto Serif CJK SC"});
    QTest::newRow("other fonts by name") << fonts << "b" << families << QVariant(QStringList{"Arial"});
    QTest::newRow("plain: the default font")
        << fonts << "c" << families << QVariant(QStringList{"MingLiU", "Noto Sans CJK TC"});
    // Fields: HYPERLINK results are links; nothing else is.
    const int href = QTextFormat::AnchorHref;
    QTest::newRow("hyperlink")
        << QByteArray("{\\rtf1 {\\field{\\*\\fldinst{HYPERLINK \"http://a.example/x?y=1\"}}{\\fldrslt{\\ul go}}}}")
        << "go" << href << QVariant(QStringLiteral("http://a.example/x?y=1"));
    QTest::newRow("hyperlink with a location and a tip")
        << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"http://a/\" \\\\o \"tip\" \\\\l \"part 2\"}"
                      "{\\fldrslt go}}}")
        << "go" << href << QVariant(QStringLiteral("http://a/#part 2"));
    QTest::newRow("hyperlink without quotes, in lower case")
        << QByteArray("{\\rtf1 {\\field{\\*\\fldinst hyperlink www.b.example }{\\fldrslt go}}}") << "go"
        << href << QVariant(QStringLiteral("www.b.example"));
    QTest::newRow("plain inside a link's result")
        << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"http://a/\"}{\\fldrslt {\\plain go}}}}") << "go"
        << href << QVariant(QStringLiteral("http://a/"));
    QTest::newRow("a place in the document is a link to its bookmark")
        << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \\\\l \"top\"}{\\fldrslt go}}}") << "go" << href
        << QVariant("#top");
    QTest::newRow("a bookmark names the text after it")
        << QByteArray("{\\rtf1 a{\\*\\bkmkstart top}{\\*\\bkmkend top}bc}") << "b"
        << int(QTextFormat::AnchorName) << QVariant(QStringList{"top"});
    QTest::newRow("text after a link")
        << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"http://a/\"}{\\fldrslt go}} on}") << "on" << href
        << QVariant();
    QTest::newRow("other fields") << QByteArray("{\\rtf1 {\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}}") << "7" << href
                                  << QVariant();
  }

  void characterFormats() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, needle);
    QFETCH(int, property);
    QFETCH(QVariant, expected);
    const auto doc = read(rtf);
    QVERIFY2(!doc->find(needle).isNull(), qPrintable(doc->toPlainText()));
    QCOMPARE(formatAt(*doc, needle).property(property), expected);
  }

  void paragraphFormats_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<int>("property");
    QTest::addColumn<QVariant>("expected");

    const QByteArray indents = "{\\rtf1\\li720\\ri360\\fi-360\\sb240\\sa120 a\\par\\pard b\\par}";
    QTest::newRow("left indent") << indents << "a" << int(QTextFormat::BlockLeftMargin) << QVariant(48.0);
    QTest::newRow("right indent") << indents << "a" << int(QTextFormat::BlockRightMargin) << QVariant(24.0);
    QTest::newRow("first line") << indents << "a" << int(QTextFormat::TextIndent) << QVariant(-24.0);
    QTest::newRow("space before") << indents << "a" << int(QTextFormat::BlockTopMargin) << QVariant(16.0);
    QTest::newRow("space after") << indents << "a" << int(QTextFormat::BlockBottomMargin) << QVariant(8.0);
    QTest::newRow("pard resets") << indents << "b" << int(QTextFormat::BlockLeftMargin) << QVariant(0.0);
    QTest::newRow("set at the paragraph's end")
        << QByteArray("{\\rtf1 a\\li1440\\par}") << "a" << int(QTextFormat::BlockLeftMargin) << QVariant(96.0);
    QTest::newRow("no hanging left of the margin")
        << QByteArray("{\\rtf1\\li0\\fi-720 a\\par}") << "a" << int(QTextFormat::TextIndent) << QVariant(0.0);
    QTest::newRow("lines of 1.5")
        << QByteArray("{\\rtf1\\sl360\\slmult1 a\\par}") << "a" << int(QTextFormat::LineHeight) << QVariant(150.0);
    QTest::newRow("lines in proportion")
        << QByteArray("{\\rtf1\\sl360\\slmult1 a\\par}") << "a" << int(QTextFormat::LineHeightType)
        << QVariant(int(QTextBlockFormat::ProportionalHeight));
    QTest::newRow("lines exactly")
        << QByteArray("{\\rtf1\\sl-300 a\\par}") << "a" << int(QTextFormat::LineHeightType)
        << QVariant(int(QTextBlockFormat::FixedHeight));
    QTest::newRow("lines at least")
        << QByteArray("{\\rtf1\\sl300 a\\par}") << "a" << int(QTextFormat::LineHeight) << QVariant(20.0);
    QTest::newRow("page break")
        << QByteArray("{\\rtf1 a\\page b}") << "a" << int(QTextFormat::PageBreakPolicy)
        << QVariant(int(QTextFormat::PageBreak_AlwaysAfter));
    QTest::newRow("no page break") << QByteArray("{\\rtf1 a\\page b}") << "b" << int(QTextFormat::PageBreakPolicy)
                                   << QVariant();
  }

  void paragraphFormats() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, needle);
    QFETCH(int, property);
    QFETCH(QVariant, expected);
    const auto doc = read(rtf);
    const QTextBlock block = blockOf(*doc, needle);
    QVERIFY2(block.isValid(), qPrintable(doc->toPlainText()));
    QCOMPARE(block.blockFormat().property(property), expected);
  }

  // Qt measures tab stops from where the line starts, RTF from the margin.
  void tabStops_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QList<QTextOption::Tab>>("expected");
    using Tab = QTextOption::Tab;
    QTest::newRow("none") << QByteArray("{\\rtf1 a\\tab b\\par}") << QList<Tab>{};
    QTest::newRow("one stop") << QByteArray("{\\rtf1\\tx1440 a\\tab b\\par}") << QList<Tab>{Tab(96, QTextOption::LeftTab)};
    QTest::newRow("kinds") << QByteArray("{\\rtf1\\tqr\\tx1440\\tqc\\tx2880\\tqdec\\tx4320\\tx5760 a\\par}")
                           << QList<Tab>{Tab(96, QTextOption::RightTab), Tab(192, QTextOption::CenterTab),
                                         Tab(288, QTextOption::DelimiterTab, u'.'), Tab(384, QTextOption::LeftTab)};
    QTest::newRow("a hanging indent is a stop")
        << QByteArray("{\\rtf1\\li720\\fi-360 1.\\tab a\\par}") << QList<Tab>{Tab(24, QTextOption::LeftTab)};
    QTest::newRow("list as pandoc writes it")
        << QByteArray("{\\rtf1{\\pard\\li360\\fi-360 \\bullet \\tx360\\tab a\\par}}")
        << QList<Tab>{Tab(24, QTextOption::LeftTab)};
    QTest::newRow("stops before the line start are passed")
        << QByteArray("{\\rtf1\\li1440\\tx720\\tx2160 a\\par}") << QList<Tab>{Tab(48, QTextOption::LeftTab)};
  }

  void tabStops() {
    QFETCH(QByteArray, rtf);
    QFETCH(QList<QTextOption::Tab>, expected);
    const auto doc = read(rtf);
    QCOMPARE(doc->firstBlock().blockFormat().tabPositions(), expected);
  }

  void defaultTabWidth() {
    QCOMPARE(read("{\\rtf1 a}")->defaultTextOption().tabStopDistance(), 48.0);
    QCOMPARE(read("{\\rtf1\\deftab360 a}")->defaultTextOption().tabStopDistance(), 24.0);
  }

  // Tables: the texts of every grid cell, row by row (a merged cell shows in
  // each grid cell it covers), the columns' widths in pixels, and the spans
  // of merged cells ("row,column rows×columns") as the layout sees them.
  void tables_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<double>>("widths");
    QTest::addColumn<QStringList>("spans");

    QTest::newRow("two by two")
        << QByteArray("{\\rtf1\\trowd\\cellx1440\\cellx4320\\intbl a\\cell b\\cell\\row"
                      "\\trowd\\cellx1440\\cellx4320\\intbl c\\cell d\\cell\\row}")
        << 2 << 2 << QStringList{"a", "b", "c", "d"} << QList<double>{96, 192} << QStringList{};
    QTest::newRow("a row definition stays for later rows")
        << QByteArray("{\\rtf1\\trowd\\cellx1440\\cellx2880\\intbl a\\cell b\\cell\\row\\intbl c\\cell d\\cell\\row}")
        << 2 << 2 << QStringList{"a", "b", "c", "d"} << QList<double>{96, 96} << QStringList{};
    QTest::newRow("paragraphs in a cell")
        << QByteArray("{\\rtf1\\trowd\\cellx2880\\pard\\intbl one\\par two\\cell\\row}") << 1 << 1
        << QStringList{"one\ntwo"} << QList<double>{192} << QStringList{};
    QTest::newRow("cells written in groups, paragraphs ended")
        << QByteArray("{\\rtf1{\\trowd\\trgaph120\\clbrdrb\\brdrs\\cellx4320\\cellx8640\\trkeep\\intbl"
                      "{{\\pard\\intbl a\\par}\\cell}{{\\pard\\intbl b\\par}\\cell}\\intbl\\row}}")
        << 1 << 2 << QStringList{"a", "b"} << QList<double>{288, 288} << QStringList{};
    QTest::newRow("rows with other edges line up")
        << QByteArray("{\\rtf1\\trowd\\cellx1440\\cellx2880\\intbl a\\cell b\\cell\\row"
                      "\\trowd\\cellx2880\\intbl c\\cell\\row}")
        << 2 << 2 << QStringList{"a", "b", "c", "c"} << QList<double>{96, 96} << QStringList{"1,0 1×2"};
    QTest::newRow("a header over two parts")
        << QByteArray("{\\rtf1\\trowd\\clmgf\\cellx1440\\clmrg\\cellx2880\\intbl Score\\cell\\cell\\row"
                      "\\trowd\\cellx1440\\cellx2880\\intbl Part A\\cell Part B\\cell\\row}")
        << 2 << 2 << QStringList{"Score", "Score", "Part A", "Part B"} << QList<double>{96, 96} << QStringList{"0,0 1×2"};
    QTest::newRow("merged across")
        << QByteArray("{\\rtf1\\trowd\\clmgf\\cellx1440\\clmrg\\cellx2880\\intbl ab\\cell\\cell\\row}") << 1 << 2
        << QStringList{"ab", "ab"} << QList<double>{96, 96} << QStringList{"0,0 1×2"};
    QTest::newRow("merged down")
        << QByteArray("{\\rtf1\\trowd\\clvmgf\\cellx1440\\cellx2880\\intbl a\\cell b\\cell\\row"
                      "\\trowd\\clvmrg\\cellx1440\\cellx2880\\intbl\\cell c\\cell\\row}")
        << 2 << 2 << QStringList{"a", "b", "a", "c"} << QList<double>{96, 96} << QStringList{"0,0 2×1"};
    QTest::newRow("a header over cells of other edges, a column merged down")
        << QByteArray("{\\rtf1\\trowd\\trleft-108\\clvmgf\\cellx1800\\cellx5400\\intbl No.\\cell Score\\cell\\row"
                      "\\trowd\\trleft-108\\clvmrg\\cellx1800\\cellx3600\\cellx5400\\intbl\\cell Part A\\cell Part B\\cell\\row"
                      "\\trowd\\trleft-108\\cellx1800\\cellx3600\\cellx5400\\intbl 1\\cell 6\\cell 4\\cell\\row}")
        << 3 << 3 << QStringList{"No.", "Score", "Score", "No.", "Part A", "Part B", "1", "6", "4"}
        << QList<double>{127.2, 120, 120} << QStringList{"0,0 2×1", "0,1 1×2"};
    QTest::newRow("text a writer left in covered cells is kept")
        << QByteArray("{\\rtf1\\trowd\\clvmgf\\cellx1440\\clmgf\\cellx2880\\clmrg\\cellx4320\\intbl a\\cell b\\cell x\\cell\\row"
                      "\\trowd\\clvmrg\\cellx1440\\cellx2880\\cellx4320\\intbl c\\cell d\\cell e\\cell\\row}")
        << 2 << 3 << QStringList{"a\nc", "b\nx", "b\nx", "a\nc", "d", "e"} << QList<double>{96, 96, 96}
        << QStringList{"0,0 2×1", "0,1 1×2"};
    QTest::newRow("a text box in a cell stays in the cell")
        << QByteArray("{\\rtf1\\trowd\\cellx1440\\cellx2880\\intbl a{\\shp{\\*\\shpinst{\\shptxt\\pard box\\par}}}\\cell b\\cell\\row}")
        << 1 << 2 << QStringList{"a\nbox", "b"} << QList<double>{96, 96} << QStringList{};
    QTest::newRow("a footnote in a cell keeps the table whole")
        << QByteArray("{\\rtf1\\trowd\\cellx1440\\cellx2880\\intbl a{\\footnote\\pard n\\par m\\cell\\row}\\cell b\\cell\\row}")
        << 1 << 2 << QStringList{"a", "b"} << QList<double>{96, 96} << QStringList{};
    QTest::newRow("more cells than definitions")
        << QByteArray("{\\rtf1\\trowd\\cellx1440\\intbl a\\cell b\\cell\\row}") << 1 << 2 << QStringList{"a", "b"}
        << QList<double>{96, 96} << QStringList{};
    QTest::newRow("edges out of order still give cells")
        << QByteArray("{\\rtf1\\trowd\\cellx2880\\cellx1440\\intbl a\\cell b\\cell\\row}") << 1 << 2
        << QStringList{"a", "b"} << QList<double>{192, 4} << QStringList{};
    QTest::newRow("a row left open at the end")
        << QByteArray("{\\rtf1\\trowd\\cellx1440\\intbl a\\cell b") << 1 << 2 << QStringList{"a", "b"}
        << QList<double>{96, 96} << QStringList{};
    QTest::newRow("a nested table's text stays in its cell")
        << QByteArray("{\\rtf1\\trowd\\cellx2880\\intbl outer\\par\\itap2 x\\nestcell y\\nestcell"
                      "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}\\itap1\\cell\\row}")
        << 1 << 1 << QStringList{"outer\nx\ny"} << QList<double>{192} << QStringList{};
  }

  void tables() {
    QFETCH(QByteArray, rtf);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QStringList, texts);
    QFETCH(QList<double>, widths);
    QFETCH(QStringList, spans);
    const auto doc = read(rtf);
    QCOMPARE(tablesIn(*doc).size(), std::size_t{1});
    QTextTable* table = tablesIn(*doc).front();
    QCOMPARE(table->rows(), rows);
    QCOMPARE(table->columns(), columns);
    QStringList shown;
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < columns; ++c) shown << cellText(table, r, c);
    }
    QCOMPARE(shown, texts);
    QList<double> shownWidths;
    for (const QTextLength& w : table->format().columnWidthConstraints()) shownWidths << w.rawValue();
    QCOMPARE(shownWidths, widths);
    QStringList shownSpans;
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < columns; ++c) {
        const QTextTableCell cell = table->cellAt(r, c);
        if (cell.row() != r || cell.column() != c || (cell.rowSpan() == 1 && cell.columnSpan() == 1)) continue;
        shownSpans << QStringLiteral("%1,%2 %3×%4").arg(r).arg(c).arg(cell.rowSpan()).arg(cell.columnSpan());
      }
    }
    QCOMPARE(shownSpans, spans);
  }

  void tableCellFormats() {
    const auto doc = read(
        "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
        "\\trowd\\trqc\\trgaph120\\clbrdrt\\brdrs\\brdrw30\\brdrcf1\\clbrdrl\\brdrs\\clbrdrb\\brdrs\\brdrnone"
        "\\clcbpat2\\clvertalc\\cellx1440\\cellx2880\\intbl{\\b a}\\cell b\\cell\\row}");
    QTextTable* table = tablesIn(*doc).front();
    QCOMPARE(table->format().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const QTextTableCellFormat first = table->cellAt(0, 0).format().toTableCellFormat();
    QCOMPARE(first.topBorder(), 2.0);
    QCOMPARE(first.topBorderBrush().color(), QColor(255, 0, 0));
    QCOMPARE(first.leftBorder(), 1.0);  // a hairline at least
    QCOMPARE(first.leftBorderBrush().color(), QColor(Qt::black));
    QCOMPARE(first.bottomBorder(), 0.0);
    QCOMPARE(first.rightBorder(), 0.0);
    QCOMPARE(first.background().color(), QColor(0, 0, 255));
    QCOMPARE(first.verticalAlignment(), QTextCharFormat::AlignMiddle);
    QCOMPARE(first.leftPadding(), 8.0);
    QVERIFY(formatAt(*doc, "a").fontWeight() >= QFont::Bold);
    const QTextTableCellFormat second = table->cellAt(0, 1).format().toTableCellFormat();
    QCOMPARE(second.topBorder(), 0.0);
    QCOMPARE(second.hasProperty(QTextFormat::BackgroundBrush), false);
  }

  // Text before and after a table stays outside it, in order.
  void tableAmongParagraphs() {
    const auto doc = read("{\\rtf1 before\\par\\trowd\\cellx1440\\intbl in\\cell\\row\\pard after\\par"
                          "\\trowd\\cellx1440\\intbl again\\cell\\row}");
    const std::vector<QTextTable*> found = tablesIn(*doc);
    QCOMPARE(found.size(), std::size_t{2});
    QCOMPARE(cellText(found[0], 0, 0), QStringLiteral("in"));
    QCOMPARE(cellText(found[1], 0, 0), QStringLiteral("again"));
    const QTextBlock before = blockOf(*doc, "before");
    const QTextBlock after = blockOf(*doc, "after");
    QVERIFY(!QTextCursor(before).currentTable() && !QTextCursor(after).currentTable());
    QCOMPARE(QTextCursor(before.next()).currentTable(), found[0]);  // no empty line between
    QCOMPARE(QTextCursor(after.previous()).currentTable(), found[0]);
    QCOMPARE(QTextCursor(after.next()).currentTable(), found[1]);
  }

  // More cells than a page could hold become paragraphs: the text stays.
  void tableCellBudget() {
    QByteArray rtf = "{\\rtf1\\trowd\\cellx100\\cellx200\\cellx300\\cellx400";
    for (int r = 0; r < 6000; ++r) rtf += "\\intbl x\\cell\\row";
    const auto doc = read(rtf + "}");
    QVERIFY(tablesIn(*doc).empty());
    QCOMPARE(doc->toPlainText().count(u'x'), 6000);
  }

  // A view lays its document out whenever the content changes: a page is
  // laid out once when it has been read, not after every insertion (tables
  // merged cell by cell froze the window for seconds).
  void oneLayoutPassPerPage_data() {
    QTest::addColumn<QByteArray>("rtf");
    QByteArray table = "{\\rtf1\\deftab360 before\\par";
    for (int r = 0; r < 50; ++r) {
      table += "\\trowd\\clvmgf\\cellx1440\\clmgf\\cellx2880\\clmrg\\cellx4320\\intbl a\\cell b\\cell\\cell\\row";
    }
    QTest::newRow("tables with merged cells") << table + "\\pard after\\par}";
    QByteArray page = "{\\rtf1\\ansicpg936{\\fonttbl{\\f0\\fcharset134 x;}}";
    for (int p = 0; p < 200; ++p) page += "\\pard\\qc{\\b\\'d2\\'bb} line\\tab two\\par";
    QTest::newRow("paragraphs") << page + "}";
    QTest::newRow("a picture") << QByteArray("{\\rtf1 a{\\pict\\pngblip\\picw2\\pich2 00}b\\par}");
  }

  void oneLayoutPassPerPage() {
    QFETCH(QByteArray, rtf);
    QTextDocument doc;
    auto* layout = new CountingLayout(&doc);
    doc.setDocumentLayout(layout);
    readRtf(rtf, &doc);
    QVERIFY(doc.characterCount() > 1);
    QCOMPARE(layout->passes, 1);
  }

  // Pictures: the size shown, and whether the bytes were decoded (a picture
  // of the colour drawn) or are a framed placeholder.
  void pictures_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QSizeF>("shown");
    QTest::addColumn<bool>("placeholder");

    const QByteArray png = encoded(40, 30, "png");
    const QByteArray jpeg = encoded(24, 16, "jpeg");
    QTest::newRow("png at its goal size")
        << "{\\rtf1{\\pict\\pngblip\\picw40\\pich30\\picwgoal900\\pichgoal600 " + png.toHex() + "}}"
        << QSizeF(60, 40) << false;
    QTest::newRow("scaled") << "{\\rtf1{\\pict\\pngblip\\picwgoal600\\pichgoal450\\picscalex200\\picscaley50 " +
                                   png.toHex() + "}}"
                            << QSizeF(80, 15) << false;
    QTest::newRow("without a goal: the image's own size, not picw")
        << "{\\rtf1{\\pict\\pngblip\\picw1\\pich2 " + png.toHex() + "}}" << QSizeF(40, 30) << false;
    QTest::newRow("png bytes under a jpeg label")
        << "{\\rtf1{\\pict\\jpegblip\\picscalex50\\picscaley50 " + png.toHex() + "}}" << QSizeF(20, 15) << false;
    QTest::newRow("a shape's picture, not its result for older readers")
        << "{\\rtf1{\\shp{\\*\\shpinst\\shpleft0{\\sp{\\sn shapeType}{\\sv 75}}{\\sp{\\sn pib}{\\sv "
           "{\\pict\\pngblip\\picwgoal900\\pichgoal600 " + png.toHex() + "}}}{\\sp{\\sn pictureGray}{\\sv 0}}}"
           "{\\shprslt{\\*\\do\\dobxcolumn{\\pict\\wmetafile8 0100}}}}}"
        << QSizeF(60, 40) << false;
    QTest::newRow("without any size: the image's own")
        << "{\\rtf1{\\pict\\pngblip\n" + png.toHex() + "\n}}" << QSizeF(40, 30) << false;
    QTest::newRow("binary data") << "{\\rtf1{\\pict\\pngblip\\bin" + QByteArray::number(png.size()) + " " + png +
                                        "}}"
                                 << QSizeF(40, 30) << false;
    QTest::newRow("jpeg") << "{\\rtf1{\\pict\\jpegblip\\picwgoal360\\pichgoal240 " + jpeg.toHex() + "}}"
                          << QSizeF(24, 16) << false;
    QTest::newRow("windows metafile: placeholder at its goal")
        << QByteArray("{\\rtf1{\\pict\\wmetafile8\\picw1058\\pich794\\picwgoal600\\pichgoal450 010009000003}}")
        << QSizeF(40, 30) << true;
    QTest::newRow("enhanced metafile: picw in hundredths of a millimetre")
        << QByteArray("{\\rtf1{\\pict\\emfblip\\picw2540\\pich1270 0100000088}}") << QSizeF(96, 48) << true;
    QTest::newRow("a bitmap kind not read") << QByteArray("{\\rtf1{\\pict\\dibitmap0\\picw20\\pich10 2800}}")
                                            << QSizeF(20, 10) << true;
    QTest::newRow("damaged png") << "{\\rtf1{\\pict\\pngblip\\picwgoal600\\pichgoal450 " +
                                        png.left(40).toHex() + "}}"
                                 << QSizeF(40, 30) << true;
    QTest::newRow("png claiming billions of pixels")
        << "{\\rtf1{\\pict\\pngblip\\picwgoal600\\pichgoal450 " + pngHeader(100000, 100000).toHex() + "}}"
        << QSizeF(40, 30) << true;
    QTest::newRow("no data, no size") << QByteArray("{\\rtf1{\\pict\\pngblip}}") << QSizeF(48, 48) << true;
    QTest::newRow("a side past any screen")
        << "{\\rtf1{\\pict\\pngblip\\picwgoal999999\\pichgoal450 " + png.toHex() + "}}" << QSizeF(4000, 30)
        << false;
    QTest::newRow("shppict shown, nonshppict not")
        << "{\\rtf1{\\*\\shppict{\\pict\\pngblip\\picwgoal600\\pichgoal450 " + png.toHex() +
               "}}{\\nonshppict{\\pict\\wmetafile8\\picwgoal600\\pichgoal450 0100}}}"
        << QSizeF(40, 30) << false;
  }

  void pictures() {
    QFETCH(QByteArray, rtf);
    QFETCH(QSizeF, shown);
    QFETCH(bool, placeholder);
    const auto doc = read(rtf);
    const std::vector<QTextImageFormat> found = images(*doc);
    QCOMPARE(found.size(), std::size_t{1});
    QCOMPARE(QSizeF(found[0].width(), found[0].height()), shown);
    const QImage image = imageOf(*doc, found[0]);
    QVERIFY(!image.isNull());
    const QColor corner = image.pixelColor(0, 0);
    QCOMPARE(corner == kFrame, placeholder);
    if (placeholder) QCOMPARE(image.size(), shown.toSize());
  }

  // Pixels decoded or drawn are bounded per document; past the bound every
  // picture still shows at its size, as one small placeholder scaled.
  void picturePixelBudget() {
    QByteArray rtf = "{\\rtf1 ";
    for (int i = 0; i < 3; ++i) rtf += "{\\pict\\wmetafile8\\picwgoal60000\\pichgoal60000 0100}";
    const auto doc = read(rtf + "}");
    const std::vector<QTextImageFormat> found = images(*doc);
    QCOMPARE(found.size(), std::size_t{3});
    QCOMPARE(imageOf(*doc, found[0]).size(), QSize(4000, 4000));
    QCOMPARE(imageOf(*doc, found[1]).size(), QSize(4000, 4000));
    QVERIFY(imageOf(*doc, found[2]).width() < 100);
    QCOMPARE(found[2].width(), 4000.0);
  }

  void hiddenPicturesLeftOut() {
    const auto doc = read("{\\rtf1 {\\v{\\pict\\pngblip\\picwgoal600\\pichgoal450 00}}x}");
    QVERIFY(images(*doc).empty());
    QCOMPARE(doc->toPlainText(), QStringLiteral("x"));
  }

  // Characters a document keeps for its own structure arrive as text and
  // stay text: no picture, frame or paragraph comes of them.
  void structureCharactersStayText() {
    const auto doc = read("{\\rtf1 \\u65532?\\u64976?\\u64977?\\u8233?x}");
    QCOMPARE(doc->blockCount(), 1);
    QVERIFY(images(*doc).empty());
    QVERIFY(tablesIn(*doc).empty());
    QCOMPARE(doc->toPlainText(), QString(4, QChar::ReplacementCharacter) + u'x');
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
    QTest::newRow("document structure as text")
        << QByteArray("{\\rtf1 \\u65532?\\u64976?\\u64977?\\u8233?\\u10?x\\'d6\\'d0}");
    QTest::newRow("cells and rows out of place")
        << QByteArray("{\\rtf1 \\cell\\row\\cell{\\row}\\intbl\\par\\cellx-5\\clvmrg\\clmrg\\row\\cell x}");
    QTest::newRow("a row of many cells")
        << "{\\rtf1\\trowd" + QByteArray("\\cellx99999").repeated(200) + QByteArray("\\intbl x\\cell").repeated(300) +
               "\\row}";
    QTest::newRow("rows of ever other edges")
        << [] {
             QByteArray rtf = "{\\rtf1";
             for (int r = 1; r < 400; ++r) rtf += "\\trowd\\cellx" + QByteArray::number(r * 7) + "\\intbl x\\cell\\row";
             return rtf + "}";
           }();
    QTest::newRow("merges that do not fit")
        << QByteArray("{\\rtf1\\trowd\\clvmrg\\clmrg\\cellx100\\clvmgf\\cellx50\\intbl a\\cell b\\cell\\row"
                      "\\trowd\\clmrg\\clvmrg\\cellx300\\clvmrg\\cellx50\\intbl c\\cell\\row}");
    QTest::newRow("equations nested past the depth limit")
        << QByteArray("{\\rtf1 {\\mmath") + QByteArray("{\\mf{\\mnum{\\mr 1}}{\\mden").repeated(300) + "x}}";
    QTest::newRow("list tables out of place")
        << QByteArray("{\\rtf1{\\*\\listtable\\listlevel{\\leveltext\\'ff\\'08\\'07;}\\list\\listid1{\\listlevel"
                      "{\\leveltext\\'00;}}{\\leveltext\\'05\\'00\\'00\\'00\\'00\\'00;}}{\\*\\listoverridetable\\ls1"
                      "{\\listoverride\\ls2}}\\ls1\\ilvl99 a\\par\\ls2\\ilvl-3 b\\par\\ls1 c\\par}");
    QTest::newRow("picture inside a picture")
        << QByteArray("{\\rtf1{\\pict\\pngblip 8950{\\pict\\jpegblip ffd8}4e47}}");
    QTest::newRow("picture never closed") << QByteArray("{\\rtf1{\\pict\\pngblip\\picwgoal999999999 89504e47");
    QTest::newRow("fields inside fields")
        << QByteArray("{\\rtf1{\\field{\\*\\fldinst{\\field{\\*\\fldinst HYPERLINK}{\\fldrslt x}}}{\\fldrslt y}}"
                      "\\fldrslt{\\fldinst z}}");
    QTest::newRow("font table junk")
        << QByteArray("{\\rtf1{\\fonttbl\\f-5\\fcharset999;\\f2147483647\\froman\\u20013?;{\\f3}}\\f-5\\'e9\\f3 x}");

    QRandomGenerator rng(20261210);
    const char alphabet[] = "{}\\'*;0123456789abuclfs -\xd6\xd0\r\n";
    for (int i = 0; i < 20; ++i) {
      QByteArray junk("{\\rtf1 ");
      for (int k = 0; k < 400; ++k) junk.append(alphabet[rng.bounded(int(sizeof alphabet - 1))]);
      QTest::newRow(qPrintable(QStringLiteral("random %1").arg(i))) << junk;
    }
    // Words of tables, pictures and fields in random order.
    const char* const words[] = {"\\trowd", "\\cellx900", "\\cellx-1", "\\clvmgf", "\\clvmrg", "\\clmgf",
                                 "\\clmrg", "\\intbl", "\\cell", "\\row", "\\par", "\\pard", "{", "}", "x",
                                 "\\nestcell", "{\\pict\\pngblip 89}", "{\\field{\\*\\fldinst HYPERLINK a}{\\fldrslt ",
                                 "\\super", "\\li-999", "\\fi-99999", "\\tx5", "\\page"};
    for (int i = 0; i < 20; ++i) {
      QByteArray junk("{\\rtf1 ");
      for (int k = 0; k < 300; ++k) junk.append(words[rng.bounded(int(std::size(words)))]);
      QTest::newRow(qPrintable(QStringLiteral("random words %1").arg(i))) << junk;
    }
  }

  void hostileInput() {
    QFETCH(QByteArray, rtf);
    const auto doc = read(rtf);  // must return, whatever the input
    doc->setTextWidth(600);      // and lay out as the view would
    QVERIFY(doc->size().height() > 0);
  }
};

QTEST_MAIN(RtfReaderTest)
#include "rtf_reader_test.moc"
