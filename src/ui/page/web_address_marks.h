// Web addresses in shown text, made clickable as a rich-edit hint box does.
#pragma once

#include <QString>
#include <QStringList>

class QTextDocument;

// Marks every web address in the document (http://, https://, ftp://,
// file://, mailto: and www. forms) as an anchor and returns the marked
// texts in document order. Anchor n has the href "<scheme>:n", so the click
// handler gets the address exactly as it stands in the text back through
// markedAddress().
QStringList markWebAddresses(QTextDocument* doc, const QString& scheme);

// The address behind an href made by markWebAddresses, or an empty text.
QString markedAddress(const QStringList& marked, const QString& scheme, const QString& href);
