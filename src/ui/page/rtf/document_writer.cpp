#include "page/rtf/document_writer.h"

#include <QTextBlockFormat>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>

#include "page/rtf/table_writer.h"

namespace qzt::rtf {
namespace {

constexpr int kDefaultHalfPoints = 24;

Qt::Alignment alignment(Align a) {
  switch (a) {
    case Align::Centre: return Qt::AlignHCenter;
    case Align::Right: return Qt::AlignRight;
    case Align::Justify: return Qt::AlignJustify;
    case Align::Left: break;
  }
  return Qt::AlignLeft;
}

QTextOption::TabType tabType(TabStop::Kind kind) {
  switch (kind) {
    case TabStop::Kind::Centre: return QTextOption::CenterTab;
    case TabStop::Kind::Right: return QTextOption::RightTab;
    case TabStop::Kind::Decimal: return QTextOption::DelimiterTab;
    case TabStop::Kind::Left: break;
  }
  return QTextOption::LeftTab;
}

// The installed CJK family for a CJK charset, shown where the named font is missing.
QString cjkFamily(int charset, bool serif) {
  const char* region = charset == 134 ? "SC" : charset == 136 ? "TC" : charset == 128 ? "JP"
                       : charset == 129 ? "KR" : nullptr;
  if (!region) return {};
  return QStringLiteral("Noto %1 CJK %2").arg(QLatin1String(serif ? "Serif" : "Sans"), QLatin1String(region));
}

// Characters the document keeps for its own structure (objects, frames,
// paragraph ends) are not text, whatever the input says.
QString plainText(QString text) {
  for (QChar& c : text) {
    const char16_t u = c.unicode();
    if (u == QChar::ObjectReplacementCharacter || u == 0xFDD0 || u == 0xFDD1 ||
        u == QChar::ParagraphSeparator || (u < 0x20 && u != u'\t')) {
      c = QChar::ReplacementCharacter;
    }
  }
  return text;
}

// RTF measures tab stops from the margin, Qt from where the line starts; the
// first line is the one that counts. A hanging indent is a stop of its own,
// so list text meets its marker.
QList<QTextOption::Tab> tabPositions(std::vector<TabStop> stops, int left, int firstLine) {
  if (firstLine < 0) stops.push_back({left, TabStop::Kind::Left});
  std::sort(stops.begin(), stops.end(), [](const TabStop& x, const TabStop& y) { return x.position < y.position; });
  const int lineStart = left + firstLine;
  QList<QTextOption::Tab> tabs;
  for (const TabStop& stop : stops) {
    const double at = pixels(stop.position - lineStart);
    if (at <= 0 || (!tabs.isEmpty() && tabs.back().position == at)) continue;
    tabs.append(QTextOption::Tab(at, tabType(stop.kind), stop.kind == TabStop::Kind::Decimal ? QChar(u'.') : QChar()));
  }
  return tabs;
}

QString pictureName(int index) { return QStringLiteral("rtf-picture:%1").arg(index); }

}  // namespace

DocumentWriter::DocumentWriter(QTextDocument* document, const DocumentTables& tables)
    : document_(document), tables_(tables), end_(document) {
  end_.movePosition(QTextCursor::End);
}

void DocumentWriter::append(const Paragraph& paragraph) {
  write(end_, paragraph, endBlockUsed_);
  endBlockUsed_ = true;
}

void DocumentWriter::appendRule() {
  QTextBlockFormat rule;
  rule.setProperty(QTextFormat::BlockTrailingHorizontalRulerWidth, QTextLength(QTextLength::PercentageLength, 30));
  if (endBlockUsed_) end_.insertBlock(rule, QTextCharFormat());
  else end_.setBlockFormat(rule);
  endBlockUsed_ = true;
}

void DocumentWriter::appendTable(const std::vector<TableRow>& rows) {
  // A table goes right after the last paragraph; in an empty document Qt
  // keeps an empty block before it.
  if (writeTable(end_, rows, *this)) {
    end_.movePosition(QTextCursor::End);  // into the empty block after the table
    endBlockUsed_ = false;
    return;
  }
  for (const TableRow& row : rows) {
    for (const Cell& cell : row.cells) {
      for (const Paragraph& p : cell) append(p);
    }
  }
}

bool DocumentWriter::spendCells(qint64 count) {
  if (count > cellsLeft_) return false;
  cellsLeft_ -= count;
  return true;
}

QColor DocumentWriter::colour(int index) const {
  if (index <= 0 || index >= static_cast<int>(tables_.colours.size())) return {};
  return tables_.colours[static_cast<std::size_t>(index)];
}

void DocumentWriter::write(QTextCursor& cursor, const Paragraph& paragraph, bool newBlock) const {
  const QTextCharFormat mark = charFormat(paragraph.markFormat);
  if (newBlock) {
    cursor.insertBlock(blockFormat(paragraph), mark);
  } else {
    cursor.setBlockFormat(blockFormat(paragraph));
    cursor.setBlockCharFormat(mark);
  }
  for (const Run& run : paragraph.runs) {
    if (run.picture >= 0) {
      writePicture(cursor, run);
    } else {
      cursor.insertText(plainText(run.text), charFormat(run.format));
    }
  }
}

void DocumentWriter::writePicture(QTextCursor& cursor, const Run& run) const {
  const Picture& picture = tables_.pictures[static_cast<std::size_t>(run.picture)];
  const QString name = pictureName(run.picture);
  document_->addResource(QTextDocument::ImageResource, QUrl(name), picture.image);
  QTextImageFormat image;
  image.merge(charFormat(run.format));
  image.setName(name);
  image.setWidth(picture.size.width());
  image.setHeight(picture.size.height());
  cursor.insertImage(image);
}

QStringList DocumentWriter::families(int number) const {
  const auto found = tables_.fonts.find(number < 0 ? tables_.defaultFont : number);
  if (found == tables_.fonts.end()) return {};
  QStringList families;
  if (!found->second.name.isEmpty()) families.append(found->second.name);
  const QString cjk = cjkFamily(found->second.charset, found->second.serif);
  if (!cjk.isEmpty()) families.append(cjk);
  return families;
}

QTextCharFormat DocumentWriter::charFormat(const CharFormat& f) const {
  QTextCharFormat c;
  if (f.bold) c.setFontWeight(QFont::Bold);
  if (f.italic) c.setFontItalic(true);
  if (f.underline) c.setFontUnderline(true);
  if (f.strike) c.setFontStrikeOut(true);
  if (f.smallCaps) c.setFontCapitalization(QFont::SmallCaps);
  if (f.allCaps) c.setFontCapitalization(QFont::AllUppercase);
  if (f.halfPoints > 0) c.setFontPointSize(f.halfPoints / 2.0);
  if (f.script == Script::Super) {
    c.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
  } else if (f.script == Script::Sub) {
    c.setVerticalAlignment(QTextCharFormat::AlignSubScript);
  } else if (f.raise != 0) {
    // Qt raises by a share of the font's height; RTF by half-points.
    c.setBaselineOffset(100.0 * f.raise / (f.halfPoints > 0 ? f.halfPoints : kDefaultHalfPoints));
  }
  if (const QColor fg = colour(f.colour); fg.isValid()) c.setForeground(fg);
  if (const QColor bg = colour(f.background); bg.isValid()) c.setBackground(bg);
  if (const QStringList names = families(f.font); !names.isEmpty()) c.setFontFamilies(names);
  if (!f.link.isEmpty()) {
    c.setAnchor(true);
    c.setAnchorHref(f.link);
  }
  if (!f.bookmark.isEmpty()) {
    c.setAnchor(true);
    c.setAnchorNames({f.bookmark});
  }
  return c;
}

QTextBlockFormat DocumentWriter::blockFormat(const Paragraph& p) const {
  const ParagraphFormat& f = p.format;
  QTextBlockFormat b;
  b.setAlignment(alignment(f.align));
  const int left = std::max(0, f.left);
  const int firstLine = std::max(f.firstLine, -left);  // never left of the margin
  b.setLeftMargin(pixels(left));
  b.setRightMargin(pixels(std::max(0, f.right)));
  b.setTextIndent(pixels(firstLine));
  b.setTopMargin(pixels(std::max(0, f.before)));
  b.setBottomMargin(pixels(std::max(0, f.after)));
  if (f.lineMultiple && f.lineSpacing > 0) {
    b.setLineHeight(f.lineSpacing * 100.0 / 240, QTextBlockFormat::ProportionalHeight);
  } else if (f.lineSpacing > 0) {
    b.setLineHeight(pixels(f.lineSpacing), QTextBlockFormat::MinimumHeight);
  } else if (f.lineSpacing < 0) {
    b.setLineHeight(pixels(-f.lineSpacing), QTextBlockFormat::FixedHeight);
  }
  if (const QList<QTextOption::Tab> tabs = tabPositions(f.tabs, left, firstLine); !tabs.isEmpty()) {
    b.setTabPositions(tabs);
  }
  if (p.pageBreakAfter) b.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysAfter);
  return b;
}

}  // namespace qzt::rtf
