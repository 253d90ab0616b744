#include "report/file_search.h"

#include <algorithm>

namespace qzt::report {
namespace {

namespace fs = std::filesystem;

bool isAnswerFileName(const fs::path& p) {
  const std::string ext = p.extension().string();
  return ext.size() == 3 && ext[0] == '.' && (ext[1] == 'd' || ext[1] == 'D') &&
         (ext[2] == 'a' || ext[2] == 'A');
}

// Symbolic links to folders are not followed, so a link loop ends. The
// named folder itself, when it cannot be listed, stands for its files, so
// its reading fails where it is reported; folders below it are skipped.
std::vector<fs::path> answerFilesBelow(const fs::path& folder) {
  std::error_code ec;
  if (fs::directory_iterator(folder, ec); ec) return {folder};
  std::vector<fs::path> found;
  fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    std::error_code typeError;
    if (isAnswerFileName(it->path()) && it->is_regular_file(typeError)) found.push_back(it->path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace

std::vector<fs::path> findAnswerFiles(const std::vector<fs::path>& named) {
  std::vector<fs::path> files;
  for (const fs::path& p : named) {
    std::error_code ec;
    if (!fs::is_directory(p, ec)) {
      files.push_back(p);
      continue;
    }
    const std::vector<fs::path> below = answerFilesBelow(p);
    files.insert(files.end(), below.begin(), below.end());
  }
  return files;
}

}  // namespace qzt::report
