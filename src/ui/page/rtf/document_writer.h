// Writes what the reader collected into a QTextDocument: paragraphs with
// their block and character formats, pictures as image resources, tables.
#pragma once

#include <QColor>
#include <QTextCharFormat>
#include <QTextCursor>

#include <map>
#include <vector>

#include "page/rtf/model.h"
#include "page/rtf/picture.h"

class QTextDocument;
class QTextBlockFormat;

namespace qzt::rtf {

// The tables a document's formats refer to by number.
struct DocumentTables {
  std::vector<QColor> colours;  // invalid: automatic
  std::map<int, Font> fonts;
  int defaultFont = 0;
  std::vector<Picture> pictures;
};

class DocumentWriter {
 public:
  static constexpr int kMaxTableCells = 20000;  // per document; more rows become paragraphs

  // REQUIRES: an empty document; the tables outlive the writer.
  DocumentWriter(QTextDocument* document, const DocumentTables& tables);

  // Appends at the end of the document.
  void append(const Paragraph& paragraph);
  // A short rule, as above a page's footnotes.
  void appendRule();
  void appendTable(const std::vector<TableRow>& rows);

  // Writes a paragraph into the cursor's block, or into a new block after it.
  void write(QTextCursor& cursor, const Paragraph& paragraph, bool newBlock) const;
  QColor colour(int index) const;
  // Takes cells from the document's budget; false when it is spent.
  bool spendCells(qint64 count);

 private:
  QTextCharFormat charFormat(const CharFormat& f) const;
  QTextBlockFormat blockFormat(const Paragraph& p) const;
  QStringList families(int font) const;
  void writePicture(QTextCursor& cursor, const Run& run) const;

  QTextDocument* document_;
  const DocumentTables& tables_;
  QTextCursor end_;
  bool endBlockUsed_ = false;
  qint64 cellsLeft_ = kMaxTableCells;
};

// Pixels for twips on a 96-dpi screen.
inline double pixels(int twips) { return twips / 15.0; }

}  // namespace qzt::rtf
