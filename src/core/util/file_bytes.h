// Reading a whole file into memory, for files that are small by nature
// (answer files, manifests).
#pragma once

#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>

#include "util/result.h"

namespace qzt {

// The bytes of a regular file. An Io error "cannot read" for a missing
// file (fault Missing), a folder or a read failure (fault Unreadable), and
// "too large" (fault TooLarge) for a file over `limit` bytes, refused
// before any of it is read.
Result<std::string> readFileBytes(const std::filesystem::path& path,
                                  std::uintmax_t limit = std::numeric_limits<std::uintmax_t>::max());

}  // namespace qzt
