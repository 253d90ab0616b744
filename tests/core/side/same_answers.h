// Compares two answer sheets cell by cell and text by text, so a failure
// names the row and column that differ.
#pragma once

#include <gtest/gtest.h>

#include "sheet/answer_sheet.h"

namespace qzt {

inline void expectSameAnswers(const AnswerSheet& a, const AnswerSheet& b) {
  ASSERT_EQ(a.rowCount(), b.rowCount());
  for (int row = 1; row < a.rowCount(); ++row) {
    for (int c = 1; c <= a.letterColumns(); ++c) EXPECT_EQ(a.cell(row, c), b.cell(row, c)) << row << "," << c;
  }
  ASSERT_EQ(a.textAnswerCount(), b.textAnswerCount());
  for (int n = 0; n < a.textAnswerCount(); ++n) EXPECT_EQ(a.textAnswer(n), b.textAnswer(n)) << n;
}

}  // namespace qzt
