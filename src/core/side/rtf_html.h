// An RTF page as a small HTML document for browsers: paragraphs and line
// breaks, bold, italic, underline, struck text, superscripts and
// subscripts, font sizes, colours, paragraph alignment, tables (merged
// cells as spans) and PNG and JPEG pictures inline. Every character of
// the file is escaped, so nothing in it can become markup, and the
// document's size is bounded.
#pragma once

#include <string>
#include <string_view>

namespace qzt {

// Never fails: what cannot be read is left out.
std::string rtfHtmlDocument(std::string_view rtf);

}  // namespace qzt
