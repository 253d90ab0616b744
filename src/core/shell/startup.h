// Which paper the reader opens when its window is first shown: the paper
// attached to its own program file, else the paper named on the command
// line when that file exists.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "util/result.h"

namespace qzt {

struct StartupPaper {
  std::filesystem::path path;  // empty: open nothing
  std::int64_t offset = 0;     // paper offset inside `path`
  // An attached paper: the reader shows that paper only, hides the open
  // button and the catalogue, and does not read the catalogue.
  bool attached = false;
};

// `args` are the arguments after the program name. An unreadable program
// file is an error; the window then shows no paper.
Result<StartupPaper> startupPaper(const std::filesystem::path& programFile,
                                  const std::vector<std::string>& args);

// The same choice once the attached slot is read: `attachedOffset` set is
// the paper attached to `programFile`; else `commandLinePaper` when it is
// an existing file.
StartupPaper startupPaper(const std::filesystem::path& programFile,
                          std::optional<std::int64_t> attachedOffset,
                          const std::filesystem::path& commandLinePaper);

}  // namespace qzt
