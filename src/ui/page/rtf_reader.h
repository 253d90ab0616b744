// Rich-text (RTF) documents from papers, shown in a QTextBrowser.
//
// Papers carry RTF written for code page 936: text bytes and \'hh escapes
// are GBK, read together so that the two bytes of one character meet.
// Kept: paragraphs, line breaks, tabs, bold, italic, underline, size and
// colour, paragraph alignment, \uN characters. Dropped: fonts, pictures,
// fields' instructions, every ignorable {\* } group and whatever cannot be
// understood. Hostile input is fine: nesting is capped, every step of the
// reader consumes input, and nothing is allocated beyond the output.
#pragma once

#include <QByteArray>
#include <QString>

// HTML (Qt's rich-text subset) for an RTF document. Never fails; input that
// is not RTF at all comes back as its text.
QString rtfToHtml(const QByteArray& rtf);
