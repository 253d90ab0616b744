// Lines of a text file as the reader has always read them.
#pragma once

#include <string_view>
#include <vector>

#include "util/bytes.h"

namespace qzt {

// Splits at CR LF, a lone CR or a lone LF. A terminator at the very end
// does not start another line, so "a\r\nb\r\n" is two lines and an empty
// text is none; "\r\n" alone is one empty line.
std::vector<ByteString> splitLines(std::string_view text);

}  // namespace qzt
