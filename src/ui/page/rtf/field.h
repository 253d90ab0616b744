// Field instructions: what a {\field} stands for. Only HYPERLINK fields
// change how their result is shown; every other field shows its result.
#pragma once

#include <QString>

namespace qzt::rtf {

// The web address of a HYPERLINK instruction ("HYPERLINK "http://x" \o
// "tip""), with its \l location as a fragment. Empty for any other field,
// and for a link to a place inside the document only.
QString hyperlinkTarget(const QString& instruction);

}  // namespace qzt::rtf
