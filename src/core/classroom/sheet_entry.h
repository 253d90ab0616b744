// A candidate's whole sheet as the browser sends it, checked against the
// entry rules before it replaces anything: letters within the row's
// options, one letter on a single-choice row, text only on text rows and
// only as much as an answer file line holds.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "classroom/outcome.h"
#include "paper/question_table.h"
#include "sheet/answer_sheet.h"

namespace qzt::classroom {

// The longest text answer taken, in GBK bytes: a line of an answer file
// far beyond any typed answer, small enough for every tool to read.
inline constexpr std::size_t kMaxTextAnswerBytes = 4000;

struct RowEntry {
  int row = 0;
  std::optional<std::string> letters;  // "AC", any order, upper case
  std::optional<std::string> text;     // UTF-8
};

// The sheet the entries make: rows not named are empty. A row named twice,
// a row out of range, a heading row, letters outside the row's options,
// two letters on a single-choice row, text on a choice row, letters on a
// text row, text with a line break or longer than kMaxTextAnswerBytes:
// BadInput.
Outcome<AnswerSheet> sheetFromEntries(const QuestionTable& table, int letterColumns,
                                      const std::vector<RowEntry>& entries);

// The non-empty rows of a sheet as entries, in row order.
std::vector<RowEntry> entriesFromSheet(const QuestionTable& table, const AnswerSheet& sheet);

// How many graded rows hold an answer.
int answeredCount(const QuestionTable& table, const AnswerSheet& sheet);

}  // namespace qzt::classroom
