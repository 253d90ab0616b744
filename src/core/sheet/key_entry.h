// Keys on the answer grid. They follow the entry rules of a press on a
// cell: a letter key is a press on that letter's cell of the current row,
// Space a press on the current cell. A text-answer row takes typing into
// its row edit instead, and a heading row takes nothing.
#pragma once

#include "paper/question_table.h"

namespace qzt {

enum class GridKey {
  Letter,  // A..Z, either case, without Ctrl or Alt
  Space,
  Enter,
  Text,    // any other key that types a character
};

struct KeyAction {
  enum class Kind { Nothing, PressCell, ToRowEdit };
  Kind kind = Kind::Nothing;
  int column = 0;  // the cell to press (PressCell)
};

// What `key` does on grid row `row` whose current cell is in `column`;
// `letter` is 'A'..'Z' (or 'a'..'z') for GridKey::Letter. Whether the
// press changes a cell is the entry rules' business (ExamSession::pressLetter).
KeyAction keyAction(const QuestionTable& table, int row, int column, GridKey key, char letter = 0);

// The column End goes to on `row` (Home goes to column 1): the last letter
// of its question, or the grid's last letter column on rows without
// letters; at least 1.
int lastLetterColumn(const QuestionTable& table, int letterColumns, int row);

}  // namespace qzt
