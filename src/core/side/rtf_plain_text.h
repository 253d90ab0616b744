// The text of an RTF page without its formatting: control words dropped,
// \par, \line and \row as line breaks, \tab and \cell as tabs; the text
// read as side/rtf_tokens.h reads it.
#pragma once

#include <string>
#include <string_view>

namespace qzt {

// UTF-8 text of the RTF bytes. Never fails: what cannot be read is left out.
std::string rtfPlainText(std::string_view rtf);

}  // namespace qzt
