#include "sheet/answer_sheet.h"

#include <algorithm>

#include "paper/format.h"

namespace qzt {
namespace {

const ByteString kEmpty;

}  // namespace

AnswerSheet::AnswerSheet(const QuestionTable& table, int letterColumns)
    : letterColumns_(std::max(letterColumns, 0)) {
  const int n = table.count();
  // Column 0 holds the row label in the grid; its slot here stays empty.
  cells_.assign(n + 1, std::vector<ByteString>(letterColumns_ + 1));
  textIndexByRow_.assign(n + 1, -1);
  for (int q = 1; q <= n; ++q) {
    if (table.question(q).kind() != format::kKindText) continue;
    textIndexByRow_[q] = static_cast<int>(texts_.size());
    texts_.emplace_back();
  }
}

const ByteString& AnswerSheet::cell(int row, int column) const {
  if (row < 1 || row >= rowCount() || column < 1 || column > letterColumns_) return kEmpty;
  return cells_[row][column];
}

void AnswerSheet::setCell(int row, int column, ByteString text) {
  if (row < 1 || row >= rowCount() || column < 1 || column > letterColumns_) return;
  cells_[row][column] = std::move(text);
}

const ByteString& AnswerSheet::textAnswer(int n) const {
  if (n < 0 || n >= textAnswerCount()) return kEmpty;
  return texts_[n];
}

void AnswerSheet::setTextAnswer(int n, ByteString text) {
  if (n < 0 || n >= textAnswerCount()) return;
  texts_[n] = std::move(text);
}

int AnswerSheet::textIndexOfRow(int row) const {
  if (row < 0 || row >= static_cast<int>(textIndexByRow_.size())) return -1;
  return textIndexByRow_[row];
}

ByteString AnswerSheet::joinedCells(int row, int optionCount) const {
  ByteString joined;
  const int last = std::min(optionCount, letterColumns_);
  for (int c = 1; c <= last; ++c) joined += cell(row, c);
  return joined;
}

}  // namespace qzt
