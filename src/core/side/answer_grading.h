// Grading an answer file without a window: what the reader shows after the
// file is imported into a fresh exam of the paper and handed in. The blank
// sheet is built once, so a class of files grades from memory.
#pragma once

#include <string>

#include "paper/header.h"
#include "paper/question_table.h"
#include "sheet/answer_sheet.h"
#include "sheet/grading.h"
#include "util/result.h"

namespace qzt {

class AnswerFileGrader {
 public:
  // REQUIRES: `table` outlives the grader.
  AnswerFileGrader(const PaperHeader& header, const QuestionTable& table);

  // Refused (nothing graded) exactly where importAnswers refuses.
  Result<GradeReport> grade(const std::string& fileBytes) const;

 private:
  ByteString paperKey_;
  bool commentsByPercent_ = false;
  const QuestionTable& table_;
  AnswerSheet blank_;
};

}  // namespace qzt
