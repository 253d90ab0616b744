#include "page/web_address_marks.h"

#include <QPalette>
#include <QRegularExpression>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace {

const QRegularExpression& webAddressPattern() {
  static const QRegularExpression re(
      QStringLiteral(R"(\b(?:(?:https?|ftp|file)://|mailto:|www\.)[A-Za-z0-9\-._~:/?#\[\]@!$&'()*+,;=%]+)"),
      QRegularExpression::CaseInsensitiveOption);
  return re;
}

// Sentence punctuation right after an address is not part of it.
int trailingPunctuation(const QString& address) {
  int n = 0;
  while (n < address.size()) {
    const QChar c = address.at(address.size() - 1 - n);
    const bool closes = c == u')' && !address.left(address.size() - n).contains(u'(');
    if (!QStringLiteral(".,;:!?'\"").contains(c) && !closes) break;
    ++n;
  }
  return n;
}

}  // namespace

QStringList markWebAddresses(QTextDocument* doc, const QString& scheme) {
  QStringList marked;
  QTextCursor found = doc->find(webAddressPattern());
  while (!found.isNull()) {
    const int cut = trailingPunctuation(found.selectedText());
    if (cut > 0) found.setPosition(found.selectionEnd() - cut, QTextCursor::KeepAnchor);
    const int end = found.selectionEnd();
    if (found.hasSelection()) {
      QTextCharFormat link;
      link.setAnchor(true);
      link.setAnchorHref(QStringLiteral("%1:%2").arg(scheme).arg(marked.size()));
      link.setForeground(QPalette().color(QPalette::Link));
      link.setFontUnderline(true);
      marked.append(found.selectedText());
      found.mergeCharFormat(link);
    }
    QTextCursor from(doc);
    from.setPosition(end);
    found = doc->find(webAddressPattern(), from);
  }
  return marked;
}

QString markedAddress(const QStringList& marked, const QString& scheme, const QString& href) {
  const QString prefix = scheme + u':';
  if (!href.startsWith(prefix)) return {};
  bool ok = false;
  const int index = href.mid(prefix.size()).toInt(&ok);
  return ok && index >= 0 && index < marked.size() ? marked.at(index) : QString();
}
