// Grading: each row of kind below 4 compared byte for byte with its
// unscrambled answer; total, score, correct rate and the score line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sheet/answer_sheet.h"
#include "paper/question_table.h"
#include "util/bytes.h"

namespace qzt {

enum class RowResult { NotGraded, Right, Wrong };

struct GradedRow {
  int row = 0;
  RowResult result = RowResult::NotGraded;
  ByteString answer;   // what was compared (joined and trimmed, or as typed)
  ByteString correct;  // getansi of the row
};

struct GradeReport {
  double total = 0;
  double score = 0;
  std::optional<double> rate;       // shown only when total > 1
  std::string scoreLine;            // UTF-8, "总分：12 得分：5 正确率：41.67"
  // The value handed to the comments; empty when none can be chosen
  // (graded total 0 with comments by percentage).
  std::optional<double> selection;
  std::vector<GradedRow> rows;      // rows 1..n in order
};

GradeReport grade(const QuestionTable& table, const AnswerSheet& sheet, bool commentsByPercent);

// Without its leading and trailing bytes of value 32 or less, as a choice
// answer is compared.
ByteString trimControlBytes(const ByteString& s);

// x * 100 rounded half to even, / 100, in general format (up to 15
// significant digits, no trailing zeros, "." only when needed).
std::string formatScore(double x);
// Nearest integer, halves to the even neighbour.
double roundHalfEven(double x);

// Result cell texts: "√" and "Χ" (Greek chi).
inline constexpr char kRight[] = "√";
inline constexpr char kWrong[] = "Χ";

}  // namespace qzt
