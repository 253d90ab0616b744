#include "shell/work_folder.h"

#include <system_error>

#include "util/platform.h"

namespace fs = std::filesystem;

namespace qzt {

Result<fs::path> createWorkFolder() {
  std::error_code ec;
  const fs::path temp = fs::temp_directory_path(ec);
  if (ec) return Error::io("no temp folder (" + ec.message() + ")");
  return createWorkFolder(temp);
}

Result<fs::path> createWorkFolder(const fs::path& parent) {
  return platform::makePrivateFolder(parent, "qzt-");
}

void removeWorkFolder(const fs::path& folder) noexcept {
  if (folder.empty()) return;
  // "dir/" would follow a link named dir; "dir" removes the link itself.
  const fs::path target = folder.has_filename() ? folder : folder.parent_path();
  std::error_code ignored;
  fs::remove_all(target, ignored);
}

}  // namespace qzt
