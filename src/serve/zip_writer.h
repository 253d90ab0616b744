// A zip archive of files kept whole (stored, not compressed: answer files
// are small), for the teacher's download of the answer folder.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace qzt::serve {

// `files`: (name in the archive, UTF-8; bytes). Names are flagged UTF-8.
std::string zipStored(const std::vector<std::pair<std::string, std::string>>& files);

}  // namespace qzt::serve
