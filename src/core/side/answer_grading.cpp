#include "side/answer_grading.h"

#include "sheet/grid_layout.h"
#include "side/answer_file.h"

namespace qzt {

AnswerFileGrader::AnswerFileGrader(const PaperHeader& header, const QuestionTable& table)
    : paperKey_(header.paperKey()),
      commentsByPercent_(header.commentsByPercent()),
      table_(table),
      // The sheet an exam of this paper starts with (ExamSession::begin).
      blank_(table, grid::paperLayout(table).letterColumns) {}

Result<GradeReport> AnswerFileGrader::grade(const std::string& fileBytes) const {
  auto sheet = importAnswers(fileBytes, paperKey_, table_, blank_);
  if (!sheet.ok()) return sheet.error();
  return qzt::grade(table_, sheet.value(), commentsByPercent_);
}

}  // namespace qzt
