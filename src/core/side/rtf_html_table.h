// The table the HTML rendition of an RTF page is building: rows of cells
// as RTF gives them, with cells merged across (\clmrg) and down (\clvmrg)
// joined into the cell they continue, their text kept there.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qzt {

class RtfHtmlTable {
 public:
  // The cell definitions of the rows to come (\trowd ... \cellx).
  void clearDefinitions();
  void mergeNextAcross() { nextAcross_ = true; }
  void mergeNextDown() { nextDown_ = true; }
  void defineCell();

  void addCell(std::string html);
  void endRow();
  bool hasCells() const { return !row_.empty(); }
  bool empty() const { return rows_.empty(); }
  std::size_t size() const { return size_; }
  // The table's HTML, empty when it has no row; the table starts anew.
  std::string take();

 private:
  struct Cell {
    std::string html;
    int across = 1, down = 1;  // 0 when joined into another cell
  };
  struct Definition {
    bool across = false, down = false;
  };
  struct Place {
    std::size_t row, cell;
  };

  void joinDown(Cell& cell, std::size_t column);

  std::vector<Definition> definitions_;
  bool nextAcross_ = false, nextDown_ = false;
  std::vector<Cell> row_;
  std::vector<std::vector<Cell>> rows_;
  std::vector<Place> columnStarts_;  // the cell above that a cell merged down joins, by column
  std::size_t size_ = 0;
};

}  // namespace qzt
