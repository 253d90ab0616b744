// Text pages, notes, hints and comments: RTF shown formatted, anything
// else as plain text, in a read-only rich-text view.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>

#include <memory>

class QTextDocument;
class QTextBrowser;
class QTextEdit;

// Whether the bytes form an RTF document (they start with "{\rtf").
bool isRtf(const QByteArray& bytes);

// Plain text: UTF-8 or UTF-16 where a byte-order mark says so (the mark
// itself is not text), GBK otherwise.
QString plainText(const QByteArray& bytes);

// Replaces the view's whole content with the bytes: RTF formatted through
// our own reader, other bytes as plain text.
void showTextBytes(QTextEdit* view, const QByteArray& bytes);

// Loads a whole file into the view as showTextBytes does. False (and the
// view unchanged) when the file cannot be read.
bool loadTextFile(QTextEdit* view, const QString& path);

// The same file as a document of its own, made without a view and so on
// any thread; null when the file cannot be read.
std::unique_ptr<QTextDocument> readTextDocument(const QString& path);

// Clicks on the view's links (HYPERLINK fields of RTF) open the address in
// the browser through the reader's one link routine; a link to a place on
// the page ("#name", a bookmark) scrolls there instead.
void openLinksInBrowser(QTextBrowser* view);

// The CJK screen font the reader's text uses, at a size in pixels.
QFont cjkFont(int pixelSize);

// Multiplies every font size the document sets itself (an RTF page's runs)
// by `ratio` and gives text without a size of its own `unsizedPointSize`
// (the view's font at the new zoom). One edit block with one change per run
// of equal sizes, so the document is laid out once.
void scaleTextSizes(QTextDocument* document, double ratio, qreal unsizedPointSize);
