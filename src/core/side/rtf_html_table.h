// The table the HTML rendition of an RTF page is building: rows of cells
// as RTF gives them, each reaching to its right edge (\cellx), so a cell as
// wide as two of another row spans both; cells merged across (\clmrg) and
// down (\clvmrg) are joined into the cell they continue, their text kept.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace qzt {

class RtfHtmlTable {
 public:
  // The cell definitions of the rows to come (\trowd ... \cellx).
  void clearDefinitions();
  void mergeNextAcross() { nextAcross_ = true; }
  void mergeNextDown() { nextDown_ = true; }
  void defineCell(long rightEdge);

  void addCell(std::string html);
  void endRow();
  bool hasCells() const { return !row_.empty(); }
  std::size_t size() const { return size_; }
  // The table's HTML, empty when it has no row; the table starts anew.
  std::string take();

 private:
  struct Cell {
    std::string html;
    long left = 0, right = 0;
    bool joined = false;  // merged into another cell
    int down = 1;         // rows spanned
  };
  struct Definition {
    bool across = false, down = false;
    long right = 0;
  };
  struct Place {
    std::size_t row, cell;
  };

  void joinDown(Cell& cell);
  std::string cellHtml(const Cell& cell, const std::vector<long>& edges) const;

  std::vector<Definition> definitions_;
  bool nextAcross_ = false, nextDown_ = false;
  std::vector<Cell> row_;
  std::vector<std::vector<Cell>> rows_;
  std::map<long, Place> columnStarts_;  // by left edge, the cell a cell merged down joins
  std::size_t size_ = 0;
};

}  // namespace qzt
