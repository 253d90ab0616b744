#include "classroom/sheet_entry.h"

#include <algorithm>
#include <set>

#include "paper/format.h"
#include "util/gbk.h"

namespace qzt::classroom {
namespace {

Refusal bad(int row, const std::string& why) {
  return refuse(Denial::BadInput, "第 " + std::to_string(row) + " 题：" + why);
}

// Letters A.. of a choice row into their cells, as a click puts them.
std::optional<Refusal> putLetters(AnswerSheet& sheet, const QuestionRecord& q, int row,
                                  const std::string& letters) {
  const int options = std::min<int>(q.optionCount(), sheet.letterColumns());
  std::set<int> chosen;
  for (char c : letters) {
    const int column = c - 'A' + 1;
    if (c < 'A' || c > 'Z' || column > options) return bad(row, "选项超出范围");
    chosen.insert(column);
  }
  if (q.kind() == format::kKindSingle && chosen.size() > 1) return bad(row, "单选题只能选一个");
  for (int column : chosen) sheet.setCell(row, column, ByteString{' ', static_cast<char>(64 + column)});
  return std::nullopt;
}

std::optional<Refusal> putText(AnswerSheet& sheet, int row, const std::string& text) {
  if (text.find_first_of("\r\n", 0) != std::string::npos || text.find('\0') != std::string::npos) {
    return bad(row, "答案不能换行");
  }
  auto gbk = utf8ToGbk(text);
  if (!gbk.ok()) return bad(row, "文字编码无效");
  if (gbk.value().size() > kMaxTextAnswerBytes) return bad(row, "答案太长");
  sheet.setTextAnswer(sheet.textIndexOfRow(row), std::move(gbk).value());
  return std::nullopt;
}

}  // namespace

Outcome<AnswerSheet> sheetFromEntries(const QuestionTable& table, int letterColumns,
                                      const std::vector<RowEntry>& entries) {
  AnswerSheet sheet(table, letterColumns);
  std::set<int> seen;
  for (const RowEntry& e : entries) {
    if (e.row < 1 || e.row > table.count()) return refuse(Denial::BadInput, "题号超出范围");
    if (!seen.insert(e.row).second) return bad(e.row, "重复");
    const QuestionRecord& q = table.question(e.row);
    if (!q.graded()) return bad(e.row, "此行不能作答");
    const bool textRow = q.kind() == format::kKindText;
    if (e.letters && (textRow || e.text)) return bad(e.row, "答案类型不符");
    if (e.text && !textRow) return bad(e.row, "答案类型不符");
    std::optional<Refusal> refused;
    if (e.letters) refused = putLetters(sheet, q, e.row, *e.letters);
    if (e.text) refused = putText(sheet, e.row, *e.text);
    if (refused) return *refused;
  }
  return sheet;
}

std::vector<RowEntry> entriesFromSheet(const QuestionTable& table, const AnswerSheet& sheet) {
  std::vector<RowEntry> out;
  for (int row = 1; row <= table.count(); ++row) {
    const QuestionRecord& q = table.question(row);
    if (!q.graded()) continue;
    if (q.kind() == format::kKindText) {
      const ByteString& text = sheet.textAnswer(sheet.textIndexOfRow(row));
      if (!text.empty()) out.push_back({row, std::nullopt, gbkToUtf8(text)});
      continue;
    }
    std::string letters;
    for (char c : sheet.joinedCells(row, q.optionCount())) {
      if (c >= 'A' && c <= 'Z') letters.push_back(c);
    }
    if (!letters.empty()) out.push_back({row, letters, std::nullopt});
  }
  return out;
}

int answeredCount(const QuestionTable& table, const AnswerSheet& sheet) {
  return static_cast<int>(entriesFromSheet(table, sheet).size());
}

}  // namespace qzt::classroom
