// A table's rows as the reader meets them: paragraphs of the cell being
// read, cells of the row being read, and finished rows, until the table ends.
#pragma once

#include <vector>

#include "page/rtf/model.h"

namespace qzt::rtf {

class TableRows {
 public:
  bool empty() const { return cell_.empty() && rowCells_.empty() && rows_.empty(); }

  // A paragraph of the cell being read (ended by \par inside the table).
  void addParagraph(Paragraph p);
  // \cell: the cell ends with its last paragraph, which is left out when
  // empty after others (as in "text\par\cell").
  void endCell(Paragraph last);
  // \row: the cells read so far form a row of that definition.
  void endRow(const RowDef& def);
  // The table's rows, open cells and rows ended; empty afterwards.
  std::vector<TableRow> take(const RowDef& def);

 private:
  Cell cell_;
  std::vector<Cell> rowCells_;
  std::vector<TableRow> rows_;
};

}  // namespace qzt::rtf
