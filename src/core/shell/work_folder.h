// The work folder: a fresh private folder per run in the user's temp
// folder, where a paper's files are unpacked. No two runs share one, and no
// other user can place anything in it.
#pragma once

#include <filesystem>

#include "util/result.h"

namespace qzt {

// Creates a new folder "qzt-XXXXXX" (mode 0700) under `parent`, by default
// the user's temp folder.
Result<std::filesystem::path> createWorkFolder();
Result<std::filesystem::path> createWorkFolder(const std::filesystem::path& parent);

// Removes the folder and everything below it. Symbolic links inside are
// removed, never followed. Failures are ignored: what cannot be removed
// stays.
void removeWorkFolder(const std::filesystem::path& folder) noexcept;

}  // namespace qzt
