// Rich-text (RTF) pages, notes and hints, read by our own reader into the
// document of a read-only rich-text view.
//
// Kept: paragraphs with alignment, indents, spacing, tab stops and list
// markers (the writer's, else made from the list tables or legacy
// numbering); line and page breaks; bold, italic, underline, strike-through,
// super- and subscripts, raised and lowered text, small capitals, hidden
// text left out; sizes, colours and fonts (CJK fonts where a font's charset
// is CJK); tables with their cell widths, borders and merged cells; PNG and
// JPEG pictures (known by their bytes) at their shown size, inline or in
// shapes, other pictures as a framed placeholder of that size; text boxes
// and drawing objects' text in flow; equations as linear text; footnotes
// with their numbers at the end of the page; HYPERLINK fields as links (a
// link to a bookmark as "#name"), SYMBOL fields as their character, other
// fields as their result.
// Text bytes and \'hh escapes are read in the code page of the font's \cpg
// or \fcharset, else of \ansicpg or \pc (936, GBK, when nothing names one),
// \uN with its \ucN fallback. Dropped: styles, headers, footers, shape
// settings, objects' data, and whatever cannot be understood. Hostile
// input is fine: nesting is capped, every step consumes input, pictures and
// tables are bounded, and nothing is allocated beyond what the input can
// describe.
#pragma once

#include <QByteArray>

class QTextDocument;

// Fills an empty document with an RTF document, in one edit block: a
// document a view already lays out is laid out once. Needs no widget.
// Never fails; input that is not RTF at all comes back as its text.
void readRtf(const QByteArray& rtf, QTextDocument* document);
