// The one place where GBK bytes and UTF-8 text meet.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "util/bytes.h"
#include "util/result.h"

namespace qzt {

// Whether every byte is ASCII, which GBK and UTF-8 both keep as it is.
bool isAscii(std::string_view text);

// GBK (read as GB18030, its superset) to UTF-8. Bytes that are not valid
// GBK become U+FFFD, so display never fails.
std::string gbkToUtf8(const ByteString& gbk);

// UTF-8 to GBK (written as GB18030). Fails on invalid UTF-8; characters
// outside GBK take GB18030's four-byte form.
Result<ByteString> utf8ToGbk(const std::string& utf8);

// A GBK name from a paper as a file-system path component.
std::filesystem::path gbkToPath(const ByteString& gbk);

// A path as UTF-8 text, for printing and for reports. A name that is not
// valid UTF-8 is read as GBK (GB18030).
std::string pathToUtf8(const std::filesystem::path& path);

}  // namespace qzt
