#include "classroom/sheet_entry.h"

#include <gtest/gtest.h>

#include "paper/format.h"
#include "author/paper_writer.h"
#include "sheet/grid_layout.h"

namespace qzt::classroom {
namespace {

namespace f = qzt::format;

// Heading, single (4 options), multiple (3 options), text.
QuestionTable table() {
  std::vector<QuestionRecord> records;
  for (const writer::QuestionSpec& q : std::vector<writer::QuestionSpec>{
           {"", f::kKindHeading, 0, "Part", 0},
           {"1", f::kKindSingle, 4, "A", 1},
           {"2", f::kKindMultiple, 3, "AC", 1},
           {"3", f::kKindText, 0, "abc", 1}}) {
    records.push_back(writer::makeQuestion(q));
  }
  return QuestionTable(records);
}

struct EntryCase {
  const char* what;
  std::vector<RowEntry> entries;
  bool accepted;
};

class SheetEntryTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(SheetEntryTest, FollowsTheEntryRules) {
  const QuestionTable t = table();
  const auto sheet = sheetFromEntries(t, grid::paperLayout(t).letterColumns, GetParam().entries);
  EXPECT_EQ(sheet.ok(), GetParam().accepted) << GetParam().what;
  if (!sheet.ok()) {
    EXPECT_EQ(sheet.refusal().why, Denial::BadInput);
  } else {
    // What goes in comes back out, in row order, letters sorted.
    const auto back = entriesFromSheet(t, sheet.value());
    EXPECT_EQ(back.size(), GetParam().entries.size()) << GetParam().what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SheetEntryTest,
    ::testing::Values(
        EntryCase{"empty sheet", {}, true},
        EntryCase{"one of each", {{2, "A", {}}, {3, "AC", {}}, {4, {}, "答案 abc"}}, true},
        EntryCase{"letters in any order", {{3, "CA", {}}}, true},
        EntryCase{"letter past the options", {{3, "D", {}}}, false},
        EntryCase{"lower case letter", {{2, "a", {}}}, false},
        EntryCase{"two letters on single choice", {{2, "AB", {}}}, false},
        EntryCase{"heading row", {{1, "A", {}}}, false},
        EntryCase{"row 0", {{0, "A", {}}}, false},
        EntryCase{"row past the paper", {{5, "A", {}}}, false},
        EntryCase{"row named twice", {{2, "A", {}}, {2, "B", {}}}, false},
        EntryCase{"text on a choice row", {{2, {}, "A"}}, false},
        EntryCase{"letters on a text row", {{4, "A", {}}}, false},
        EntryCase{"text with a line break", {{4, {}, "a\r\nb"}}, false},
        EntryCase{"text too long", {{4, {}, std::string(kMaxTextAnswerBytes + 1, 'x')}}, false},
        EntryCase{"text at the limit", {{4, {}, std::string(kMaxTextAnswerBytes, 'x')}}, true},
        EntryCase{"invalid UTF-8", {{4, {}, "\xff\xfe"}}, false}));

TEST(SheetEntry, PutsLettersAsAClickDoes) {
  const QuestionTable t = table();
  const auto sheet = sheetFromEntries(t, grid::paperLayout(t).letterColumns, {{3, "CA", {}}});
  ASSERT_TRUE(sheet.ok());
  EXPECT_EQ(sheet.value().cell(3, 1), " A");
  EXPECT_EQ(sheet.value().cell(3, 2), "");
  EXPECT_EQ(sheet.value().cell(3, 3), " C");
  EXPECT_EQ(answeredCount(t, sheet.value()), 1);
}

}  // namespace
}  // namespace qzt::classroom
