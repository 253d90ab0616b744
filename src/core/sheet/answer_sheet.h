// The answers of one exam: letter cells per row and text answers per
// text-answer row (the n-th text-answer row owns text answer n).
#pragma once

#include <string>
#include <vector>

#include "paper/question_table.h"
#include "util/bytes.h"

namespace qzt {

class AnswerSheet {
 public:
  AnswerSheet() = default;
  // Empty cells for rows 1..count and columns 1..letterColumns, one empty
  // text answer per kind-3 row. The grid's extra blank column is never
  // written, so the sheet does not hold it.
  AnswerSheet(const QuestionTable& table, int letterColumns);

  int rowCount() const { return static_cast<int>(cells_.size()); }  // questions + 1
  int letterColumns() const { return letterColumns_; }

  // Cell text (GBK): "" or " A"/"A" style. Out-of-range reads give "";
  // out-of-range writes are ignored.
  const ByteString& cell(int row, int column) const;
  void setCell(int row, int column, ByteString text);

  int textAnswerCount() const { return static_cast<int>(texts_.size()); }
  // Out-of-range reads give ""; out-of-range writes are ignored.
  const ByteString& textAnswer(int n) const;
  void setTextAnswer(int n, ByteString text);
  // Index of the text answer owned by `row`, or -1.
  int textIndexOfRow(int row) const;

  // The choice answer of a row: cells 1..option_count joined in order
  // (nothing for optionCount 0 or less).
  ByteString joinedCells(int row, int optionCount) const;

 private:
  int letterColumns_ = 0;
  std::vector<std::vector<ByteString>> cells_;  // [row][column]
  std::vector<ByteString> texts_;
  std::vector<int> textIndexByRow_;
};

}  // namespace qzt
