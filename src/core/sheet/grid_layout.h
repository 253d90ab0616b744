// What the answer grid looks like for a question table: columns, widths,
// row labels and which rows carry a row panel or a row edit. Pure
// arithmetic, so the window only draws what this says.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "paper/question_table.h"
#include "util/bytes.h"

namespace qzt::grid {

inline constexpr int kLabelColumnWidth = 45;
inline constexpr int kLetterColumnWidth = 28;
inline constexpr int kRowHeight = 22;          // height of row 0, every row
inline constexpr int kDefaultRowHeight = 24;   // the grid's own default
inline constexpr int kScrollBarRoom = 16;
inline constexpr int kResultColumnWidth = 30;
inline constexpr int kCorrectColumnWidth = 75;
inline constexpr int kTextAreaWidth = 112;     // letter area under a row edit
// The letter of column c is the byte 64 + c, so columns stop where that
// byte does (0xFF); a larger option_count adds no columns (a hostile count
// must not build millions of them).
inline constexpr int kMaxLetterColumns = 0xFF - 64;

struct Layout {
  int rowCount = 0;                  // questions + header row
  int letterColumns = 0;             // m (at most kMaxLetterColumns)
  std::vector<int> columnWidths;     // column 0 first
  std::vector<std::string> headers;  // UTF-8 header cells
  std::vector<ByteString> rowLabels; // index = row; "" for row 0 and headings
  std::vector<int> headingRows;      // rows of kind 100, in order (panel n)
  std::vector<int> textRows;         // rows of kind 3, in order (edit n)
  int contentWidth = 0;              // sum of (width + 2); start-up: 166
  // Zoom: widths and heights above are already multiplied by scale; the
  // one-pixel lines between cells and the scroll bar are not.
  double scale = 1.0;
  int rowHeight = kRowHeight;
  int defaultRowHeight = kDefaultRowHeight;
};

// The empty start-up grid (5 x 5): "答案区", " A".." D", rows "  1".."  4".
Layout startupLayout(int rows, int columns);
// The grid for a loaded paper.
Layout paperLayout(const QuestionTable& table);
// Adds the result and correct-answer columns that grading brings.
void addGradingColumns(Layout& layout);

// The same grid zoomed by `scale` (1.0 gives it back unchanged): every
// column, the row heights and with them the row controls' places.
Layout scaledLayout(const Layout& layout, double scale);
// A pixel rule at `scale`, rounded to the nearest pixel, at least 1.
int scaledPixels(int pixels, double scale);

// The letter of letter column `column` (code 64 + column: "A" for 1), as
// UTF-8 text; a byte that is no GBK character alone shows as U+FFFD.
std::string letterText(int column);
// Two leading blanks for 1-2 bytes, one for 3, none otherwise.
ByteString formatRowLabel(const ByteString& label);
// Sum over columns of (width + 2).
int contentWidth(const std::vector<int>& widths);
// Whether rows need the scroll bar room: rows * (rowStep) > gridHeight.
bool needsScrollRoom(int rowCount, int rowStep, int gridHeight);

// ---- Grid width ------------------------------------------------------------
// Width of the grid when it is built or graded: the content width, plus the
// scroll bar room when rowCount * (default row height + 1) > gridHeight.
int gridWidth(const Layout& layout, int gridHeight);
// Width after the grid's parent was resized: when the rows (at row height
// + 1) do not fit, a grid as wide as its content gains the scroll bar room
// and a wider one stays; when they fit, the content width.
int resizedGridWidth(const Layout& layout, int currentWidth, int gridHeight);

// ---- Row controls (panels over headings, edits over text rows) -------------
// Edges are in the grid's parent, like the grid's own left and top.
// Top of the control over `row` when `topRow` is the first visible normal
// row; none when the row lies at or above the grid's top (control hidden).
// With topRow 1 this is also where the control is created.
std::optional<int> rowControlTop(int row, int topRow, int gridTop, int rowHeight = kRowHeight);
int rowPanelLeft(int gridLeft);
int rowEditLeft(const Layout& layout, int gridLeft);
// Widths: a panel is created contentWidth - 4 wide and narrowed to
// contentWidth - 6 by every resize; an edit keeps its creation width.
int rowPanelWidth(const Layout& layout);
int rowPanelWidthAfterResize(const Layout& layout);
int rowEditWidth(const Layout& layout);

}  // namespace qzt::grid
