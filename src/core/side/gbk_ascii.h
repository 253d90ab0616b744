// ASCII operations on GBK bytes that leave double-byte characters alone.
//
// A GBK character is a lead byte 0x81..0xFE and a trail byte 0x40..0xFE;
// trail bytes overlap ASCII letters and "\", so a byte-wise pass would turn
// one Chinese character into another.
#pragma once

#include "util/bytes.h"

namespace qzt {

// ASCII letters A..Z lower-cased; lengths and positions are kept.
ByteString lowerAsciiGbk(ByteString text);

// Every single-byte "\" replaced by "/".
ByteString backslashesToSlashesGbk(ByteString text);

}  // namespace qzt
