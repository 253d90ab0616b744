// Comments by score: the comments file of a paper is GBK text of entries.
// An entry starts with a header line whose first 10 bytes are "评语 分数:"
// in GBK, followed by a range "a-b"; its comment lines run to the next
// header line or the end. Lines before the first header belong to nothing.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "util/bytes.h"

namespace qzt {

// "评语 分数:" in GBK.
inline constexpr char kCommentHeader[] = "\xC6\xC0\xD3\xEF\x20\xB7\xD6\xCA\xFD\x3A";
inline constexpr std::size_t kCommentHeaderSize = 10;

// The comment lines (GBK) of the first entry whose range a-b holds x
// (a <= x <= b), or none when no entry holds x or the chosen entry has no
// lines. The search ends at the first match. An entry whose range does not
// read as two decimal numbers is skipped.
std::optional<std::vector<ByteString>> chooseComment(std::string_view commentsFile, double x);

// The chosen lines as one text for display, each ended by CR LF.
ByteString joinCommentLines(const std::vector<ByteString>& lines);

}  // namespace qzt
