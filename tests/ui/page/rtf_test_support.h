// What the RTF tests look at in the document our reader builds.
#pragma once

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>

#include <memory>
#include <vector>

#include "page/rtf_reader.h"

namespace rtftest {

inline std::unique_ptr<QTextDocument> read(const QByteArray& rtf) {
  auto doc = std::make_unique<QTextDocument>();
  readRtf(rtf, doc.get());
  return doc;
}

// The char format of the first character of `needle`; empty when not found.
inline QTextCharFormat formatAt(const QTextDocument& doc, const QString& needle) {
  const QTextCursor found = doc.find(needle);
  if (found.isNull()) return {};
  QTextCursor c(const_cast<QTextDocument*>(&doc));
  c.setPosition(found.selectionStart() + 1);  // the format of the char before the cursor
  return c.charFormat();
}

// The block that holds `needle`; invalid when not found.
inline QTextBlock blockOf(const QTextDocument& doc, const QString& needle) {
  const QTextCursor found = doc.find(needle);
  return found.isNull() ? QTextBlock() : found.block();
}

inline std::vector<QTextTable*> tablesIn(const QTextDocument& doc) {
  std::vector<QTextTable*> found;
  for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
    if (auto* table = qobject_cast<QTextTable*>(frame)) found.push_back(table);
  }
  return found;
}

// A cell's text, its paragraphs joined by "\n".
inline QString cellText(QTextTable* table, int row, int column) {
  const QTextTableCell cell = table->cellAt(row, column);
  QTextCursor c = cell.firstCursorPosition();
  c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
  return c.selectedText().replace(QChar::ParagraphSeparator, u'\n');
}

// Every picture in document order; the block list walks table cells too.
inline std::vector<QTextImageFormat> images(const QTextDocument& doc) {
  std::vector<QTextImageFormat> found;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      if (it.fragment().charFormat().isImageFormat()) found.push_back(it.fragment().charFormat().toImageFormat());
    }
  }
  return found;
}

inline QImage imageOf(const QTextDocument& doc, const QTextImageFormat& format) {
  return doc.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
}

}  // namespace rtftest
