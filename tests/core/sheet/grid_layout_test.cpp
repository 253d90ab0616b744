#include "sheet/grid_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "author/paper_writer.h"

namespace qzt::grid {
namespace {

template <typename Case>
std::string caseName(const ::testing::TestParamInfo<Case>& c) {
  return c.param.name;
}

// One question per (kind, option_count) pair, labelled by its row number.
QuestionTable tableOf(const std::vector<std::pair<int, int>>& kindAndOptions) {
  std::vector<QuestionRecord> records;
  int row = 0;
  for (const auto& [kind, options] : kindAndOptions) {
    records.push_back(writer::makeQuestion({std::to_string(++row), kind, options, "A", 1, 7}));
  }
  return QuestionTable(std::move(records));
}

TEST(StartupLayout, FiveByFive) {
  const Layout layout = startupLayout(5, 5);
  EXPECT_EQ(layout.rowCount, 5);
  EXPECT_EQ(layout.letterColumns, 4);
  EXPECT_EQ(layout.columnWidths, (std::vector<int>{45, 28, 28, 28, 28}));
  EXPECT_EQ(layout.headers, (std::vector<std::string>{"答案区", " A", " B", " C", " D"}));
  EXPECT_EQ(layout.rowLabels, (std::vector<ByteString>{"", "  1", "  2", "  3", "  4"}));
  // The start-up grid is as wide as its columns plus 9, not the sum of (w + 2).
  EXPECT_EQ(layout.contentWidth, 166);
  EXPECT_TRUE(layout.headingRows.empty());
  EXPECT_TRUE(layout.textRows.empty());
}

TEST(StartupLayout, RowNumbersArePaddedByValue) {
  const Layout layout = startupLayout(102, 2);
  EXPECT_EQ(layout.rowLabels[9], "  9");
  EXPECT_EQ(layout.rowLabels[10], " 10");
  EXPECT_EQ(layout.rowLabels[99], " 99");
  EXPECT_EQ(layout.rowLabels[100], "100");
  EXPECT_EQ(layout.rowLabels[101], "101");
}

struct ColumnsCase {
  const char* name;
  std::vector<std::pair<int, int>> questions;  // kind, option_count
  std::vector<int> widths;
  std::vector<std::string> headers;
};

class PaperColumns : public ::testing::TestWithParam<ColumnsCase> {};

TEST_P(PaperColumns, WidthsHeadersAndContentWidth) {
  const ColumnsCase& c = GetParam();
  const Layout layout = paperLayout(tableOf(c.questions));
  EXPECT_EQ(layout.columnWidths, c.widths);
  EXPECT_EQ(layout.headers, c.headers);
  EXPECT_EQ(layout.contentWidth, contentWidth(c.widths));
  EXPECT_EQ(layout.rowCount, static_cast<int>(c.questions.size()) + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PaperColumns,
    ::testing::Values(
        ColumnsCase{"FourLettersNoText", {{1, 4}, {2, 3}}, {45, 28, 28, 28, 28}, {"答案区", " A", " B", " C", " D"}},
        ColumnsCase{"TwoLettersAndText", {{1, 2}, {3, 0}}, {45, 28, 28, 56}, {"答案区", " A", " B", ""}},
        ColumnsCase{"ThreeLettersAndText", {{3, 0}, {2, 3}}, {45, 28, 28, 28, 28}, {"答案区", " A", " B", " C", ""}},
        ColumnsCase{"FiveLettersAndText", {{3, 0}, {1, 5}},
                    {45, 28, 28, 28, 28, 28}, {"答案区", " A", " B", " C", " D", " E"}},
        ColumnsCase{"TextOnly", {{3, 0}, {3, -4}}, {45, 112}, {"答案区", ""}},
        // Compared signed: a negative count never wins, so no letter columns.
        ColumnsCase{"NegativeCountsOnly", {{1, -2}, {2, -1}}, {45}, {"答案区"}},
        ColumnsCase{"TwoLettersNoText", {{1, 2}, {100, 0}}, {45, 28, 28}, {"答案区", " A", " B"}},
        ColumnsCase{"NoQuestions", {}, {45}, {"答案区"}}),
    caseName<ColumnsCase>);

// Columns reach the widest question past Z, and stop where a letter no
// longer fits its byte.
TEST(PaperLayout, LetterColumnsPastZ) {
  const Layout wide = paperLayout(tableOf({{1, 4}, {2, 30}}));
  EXPECT_EQ(wide.letterColumns, 30);
  ASSERT_EQ(wide.headers.size(), 31u);
  EXPECT_EQ(wide.headers[26], " Z");
  EXPECT_EQ(wide.headers[27], " [");
  EXPECT_EQ(wide.headers[30], " ^");

  const Layout huge = paperLayout(tableOf({{1, 2'000'000'000}}));
  EXPECT_EQ(huge.letterColumns, kMaxLetterColumns);
  EXPECT_EQ(64 + kMaxLetterColumns, 0xFF);
  EXPECT_EQ(huge.headers.size(), static_cast<std::size_t>(kMaxLetterColumns) + 1);
  EXPECT_EQ(huge.headers.back(), " \uFFFD");
}

TEST(PaperLayout, LabelsHeadingsAndTextRowsInRowOrder) {
  std::vector<QuestionRecord> records;
  for (const writer::QuestionSpec& spec : std::vector<writer::QuestionSpec>{
           {"7", 1, 4, "A"},
           {"Part", 100, 0, "Part one"},
           {"12", 3, 0, "X"},
           {"123", 2, 4, "A"},
           {"1234", 3, 0, "Y"},
           {"", 7, 4, "A"},
           {"H2", 100, 0, "Part two"},
       }) {
    records.push_back(writer::makeQuestion(spec));
  }
  const Layout layout = paperLayout(QuestionTable(std::move(records)));
  EXPECT_EQ(layout.rowLabels,
            (std::vector<ByteString>{"", "  7", "", "  12", " 123", "1234", "", ""}));
  EXPECT_EQ(layout.headingRows, (std::vector<int>{2, 7}));
  EXPECT_EQ(layout.textRows, (std::vector<int>{3, 5}));
}

TEST(FormatRowLabel, PaddingByLength) {
  const std::pair<ByteString, ByteString> cases[] = {
      {"", ""}, {"7", "  7"}, {"12", "  12"}, {"123", " 123"}, {"1234", "1234"},
      {"\xb5\xda", "  \xb5\xda"},  // one GBK character is two bytes
  };
  for (const auto& [label, shown] : cases) EXPECT_EQ(formatRowLabel(label), shown) << label;
}

TEST(GradingColumns, AddResultAndCorrectAnswer) {
  Layout layout = paperLayout(tableOf({{1, 4}}));
  addGradingColumns(layout);
  EXPECT_EQ(layout.columnWidths, (std::vector<int>{45, 28, 28, 28, 28, 30, 75}));
  EXPECT_EQ(layout.headers.at(5), "结果");
  EXPECT_EQ(layout.headers.at(6), " 正确答案");
  EXPECT_EQ(layout.contentWidth, 167 + 32 + 77);
  EXPECT_EQ(layout.letterColumns, 4);
}

TEST(GridWidth, LoadCountsTwentyFivePerRowAndResizeTwentyThree) {
  // 10 rows: 250 pixels at the default row height, 230 at the set one.
  Layout layout = paperLayout(tableOf(std::vector<std::pair<int, int>>(9, {1, 4})));
  ASSERT_EQ(layout.contentWidth, 167);
  EXPECT_EQ(gridWidth(layout, 250), 167);
  EXPECT_EQ(gridWidth(layout, 240), 167 + 16);
  EXPECT_EQ(resizedGridWidth(layout, 183, 240), 167);  // rows fit again
  EXPECT_EQ(resizedGridWidth(layout, 167, 229), 183);
  EXPECT_EQ(resizedGridWidth(layout, 183, 229), 183);  // not widened twice
  EXPECT_FALSE(needsScrollRoom(10, 23, 230));
  EXPECT_TRUE(needsScrollRoom(10, 23, 229));
}

TEST(RowControls, FollowTheRowsWhenScrolled) {
  const int gridTop = 10;
  // Created as if row 1 were the first visible row.
  EXPECT_EQ(rowControlTop(1, 1, gridTop), 10 + 23 + 2);
  EXPECT_EQ(rowControlTop(5, 1, gridTop), 10 + 5 * 23 + 2);
  // Three rows down: every control moves up 3 * 23; rows above row 4 hide.
  EXPECT_EQ(rowControlTop(5, 4, gridTop), 10 + 5 * 23 + 2 - 3 * 23);
  EXPECT_EQ(rowControlTop(4, 4, gridTop), 10 + 23 + 2);
  EXPECT_EQ(rowControlTop(3, 4, gridTop), std::nullopt);
  EXPECT_EQ(rowControlTop(1, 4, gridTop), std::nullopt);
}

TEST(RowControls, LeftEdgesAndWidths) {
  Layout layout = paperLayout(tableOf({{1, 2}, {3, 0}}));  // 45, 28, 28, 56
  ASSERT_EQ(layout.contentWidth, 165);
  EXPECT_EQ(rowPanelLeft(300), 302);
  EXPECT_EQ(rowEditLeft(layout, 300), 347);
  EXPECT_EQ(rowPanelWidth(layout), 161);
  EXPECT_EQ(rowEditWidth(layout), 116);
  addGradingColumns(layout);
  EXPECT_EQ(rowPanelWidthAfterResize(layout), 165 + 32 + 77 - 6);
}

// Zoom scales the columns, the rows and so the row controls' places; the
// one-pixel lines between cells stay one pixel.
TEST(ScaledLayout, OneAndAHalfIsTheSameGridLarger) {
  const Layout plain = paperLayout(tableOf({{1, 2}, {3, 0}, {100, 0}}));  // 45, 28, 28, 56
  const Layout large = scaledLayout(plain, 1.5);
  EXPECT_EQ(large.columnWidths, (std::vector<int>{68, 42, 42, 84}));
  EXPECT_EQ(large.contentWidth, (68 + 2) + (42 + 2) * 2 + (84 + 2));
  EXPECT_EQ(large.rowHeight, 33);
  EXPECT_EQ(large.defaultRowHeight, 36);
  EXPECT_EQ(large.headers, plain.headers);
  EXPECT_EQ(large.textRows, plain.textRows);
  EXPECT_EQ(large.headingRows, plain.headingRows);
  EXPECT_EQ(rowEditLeft(large, 300), 300 + 68 + 2);
  EXPECT_EQ(rowEditWidth(large), large.contentWidth - 68 - 4);
  EXPECT_EQ(rowPanelWidth(large), large.contentWidth - 4);
  EXPECT_EQ(rowControlTop(2, 1, 10, large.rowHeight), 10 + 2 * 34 + 2);
  EXPECT_EQ(rowControlTop(2, 3, 10, large.rowHeight), std::nullopt);
  // Rows are taller, so fewer fit before the scroll bar is needed.
  EXPECT_EQ(gridWidth(plain, 100), plain.contentWidth);
  EXPECT_EQ(gridWidth(large, 100), large.contentWidth + kScrollBarRoom);

  Layout graded = large;
  addGradingColumns(graded);
  EXPECT_EQ(graded.columnWidths.back(), 113);  // 75 at 150%
  EXPECT_EQ(graded.columnWidths[graded.columnWidths.size() - 2], 45);
}

TEST(ScaledLayout, OneIsExactlyTheLayoutAsIs) {
  for (const Layout& plain : {startupLayout(5, 5), paperLayout(tableOf({{1, 4}, {3, 0}}))}) {
    const Layout same = scaledLayout(plain, 1.0);
    EXPECT_EQ(same.columnWidths, plain.columnWidths);
    EXPECT_EQ(same.contentWidth, plain.contentWidth);
    EXPECT_EQ(same.rowHeight, kRowHeight);
    EXPECT_EQ(same.defaultRowHeight, kDefaultRowHeight);
  }
}

}  // namespace
}  // namespace qzt::grid
