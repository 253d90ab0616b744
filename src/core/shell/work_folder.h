// The work folder: a fresh private folder per run in the user's temp
// folder, where a paper's files are unpacked. No two runs share one, and no
// other user can place anything in it.
#pragma once

#include <filesystem>

#include "util/platform.h"
#include "util/result.h"

namespace qzt {

// Creates a new folder "qzt-XXXXXX" (mode 0700) under `parent`, by default
// the user's temp folder.
Result<std::filesystem::path> createWorkFolder();
Result<std::filesystem::path> createWorkFolder(const std::filesystem::path& parent);

// A reader's own folder "qzt-reader-XXXXXX" (mode 0700), also a classroom
// server's: the paper's files go to `files` inside it, beside a lock file
// that no paper's name can reach, held for as long as `lock` lives (the
// system lets it go when the program dies, however it dies).
struct ReaderFolder {
  std::filesystem::path path;   // the whole folder, removed at exit
  std::filesystem::path files;  // the work folder proper
  platform::FileLock lock;
};
Result<ReaderFolder> createReaderFolder();
Result<ReaderFolder> createReaderFolder(const std::filesystem::path& parent);

// Removes from `parent` (by default the user's temp folder) the folders of
// readers that are gone: named as createReaderFolder names them, owned by
// this user, not links, holding a lock file that no one holds. Every other
// folder stays. Returns how many were removed.
int removeStaleReaderFolders();
int removeStaleReaderFolders(const std::filesystem::path& parent);

// Removes the folder and everything below it. Symbolic links inside are
// removed, never followed. Failures are ignored: what cannot be removed
// stays.
void removeWorkFolder(const std::filesystem::path& folder) noexcept;

}  // namespace qzt
