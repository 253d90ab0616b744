// The answer files of a class as named on the command line.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qzt::report {

// A folder that could not be searched, or a name that is no file.
struct SearchProblem {
  std::filesystem::path path;
  std::string reason;  // UTF-8
};

struct AnswerFileSearch {
  std::vector<std::filesystem::path> files;
  std::vector<SearchProblem> problems;
  // Names of a file already found (named twice, or named and also found in
  // a named folder, or reached through a link): each file counts once.
  int duplicates = 0;
};

// Each path in order: a folder becomes the "*.da" files below it (any
// depth, ".da" in any letter case, as answer files from Windows may be
// named), sorted; anything else stays as given, so a missing or unreadable
// name is reported by the grading rather than dropped. A folder that
// cannot be listed, at any depth, is a problem with its reason. A file
// is kept once by device and inode, at its first name.
AnswerFileSearch findAnswerFiles(const std::vector<std::filesystem::path>& named);

// An output that would overwrite an input or another output.
struct OutputClash {
  std::size_t output = 0;        // index into the outputs
  std::filesystem::path with;    // the input or the earlier output it names
  bool withOutput = false;
};

// The first output naming the same file as an input or an earlier output
// (the same device and inode, or the same path once resolved when the
// file does not exist yet); none when every output is free.
std::optional<OutputClash> findOutputClash(const std::vector<std::filesystem::path>& outputs,
                                           const std::vector<std::filesystem::path>& inputs);

}  // namespace qzt::report
