// Field instructions: what a {\field} stands for. HYPERLINK fields make their
// result a link, a SYMBOL field without a result shows its character; every
// other field shows its result.
#pragma once

#include <QString>

#include <optional>

namespace qzt::rtf {

// The web address of a HYPERLINK instruction ("HYPERLINK "http://x" \o
// "tip""), with its \l location as a fragment; "#location" for a place in
// the document only. Empty for any other field.
QString hyperlinkTarget(const QString& instruction);

// A SYMBOL field ("SYMBOL 183 \f "Symbol" \s 10"): the character code, the
// font it is in, and whether the code is Unicode (\u) rather than a byte.
struct SymbolField {
  int code = 0;
  QString font;
  bool unicode = false;
};
std::optional<SymbolField> symbolField(const QString& instruction);

}  // namespace qzt::rtf
