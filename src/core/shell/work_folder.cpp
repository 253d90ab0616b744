#include "shell/work_folder.h"

#include <string>
#include <system_error>
#include <vector>

#include "util/platform.h"

namespace fs = std::filesystem;

namespace qzt {
namespace {

constexpr char kReaderPrefix[] = "qzt-reader-";
constexpr std::size_t kUniqueChars = 6;  // what makePrivateFolder appends
constexpr char kLockFile[] = "live.lock";
constexpr char kFilesFolder[] = "paper";

Result<fs::path> tempFolder() {
  std::error_code ec;
  const fs::path temp = fs::temp_directory_path(ec);
  if (ec) return Error::io("no temp folder (" + ec.message() + ")");
  return temp;
}

bool readerFolderName(const std::string& name) {
  const std::size_t prefix = sizeof(kReaderPrefix) - 1;
  return name.size() == prefix + kUniqueChars && name.compare(0, prefix, kReaderPrefix) == 0;
}

}  // namespace

Result<fs::path> createWorkFolder() {
  auto temp = tempFolder();
  if (!temp) return temp.error();
  return createWorkFolder(*temp);
}

Result<fs::path> createWorkFolder(const fs::path& parent) {
  return platform::makePrivateFolder(parent, "qzt-");
}

Result<ReaderFolder> createReaderFolder() {
  auto temp = tempFolder();
  if (!temp) return temp.error();
  return createReaderFolder(*temp);
}

Result<ReaderFolder> createReaderFolder(const fs::path& parent) {
  auto made = platform::makePrivateFolder(parent, kReaderPrefix);
  if (!made) return made.error();
  ReaderFolder folder{*made, *made / kFilesFolder, {}};
  auto lock = platform::createLockedFile(folder.path / kLockFile);
  std::error_code ec;
  if (lock) fs::create_directory(folder.files, ec);
  if (!lock || ec) {
    removeWorkFolder(folder.path);
    return lock ? Error::io("cannot create " + folder.files.string()) : lock.error();
  }
  folder.lock = std::move(lock).value();
  return folder;
}

int removeStaleReaderFolders() {
  auto temp = tempFolder();
  return temp ? removeStaleReaderFolders(*temp) : 0;
}

int removeStaleReaderFolders(const fs::path& parent) {
  std::vector<fs::path> candidates;
  std::error_code ec;
  for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
    if (readerFolderName(it->path().filename().string())) candidates.push_back(it->path());
  }
  int removed = 0;
  for (const fs::path& folder : candidates) {
    std::error_code kind;
    if (!fs::is_directory(fs::symlink_status(folder, kind)) || !platform::ownedByThisUser(folder)) continue;
    // Held while the folder goes, so no one else takes it meanwhile.
    const platform::FileLock lock = platform::takeFreeLock(folder / kLockFile);
    if (!lock.held()) continue;
    removeWorkFolder(folder);
    ++removed;
  }
  return removed;
}

void removeWorkFolder(const fs::path& folder) noexcept {
  if (folder.empty()) return;
  // "dir/" would follow a link named dir; "dir" removes the link itself.
  const fs::path target = folder.has_filename() ? folder : folder.parent_path();
  std::error_code ignored;
  fs::remove_all(target, ignored);
}

}  // namespace qzt
