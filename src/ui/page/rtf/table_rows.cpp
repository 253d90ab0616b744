#include "page/rtf/table_rows.h"

#include <utility>

namespace qzt::rtf {

void TableRows::addParagraph(Paragraph p) { cell_.push_back(std::move(p)); }

void TableRows::endCell(Paragraph last) {
  if (!last.runs.empty() || cell_.empty()) cell_.push_back(std::move(last));
  if (rowCells_.size() < kMaxRowCells) {
    rowCells_.push_back(std::move(cell_));
  } else {  // beyond any real row: the text joins the last cell
    rowCells_.back().insert(rowCells_.back().end(), cell_.begin(), cell_.end());
  }
  cell_.clear();
}

void TableRows::endRow(const RowDef& def) {
  if (!cell_.empty()) endCell(Paragraph{});
  if (rowCells_.empty()) return;
  rows_.push_back({def, std::exchange(rowCells_, {})});
}

std::vector<TableRow> TableRows::take(const RowDef& def) {
  endRow(def);
  return std::exchange(rows_, {});
}

}  // namespace qzt::rtf
