// The answer files of a class as named on the command line.
#pragma once

#include <filesystem>
#include <vector>

namespace qzt::report {

// Each path in order: a folder becomes the "*.da" files below it (any
// depth, ".da" in any letter case, as answer files from Windows may be
// named), sorted; anything else stays as given, so a missing or unreadable
// name is reported by the grading rather than dropped.
std::vector<std::filesystem::path> findAnswerFiles(const std::vector<std::filesystem::path>& named);

}  // namespace qzt::report
