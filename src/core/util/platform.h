// The few file-system services that the standard library does not offer
// portably. Every operating-system call of the core lives in platform.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
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

// A lock on a file, held until the object goes or the process ends,
// however it ends. Empty (not held) by default.
class FileLock {
 public:
  FileLock() = default;
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock();

  bool held() const { return handle_ >= 0; }

 private:
  friend Result<FileLock> createLockedFile(const std::filesystem::path& file);
  friend FileLock takeFreeLock(const std::filesystem::path& file);
  explicit FileLock(int handle) : handle_(handle) {}

  int handle_ = -1;
};

// Creates `file`, which must not exist, locked by this process. The file
// is locked before it bears its name, so it is never seen unlocked.
Result<FileLock> createLockedFile(const std::filesystem::path& file);

// The lock of an existing regular file of this user, when no one holds it;
// empty otherwise (held, missing, a link, someone else's).
FileLock takeFreeLock(const std::filesystem::path& file);

// Whether `path` itself (a link is not followed) belongs to the user this
// process runs as.
bool ownedByThisUser(const std::filesystem::path& path);

// Who a file is, whatever its name: device and inode. None when it cannot
// be looked at (or where the system has no such numbers).
struct FileIdentity {
  unsigned long long device = 0;
  unsigned long long inode = 0;
  auto operator<=>(const FileIdentity&) const = default;
};
std::optional<FileIdentity> fileIdentity(const std::filesystem::path& p);

// A file written at given offsets, by several threads at once (each its
// own range): an unpacked block goes from the thread that inflated it
// straight to its place in the file.
class PositionedFile {
 public:
  PositionedFile();
  PositionedFile(PositionedFile&& other) noexcept;
  PositionedFile& operator=(PositionedFile&& other) noexcept;
  ~PositionedFile();  // closes

  // Creates `path`, or empties it when it exists; not open when it cannot.
  static PositionedFile create(const std::filesystem::path& path);
  bool isOpen() const { return handle_ != nullptr; }
  // REQUIRES: isOpen(). Writes all n bytes at pos; false on any failure.
  [[nodiscard]] bool writeAt(std::int64_t pos, const unsigned char* bytes, std::size_t n);
  // False when the file was not open or closing shows a late write error.
  [[nodiscard]] bool close();

 private:
  struct Handle;
  std::unique_ptr<Handle> handle_;
};

// Asks for `n` bytes at `p` (aligned to 2 MiB) to be backed by huge pages
// when first touched; only a hint, nothing changes where there are none.
void preferHugePages(void* p, std::size_t n);

}  // namespace qzt::platform
