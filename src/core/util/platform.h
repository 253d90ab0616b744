// The few file-system services that the standard library does not offer
// portably. Every operating-system call of the core lives in platform.cpp.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "util/result.h"

namespace qzt::platform {

// Creates a new folder under `parent`, named `prefix` + a unique suffix,
// readable and writable by its owner only. Never reuses an existing folder.
Result<std::filesystem::path> makePrivateFolder(const std::filesystem::path& parent,
                                                std::string_view prefix);

// Replaces `target` with `bytes` as one step: the bytes go to
// `target` + ".tmp" in the same folder, are flushed to disk and renamed over
// `target`. On failure `target` is left as it was.
Status writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// Who a file is, whatever its name: device and inode. None when it cannot
// be looked at (or where the system has no such numbers).
struct FileIdentity {
  unsigned long long device = 0;
  unsigned long long inode = 0;
  auto operator<=>(const FileIdentity&) const = default;
};
std::optional<FileIdentity> fileIdentity(const std::filesystem::path& p);

}  // namespace qzt::platform
