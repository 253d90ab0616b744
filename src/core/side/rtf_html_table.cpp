#include "side/rtf_html_table.h"

#include <cstdint>

namespace qzt {
namespace {

constexpr char kEmptyCell[] = "<p><br></p>";

void keepText(std::string& into, const std::string& html) {
  if (html != kEmptyCell) into += html;
}

}  // namespace

void RtfHtmlTable::clearDefinitions() {
  definitions_.clear();
  nextAcross_ = nextDown_ = false;
}

void RtfHtmlTable::defineCell() {
  definitions_.push_back({nextAcross_, nextDown_});
  nextAcross_ = nextDown_ = false;
}

void RtfHtmlTable::addCell(std::string html) {
  size_ += html.size();
  const std::size_t index = row_.size();
  const bool across = index < definitions_.size() && definitions_[index].across && !row_.empty();
  const bool down = index < definitions_.size() && definitions_[index].down;
  if (across) {
    ++row_.back().across;
    keepText(row_.back().html, html);
    row_.push_back(Cell{{}, 0, 1});
    return;
  }
  row_.push_back(Cell{std::move(html), 1, down ? 0 : 1});
}

void RtfHtmlTable::joinDown(Cell& cell, std::size_t column) {
  if (column < columnStarts_.size() && columnStarts_[column].row < rows_.size()) {
    Cell& above = rows_[columnStarts_[column].row][columnStarts_[column].cell];
    ++above.down;
    keepText(above.html, cell.html);
    cell.across = 0;
    return;
  }
  cell.down = 1;  // merged down from nothing: a cell of its own
}

void RtfHtmlTable::endRow() {
  std::size_t column = 0;
  for (std::size_t i = 0; i < row_.size(); ++i) {
    Cell& cell = row_[i];
    if (cell.across == 0) continue;
    const auto width = static_cast<std::size_t>(cell.across);
    if (cell.down == 0) {
      joinDown(cell, column);
    } else {
      if (columnStarts_.size() <= column) columnStarts_.resize(column + 1, Place{SIZE_MAX, 0});
      columnStarts_[column] = {rows_.size(), i};
    }
    column += width;
  }
  rows_.push_back(std::move(row_));
  row_.clear();
}

std::string RtfHtmlTable::take() {
  if (rows_.empty()) return {};
  std::string html = "<table>";
  for (const auto& row : rows_) {
    html += "<tr>";
    for (const Cell& c : row) {
      if (c.across == 0 || c.down == 0) continue;
      html += "<td";
      if (c.across > 1) html += " colspan=\"" + std::to_string(c.across) + "\"";
      if (c.down > 1) html += " rowspan=\"" + std::to_string(c.down) + "\"";
      html += ">" + c.html + "</td>";
    }
    html += "</tr>";
  }
  html += "</table>";
  *this = RtfHtmlTable{};
  return html;
}

}  // namespace qzt
