// RTF table rows as one QTextTable. Cells sit on a grid of every cell edge
// (\cellx) of every row, so rows with different cells line up as the author
// drew them; merged cells (\clmgf/\clmrg, \clvmgf/\clvmrg) span the grid.
#pragma once

#include <QTextCursor>

#include <vector>

#include "page/rtf/model.h"

namespace qzt::rtf {

class DocumentWriter;

// Writes the rows as a table at the cursor. False, with nothing written, when
// the table would pass the writer's cell budget.
bool writeTable(QTextCursor& cursor, const std::vector<TableRow>& rows, DocumentWriter& writer);

}  // namespace qzt::rtf
