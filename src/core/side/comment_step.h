// The comment step after grading: the paper's comments data unpacked to a
// scratch file, the comment chosen for the result, the scratch file gone.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "paper/header.h"
#include "util/bytes.h"
#include "util/result.h"

namespace qzt {

// Name of the scratch file in the work folder.
inline constexpr char kCommentsScratchFile[] = "pyfile";

// The paper's comments text, unpacked through workFolder / "pyfile",
// which does not exist afterwards; none when the paper has none. Errors as
// for commentFor.
Result<std::optional<ByteString>> commentsText(const std::filesystem::path& paper,
                                               const PaperHeader& header,
                                               const std::filesystem::path& workFolder);

// getpy: the comment lines (GBK) for `selection`, or none when the paper
// has no comments, there is no selection or no entry holds it. Unpacking
// failures are errors (step 80..87, or step 0 for a target that cannot be
// written). workFolder / "pyfile" does not exist afterwards, whatever the
// outcome.
Result<std::optional<std::vector<ByteString>>> commentFor(const std::filesystem::path& paper,
                                                          const PaperHeader& header,
                                                          const std::filesystem::path& workFolder,
                                                          std::optional<double> selection);

}  // namespace qzt
