#include "page/rtf/table_writer.h"

#include <QTextTable>
#include <QTextTableCellFormat>

#include <algorithm>
#include <set>

#include "page/rtf/document_writer.h"

namespace qzt::rtf {
namespace {

constexpr int kMaxGridColumns = 64;
constexpr int kMinCellWidth = 60;       // twips: edges out of order still give a visible cell
constexpr int kDefaultCellWidth = 1440;  // for cells no \cellx defines

// One RTF cell on the grid.
struct PlacedCell {
  int row = 0;
  int column = 0;
  int columns = 1;
  int rows = 1;
  std::vector<const Cell*> contents;  // its own, then text of cells it covers
  CellDef def;
};

bool hasText(const Cell& cell) {
  return std::any_of(cell.begin(), cell.end(), [](const Paragraph& p) { return !p.runs.empty(); });
}

// Right edges of a row's cells, in order, one per cell.
std::vector<int> rightEdges(const TableRow& row) {
  const std::size_t count = std::max(row.def.cells.size(), row.cells.size());
  std::vector<int> edges;
  int previous = row.def.left;
  for (std::size_t i = 0; i < count; ++i) {
    int right = i < row.def.cells.size() ? row.def.cells[i].right : previous + kDefaultCellWidth;
    right = std::max(right, previous + kMinCellWidth);
    edges.push_back(right);
    previous = right;
  }
  return edges;
}

class Grid {
 public:
  explicit Grid(const std::vector<TableRow>& rows);

  int columnCount() const { return columnCount_; }
  // Fixed widths in twips, or none when the edges were too many to line up.
  const std::vector<int>& widths() const { return widths_; }
  int left() const { return edges_.empty() ? 0 : edges_.front(); }
  const std::vector<PlacedCell>& cells() const { return cells_; }

 private:
  int column(int edge) const;
  void placeRow(int index, const TableRow& row);

  std::vector<int> edges_;  // empty: one column per cell
  std::vector<int> widths_;
  int columnCount_ = 0;
  std::vector<PlacedCell> cells_;
  std::vector<int> openDown_;  // per column: the cell a \clvmrg below extends, or -1
};

Grid::Grid(const std::vector<TableRow>& rows) {
  std::set<int> edges;
  std::size_t widest = 1;
  for (const TableRow& row : rows) {
    const std::vector<int> right = rightEdges(row);
    edges.insert(row.def.left);
    edges.insert(right.begin(), right.end());
    widest = std::max(widest, right.size());
  }
  if (edges.size() - 1 <= static_cast<std::size_t>(kMaxGridColumns)) {
    edges_.assign(edges.begin(), edges.end());
    for (std::size_t i = 1; i < edges_.size(); ++i) widths_.push_back(edges_[i] - edges_[i - 1]);
    columnCount_ = static_cast<int>(widths_.size());
  } else {
    columnCount_ = static_cast<int>(widest);
  }
  openDown_.assign(static_cast<std::size_t>(columnCount_), -1);
  for (std::size_t r = 0; r < rows.size(); ++r) placeRow(static_cast<int>(r), rows[r]);
}

int Grid::column(int edge) const {
  return static_cast<int>(std::lower_bound(edges_.begin(), edges_.end(), edge) - edges_.begin());
}

void Grid::placeRow(int index, const TableRow& row) {
  const std::vector<int> right = rightEdges(row);
  std::vector<int> stillOpen(openDown_.size(), -1);
  int previous = row.def.left;
  for (std::size_t i = 0; i < right.size(); ++i) {
    PlacedCell cell;
    cell.row = index;
    cell.column = edges_.empty() ? static_cast<int>(i) : column(previous);
    cell.columns = edges_.empty() ? 1 : column(right[i]) - cell.column;
    previous = right[i];
    if (i < row.def.cells.size()) cell.def = row.def.cells[i];
    const Cell* content = i < row.cells.size() ? &row.cells[i] : nullptr;
    if (content) cell.contents.push_back(content);
    const auto at = static_cast<std::size_t>(cell.column);
    // A covered cell's text, where a writer left any, joins the merged cell's.
    PlacedCell* covering = nullptr;
    if (cell.def.across == Merge::Next && !cells_.empty() && cells_.back().row == index) {
      covering = &cells_.back();
      covering->columns += cell.columns;
    } else if (cell.def.down == Merge::Next && openDown_[at] >= 0 &&
               cells_[static_cast<std::size_t>(openDown_[at])].columns == cell.columns) {
      covering = &cells_[static_cast<std::size_t>(openDown_[at])];
      ++covering->rows;
      stillOpen[at] = openDown_[at];
    }
    if (covering) {
      if (content && hasText(*content)) covering->contents.push_back(content);
      continue;
    }
    if (cell.def.down == Merge::First) stillOpen[at] = static_cast<int>(cells_.size());
    cells_.push_back(cell);
  }
  openDown_ = std::move(stillOpen);
}

void setBorders(QTextTableCellFormat& f, const CellDef& def, const DocumentWriter& writer) {
  const auto width = [](const Border& b) { return b.on ? std::max(1.0, pixels(b.width)) : 0.0; };
  const auto brush = [&](const Border& b) {
    const QColor c = writer.colour(b.colour);
    return QBrush(c.isValid() ? c : QColor(Qt::black));
  };
  f.setTopBorder(width(def.top));
  f.setLeftBorder(width(def.left));
  f.setBottomBorder(width(def.bottom));
  f.setRightBorder(width(def.rightBorder));
  f.setTopBorderBrush(brush(def.top));
  f.setLeftBorderBrush(brush(def.left));
  f.setBottomBorderBrush(brush(def.bottom));
  f.setRightBorderBrush(brush(def.rightBorder));
  f.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
}

QTextTableCellFormat cellFormat(const CellDef& def, int gap, const DocumentWriter& writer) {
  QTextTableCellFormat f;
  setBorders(f, def, writer);
  f.setLeftPadding(pixels(def.padLeft >= 0 ? def.padLeft : gap));
  f.setRightPadding(pixels(def.padRight >= 0 ? def.padRight : gap));
  if (const QColor bg = writer.colour(def.background); bg.isValid()) f.setBackground(bg);
  if (def.valign == VerticalAlign::Centre) f.setVerticalAlignment(QTextCharFormat::AlignMiddle);
  if (def.valign == VerticalAlign::Bottom) f.setVerticalAlignment(QTextCharFormat::AlignBottom);
  return f;
}

QTextTableFormat tableFormat(const Grid& grid, const RowDef& first) {
  QTextTableFormat f;
  f.setBorder(0);
  f.setBorderCollapse(true);
  f.setCellSpacing(0);
  f.setCellPadding(0);
  f.setMargin(0);
  f.setAlignment(first.align == Align::Centre ? Qt::AlignHCenter
                 : first.align == Align::Right ? Qt::AlignRight
                                               : Qt::AlignLeft);
  if (grid.left() > 0) f.setLeftMargin(pixels(grid.left()));
  QList<QTextLength> widths;
  for (const int w : grid.widths()) widths.append(QTextLength(QTextLength::FixedLength, pixels(w)));
  f.setColumnWidthConstraints(widths);
  return f;
}

}  // namespace

bool writeTable(QTextCursor& cursor, const std::vector<TableRow>& rows, DocumentWriter& writer) {
  if (rows.empty()) return true;
  const Grid grid(rows);
  const int rowCount = static_cast<int>(rows.size());
  if (grid.columnCount() == 0 || !writer.spendCells(qint64(rowCount) * grid.columnCount())) return false;
  QTextTable* table = cursor.insertTable(rowCount, grid.columnCount(), tableFormat(grid, rows.front().def));
  // Text and formats first, merges last: a cell's spans live in the format
  // of its first block's mark, which writing the first paragraph replaces.
  for (const PlacedCell& placed : grid.cells()) {
    QTextTableCell cell = table->cellAt(placed.row, placed.column);
    QTextCursor at = cell.firstCursorPosition();
    bool newBlock = false;
    for (const Cell* content : placed.contents) {
      for (const Paragraph& p : *content) {
        writer.write(at, p, newBlock);
        newBlock = true;
      }
    }
    // After the text: a cell's format is its first block's character format.
    cell.setFormat(cellFormat(placed.def, rows[static_cast<std::size_t>(placed.row)].def.gap, writer));
  }
  for (const PlacedCell& placed : grid.cells()) {  // each merge redoes the table's grid
    if (placed.rows > 1 || placed.columns > 1) table->mergeCells(placed.row, placed.column, placed.rows, placed.columns);
  }
  return true;
}

}  // namespace qzt::rtf
