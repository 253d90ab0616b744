// Grading answer files against one paper read once: the question table and
// the comments stay in memory, and each answer file is read once. `qzt
// grade` grades its one file through this too, so a class report and a
// single grade never disagree.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "paper/opening.h"
#include "sheet/grading.h"
#include "side/answer_grading.h"
#include "util/bytes.h"
#include "util/result.h"

namespace qzt::report {

struct FileGrade {
  GradeReport report;
  // The comment chosen for the result (GBK lines), if any.
  std::optional<std::vector<ByteString>> comment;
};

class ClassGrader {
 public:
  // REQUIRES: `paper` outlives the grader.
  explicit ClassGrader(const LoadedPaper& paper);

  // Reads and grades one answer file. An Io error when it cannot be read,
  // Refused (with the reader's message) when it does not fit the paper.
  Result<FileGrade> grade(const std::filesystem::path& answerFile);
  // Set once the paper's comments failed to unpack (step 80..87, or 0
  // when no scratch folder could be made); no comment is chosen then.
  const std::optional<Error>& commentsFailure() const { return commentsFailure_; }

 private:
  std::optional<std::vector<ByteString>> chooseCommentFor(const GradeReport& report);

  const LoadedPaper& paper_;
  AnswerFileGrader answers_;
  // Unpacked when the first result asks for a comment.
  bool commentsRead_ = false;
  std::optional<ByteString> comments_;
  std::optional<Error> commentsFailure_;
};

}  // namespace qzt::report
