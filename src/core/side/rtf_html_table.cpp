#include "side/rtf_html_table.h"

#include <algorithm>

namespace qzt {
namespace {

constexpr char kEmptyCell[] = "<p><br></p>";
// Far more than any writer makes; a hostile file's \cellx run stops here.
constexpr std::size_t kDefinitionLimit = 1000;
// What a cell costs beyond its text: its entry here and its markup.
constexpr std::size_t kCellCost = 96;

void keepText(std::string& into, const std::string& html) {
  if (html != kEmptyCell) into += html;
}

}  // namespace

void RtfHtmlTable::clearDefinitions() {
  definitions_.clear();
  nextAcross_ = nextDown_ = false;
}

void RtfHtmlTable::defineCell(long rightEdge) {
  if (definitions_.size() < kDefinitionLimit) definitions_.push_back({nextAcross_, nextDown_, rightEdge});
  nextAcross_ = nextDown_ = false;
}

void RtfHtmlTable::addCell(std::string html) {
  size_ += html.size() + kCellCost;
  const std::size_t index = row_.size();
  const long left = row_.empty() ? 0 : row_.back().right;
  // A cell past the definitions gets an edge of its own just right of the last.
  const Definition definition = index < definitions_.size() ? definitions_[index] : Definition{false, false, left + 1};
  const long right = std::max(definition.right, left + 1);
  const auto owner = std::find_if(row_.rbegin(), row_.rend(), [](const Cell& c) { return !c.joined; });
  if (definition.across && owner != row_.rend()) {
    owner->right = right;
    keepText(owner->html, html);
    row_.push_back(Cell{{}, left, right, true, 1});
    return;
  }
  row_.push_back(Cell{std::move(html), left, right, false, definition.down ? 0 : 1});
}

void RtfHtmlTable::joinDown(Cell& cell) {
  const auto start = columnStarts_.find(cell.left);
  if (start == columnStarts_.end()) {
    cell.down = 1;  // merged down from nothing: a cell of its own
    return;
  }
  Cell& above = rows_[start->second.row][start->second.cell];
  ++above.down;
  keepText(above.html, cell.html);
  cell.joined = true;
}

void RtfHtmlTable::endRow() {
  for (std::size_t i = 0; i < row_.size(); ++i) {
    Cell& cell = row_[i];
    if (cell.joined) continue;
    if (cell.down == 0) joinDown(cell);
    else columnStarts_[cell.left] = {rows_.size(), i};
  }
  rows_.push_back(std::move(row_));
  row_.clear();
}

std::string RtfHtmlTable::cellHtml(const Cell& cell, const std::vector<long>& edges) const {
  const auto first = std::upper_bound(edges.begin(), edges.end(), cell.left);
  const auto last = std::upper_bound(edges.begin(), edges.end(), cell.right);
  const auto across = std::max<std::ptrdiff_t>(1, last - first);
  std::string html = "<td";
  if (across > 1) html += " colspan=\"" + std::to_string(across) + "\"";
  if (cell.down > 1) html += " rowspan=\"" + std::to_string(cell.down) + "\"";
  return html + ">" + cell.html + "</td>";
}

std::string RtfHtmlTable::take() {
  if (rows_.empty()) return {};
  std::vector<long> edges;  // every right edge of the table: its columns
  for (const auto& row : rows_) {
    for (const Cell& c : row) edges.push_back(c.right);
  }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  std::string html = "<table>";
  for (const auto& row : rows_) {
    html += "<tr>";
    for (const Cell& c : row) {
      if (!c.joined) html += cellHtml(c, edges);
    }
    html += "</tr>";
  }
  html += "</table>";
  *this = RtfHtmlTable{};
  return html;
}

}  // namespace qzt
