#include "report/file_search.h"

#include <algorithm>
#include <set>

#include "util/platform.h"

namespace qzt::report {
namespace {

namespace fs = std::filesystem;

bool isAnswerFileName(const fs::path& p) {
  const std::string ext = p.extension().string();
  return ext.size() == 3 && ext[0] == '.' && (ext[1] == 'd' || ext[1] == 'D') &&
         (ext[2] == 'a' || ext[2] == 'A');
}

std::string listingFailure(const std::error_code& ec) { return "cannot search folder: " + ec.message(); }

// Symbolic links to folders are not followed, so a link loop ends. Every
// folder that cannot be listed is told, so no student drops out unseen.
void searchFolder(const fs::path& folder, std::vector<fs::path>& found, std::vector<SearchProblem>& problems) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) {
    problems.push_back({folder, listingFailure(ec)});
    return;
  }
  std::vector<fs::path> folders;
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::error_code typeError;
    if (it->is_directory(typeError) && !it->is_symlink(typeError)) {
      folders.push_back(it->path());
    } else if (isAnswerFileName(it->path()) && it->is_regular_file(typeError)) {
      found.push_back(it->path());
    }
  }
  if (ec) problems.push_back({folder, listingFailure(ec)});
  for (const fs::path& sub : folders) searchFolder(sub, found, problems);
}

// The same file under two names, by device and inode. Names that cannot be
// looked at are kept by their spelling, so the grading says why.
class SeenFiles {
 public:
  bool firstTime(const fs::path& p) {
    const auto id = platform::fileIdentity(p);
    return id ? ids_.insert(*id).second : named_.insert(p.string()).second;
  }

 private:
  std::set<platform::FileIdentity> ids_;
  std::set<std::string> named_;
};

}  // namespace

AnswerFileSearch findAnswerFiles(const std::vector<fs::path>& named) {
  AnswerFileSearch search;
  SeenFiles seen;
  auto keep = [&](const fs::path& p) {
    if (seen.firstTime(p)) {
      search.files.push_back(p);
    } else {
      ++search.duplicates;
    }
  };
  for (const fs::path& p : named) {
    std::error_code ec;
    if (!fs::is_directory(p, ec)) {
      keep(p);
      continue;
    }
    std::vector<fs::path> below;
    searchFolder(p, below, search.problems);
    std::sort(below.begin(), below.end());
    for (const fs::path& f : below) keep(f);
  }
  return search;
}

namespace {

bool sameFile(const fs::path& a, const fs::path& b) {
  const auto idA = platform::fileIdentity(a);
  const auto idB = platform::fileIdentity(b);
  if (idA && idB) return *idA == *idB;
  if (idA || idB) return false;
  std::error_code ec;
  return fs::weakly_canonical(fs::absolute(a, ec), ec) == fs::weakly_canonical(fs::absolute(b, ec), ec);
}

}  // namespace

std::optional<OutputClash> findOutputClash(const std::vector<fs::path>& outputs, const std::vector<fs::path>& inputs) {
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    for (const fs::path& in : inputs) {
      if (sameFile(outputs[i], in)) return OutputClash{i, in, false};
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (sameFile(outputs[i], outputs[j])) return OutputClash{i, outputs[j], true};
    }
  }
  return std::nullopt;
}

}  // namespace qzt::report
