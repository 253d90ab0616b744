#include "sheet/key_entry.h"

#include <gtest/gtest.h>

#include <vector>

#include "author/paper_writer.h"

namespace qzt {
namespace {

// Row 1 of each kind; rows 2 and 3 make the grid five letters wide.
QuestionTable tableWith(int kind, int options) {
  std::vector<QuestionRecord> records;
  for (const writer::QuestionSpec& q : std::vector<writer::QuestionSpec>{
           {"1", kind, options, "A", 1}, {"2", 1, 5, "A", 1}, {"3", 3, 0, "x", 1}})
    records.push_back(writer::makeQuestion(q));
  return QuestionTable(std::move(records));
}

struct KeyCase {
  const char* name;
  int kind;
  GridKey key;
  char letter;
  KeyAction::Kind kindOut;
  int columnOut;
};

class Keys : public ::testing::TestWithParam<KeyCase> {};

// The current cell is column 3 of row 1, a row of four letters.
TEST_P(Keys, OnRowOne) {
  const KeyCase& c = GetParam();
  const KeyAction action = keyAction(tableWith(c.kind, 4), 1, 3, c.key, c.letter);
  EXPECT_EQ(action.kind, c.kindOut);
  if (c.kindOut == KeyAction::Kind::PressCell) {
    EXPECT_EQ(action.column, c.columnOut);
  }
}

using K = KeyAction::Kind;
INSTANTIATE_TEST_SUITE_P(
    Rows, Keys,
    ::testing::Values(
        KeyCase{"SingleLetter", 1, GridKey::Letter, 'B', K::PressCell, 2},
        KeyCase{"SingleLowerCase", 1, GridKey::Letter, 'd', K::PressCell, 4},
        // Past the row's letters: the press itself then changes nothing.
        KeyCase{"SingleLetterPastItsOptions", 1, GridKey::Letter, 'Z', K::PressCell, 26},
        KeyCase{"SingleSpaceIsTheCurrentCell", 1, GridKey::Space, 0, K::PressCell, 3},
        KeyCase{"SingleEnter", 1, GridKey::Enter, 0, K::Nothing, 0},
        KeyCase{"SingleDigit", 1, GridKey::Text, 0, K::Nothing, 0},
        KeyCase{"NotALetter", 1, GridKey::Letter, '1', K::Nothing, 0},
        KeyCase{"MultipleLetter", 2, GridKey::Letter, 'A', K::PressCell, 1},
        KeyCase{"MultipleSpace", 2, GridKey::Space, 0, K::PressCell, 3},
        KeyCase{"OtherKindLikeTheMouse", 5, GridKey::Letter, 'C', K::PressCell, 3},
        KeyCase{"TextLetterTypes", 3, GridKey::Letter, 'A', K::ToRowEdit, 0},
        KeyCase{"TextSpaceTypes", 3, GridKey::Space, 0, K::ToRowEdit, 0},
        KeyCase{"TextEnter", 3, GridKey::Enter, 0, K::ToRowEdit, 0},
        KeyCase{"TextDigit", 3, GridKey::Text, 0, K::ToRowEdit, 0},
        KeyCase{"HeadingLetter", 100, GridKey::Letter, 'A', K::Nothing, 0},
        KeyCase{"HeadingSpace", 100, GridKey::Space, 0, K::Nothing, 0},
        KeyCase{"HeadingEnter", 100, GridKey::Enter, 0, K::Nothing, 0}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(KeyEntry, RowsOutsideTheTableTakeNothing) {
  const QuestionTable table = tableWith(1, 4);
  for (int row : {0, -1, 4}) EXPECT_EQ(keyAction(table, row, 1, GridKey::Letter, 'A').kind, K::Nothing) << row;
}

TEST(KeyEntry, LastLetterOfTheRow) {
  const QuestionTable table = tableWith(1, 3);
  EXPECT_EQ(lastLetterColumn(table, 5, 1), 3);  // its own three letters
  EXPECT_EQ(lastLetterColumn(table, 5, 2), 5);
  EXPECT_EQ(lastLetterColumn(table, 5, 3), 5);  // a text row: the grid's last letter
  EXPECT_EQ(lastLetterColumn(table, 4, 2), 4);  // never past the grid
  EXPECT_EQ(lastLetterColumn(tableWith(1, 0), 5, 1), 5);
  EXPECT_EQ(lastLetterColumn(tableWith(1, -7), 5, 1), 5);
  EXPECT_EQ(lastLetterColumn(table, 0, 3), 1);  // a grid without letters
  EXPECT_EQ(lastLetterColumn(table, 5, 9), 5);
}

}  // namespace
}  // namespace qzt
