// The text of an RTF page without its formatting, for browsers: control
// words dropped, destinations (font and colour tables, pictures, fields'
// instructions, anything marked \*) skipped, \par and \line as line
// breaks, \tab as a tab, \'hh bytes read as GBK (the papers' code page),
// \uN as its character (the one stand-in character after it dropped).
#pragma once

#include <string>
#include <string_view>

namespace qzt {

// UTF-8 text of the RTF bytes. Never fails: what cannot be read is left out.
std::string rtfPlainText(std::string_view rtf);

}  // namespace qzt
