// Names stored in a paper, made safe to use under a target folder.
//
// Stored names are GBK with "\" separators. The reader refuses any name that
// could place a file outside the target: empty, absolute, with a drive
// letter, a ".." component or a NUL, longer than the format allows, or one
// that passes through a symbolic link already in the target.
#pragma once

#include <filesystem>

#include "util/bytes.h"
#include "util/result.h"

namespace qzt {

// The stored name as a relative path of UTF-8 components. `step` goes into
// the error. With `mayBeTarget` a name such as "." that names the target
// itself gives an empty path (folder entries); otherwise it is refused.
Result<std::filesystem::path> safeRelativePath(const ByteString& stored, int step,
                                               bool mayBeTarget = false);

// Fails when any existing component of root / relative (root excluded) is a
// symbolic link.
Status checkNoLinks(const std::filesystem::path& root, const std::filesystem::path& relative, int step);

}  // namespace qzt
