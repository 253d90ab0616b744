// Reading a whole file into memory, for files that are small by nature
// (answer files, manifests).
#pragma once

#include <filesystem>
#include <string>

#include "util/result.h"

namespace qzt {

// The bytes of a regular file. An Io error "cannot read" for a missing
// file (fault Missing), a folder or a read failure (fault Unreadable).
Result<std::string> readFileBytes(const std::filesystem::path& path);

}  // namespace qzt
