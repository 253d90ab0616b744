#include "sheet/grid_layout.h"

#include <algorithm>
#include <cmath>

#include "paper/format.h"
#include "util/gbk.h"

namespace qzt::grid {
namespace {

constexpr char kLabelHeader[] = "答案区";
constexpr char kResultHeader[] = "结果";
constexpr char kCorrectHeader[] = " 正确答案";
// The start-up grid is as wide as its columns plus this, not sum(w + 2).
constexpr int kStartupWidthExtra = 9;

std::string letterHeader(int column) { return ' ' + letterText(column); }

// Row numbers of the start-up grid, padded by value (not by length).
ByteString startupRowLabel(int row) {
  std::string digits = std::to_string(row);
  if (row < 10) return "  " + digits;
  if (row < 100) return " " + digits;
  return digits;
}

void addColumn(Layout& layout, int width, std::string header) {
  layout.columnWidths.push_back(width);
  layout.headers.push_back(std::move(header));
}

}  // namespace

Layout startupLayout(int rows, int columns) {
  Layout layout;
  layout.rowCount = rows;
  layout.letterColumns = std::max(columns - 1, 0);
  addColumn(layout, kLabelColumnWidth, kLabelHeader);
  for (int c = 1; c <= layout.letterColumns; ++c) addColumn(layout, kLetterColumnWidth, letterHeader(c));
  layout.rowLabels.assign(std::max(rows, 1), ByteString());
  for (int r = 1; r < rows; ++r) layout.rowLabels[r] = startupRowLabel(r);
  layout.contentWidth = kLabelColumnWidth + kLetterColumnWidth * layout.letterColumns + kStartupWidthExtra;
  return layout;
}

std::string letterText(int column) { return gbkToUtf8(ByteString(1, static_cast<char>(64 + column))); }

Layout paperLayout(const QuestionTable& table) {
  const int n = table.count();
  int m = 0;
  bool hasText = false;
  for (int q = 1; q <= n; ++q) {
    m = std::max(m, static_cast<int>(table.question(q).optionCount()));
    hasText = hasText || table.question(q).kind() == format::kKindText;
  }
  m = std::min(m, kMaxLetterColumns);

  Layout layout;
  layout.rowCount = n + 1;
  layout.letterColumns = m;
  addColumn(layout, kLabelColumnWidth, kLabelHeader);
  for (int c = 1; c <= m; ++c) addColumn(layout, kLetterColumnWidth, letterHeader(c));
  // Row edits need at least 112 pixels of letter area to type into.
  if (m * kLetterColumnWidth < kTextAreaWidth && hasText) {
    addColumn(layout, kTextAreaWidth - kLetterColumnWidth * m, "");
  }

  layout.rowLabels.assign(n + 1, ByteString());
  for (int q = 1; q <= n; ++q) {
    const QuestionRecord& record = table.question(q);
    if (record.kind() == format::kKindHeading) {
      layout.headingRows.push_back(q);
      continue;
    }
    if (record.kind() == format::kKindText) layout.textRows.push_back(q);
    layout.rowLabels[q] = formatRowLabel(record.rowLabel());
  }
  layout.contentWidth = contentWidth(layout.columnWidths);
  return layout;
}

void addGradingColumns(Layout& layout) {
  addColumn(layout, scaledPixels(kResultColumnWidth, layout.scale), kResultHeader);
  addColumn(layout, scaledPixels(kCorrectColumnWidth, layout.scale), kCorrectHeader);
  layout.contentWidth = contentWidth(layout.columnWidths);
}

int scaledPixels(int pixels, double scale) {
  return std::max(1, static_cast<int>(std::lround(pixels * scale)));
}

Layout scaledLayout(const Layout& layout, double scale) {
  Layout scaled = layout;
  scaled.scale = layout.scale * scale;
  int growth = 0;
  for (int& width : scaled.columnWidths) {
    const int before = width;
    width = scaledPixels(width, scale);
    growth += width - before;
  }
  // The lines between columns keep their pixel; only the columns grow.
  scaled.contentWidth = layout.contentWidth + growth;
  scaled.rowHeight = scaledPixels(layout.rowHeight, scale);
  scaled.defaultRowHeight = scaledPixels(layout.defaultRowHeight, scale);
  return scaled;
}

ByteString formatRowLabel(const ByteString& label) {
  if (label.size() == 1 || label.size() == 2) return "  " + label;
  if (label.size() == 3) return " " + label;
  return label;
}

int contentWidth(const std::vector<int>& widths) {
  int sum = 0;
  for (int w : widths) sum += w + 2;
  return sum;
}

bool needsScrollRoom(int rowCount, int rowStep, int gridHeight) {
  return static_cast<long long>(rowCount) * rowStep > gridHeight;
}

int gridWidth(const Layout& layout, int gridHeight) {
  const bool room = needsScrollRoom(layout.rowCount, layout.defaultRowHeight + 1, gridHeight);
  return layout.contentWidth + (room ? kScrollBarRoom : 0);
}

int resizedGridWidth(const Layout& layout, int currentWidth, int gridHeight) {
  if (!needsScrollRoom(layout.rowCount, layout.rowHeight + 1, gridHeight)) return layout.contentWidth;
  return currentWidth == layout.contentWidth ? layout.contentWidth + kScrollBarRoom : currentWidth;
}

std::optional<int> rowControlTop(int row, int topRow, int gridTop, int rowHeight) {
  const int y = gridTop + (rowHeight + 1) * (row - topRow + 1);
  if (y <= gridTop) return std::nullopt;
  return y + 2;
}

int rowPanelLeft(int gridLeft) { return gridLeft + 2; }

int rowEditLeft(const Layout& layout, int gridLeft) {
  const int labelWidth = layout.columnWidths.empty() ? kLabelColumnWidth : layout.columnWidths[0];
  return gridLeft + labelWidth + 2;
}

int rowPanelWidth(const Layout& layout) { return layout.contentWidth - 4; }

int rowPanelWidthAfterResize(const Layout& layout) { return layout.contentWidth - 6; }

int rowEditWidth(const Layout& layout) {
  const int labelWidth = layout.columnWidths.empty() ? kLabelColumnWidth : layout.columnWidths[0];
  return layout.contentWidth - labelWidth - 4;
}

}  // namespace qzt::grid
