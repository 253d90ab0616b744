#include "side/answer_file.h"

#include <algorithm>
#include <vector>

#include "paper/format.h"
#include "side/text_lines.h"

namespace qzt {
namespace {

// The letter of column c: "A" for 1, "B" for 2, ... (code 64 + c).
char columnLetter(int c) { return static_cast<char>((64 + c) & 0xFF); }

void importChoiceLine(AnswerSheet& sheet, int row, int optionCount, const ByteString& line) {
  // Cells past the grid's letter columns do not exist; a hostile
  // option_count must not drive a long loop.
  const int columns = std::min(optionCount, sheet.letterColumns());
  for (int c = 1; c <= columns; ++c) {
    const char letter = columnLetter(c);
    const bool chosen = line.find(letter) != ByteString::npos;
    sheet.setCell(row, c, chosen ? ByteString{' ', letter} : ByteString{});
  }
}

}  // namespace

ByteString exportAnswers(const ByteString& paperKey, const QuestionTable& table,
                         const AnswerSheet& sheet) {
  ByteString out = paperKey + "\r\n";
  int textIndex = 0;
  for (int row = 1; row <= table.count(); ++row) {
    const QuestionRecord& q = table.question(row);
    if (q.kind() == format::kKindText) {
      out += sheet.textAnswer(textIndex++);
    } else {
      out += sheet.joinedCells(row, q.optionCount());
    }
    out += "\r\n";
  }
  return out;
}

Result<AnswerSheet> importAnswers(const ByteString& fileBytes, const ByteString& paperKey,
                                  const QuestionTable& table, const AnswerSheet& current) {
  if (paperKey.empty()) return Error::refused(kImportNeedsPaper);
  const std::vector<ByteString> lines = splitLines(fileBytes);
  if (lines.empty()) return Error::refused(kAnswerFileEmpty);
  if (lines.front() != paperKey) return Error::refused(kAnswersDoNotFit);
  if (static_cast<long long>(lines.size()) != static_cast<long long>(table.count()) + 1) {
    return Error::refused(kAnswersDoNotFit);
  }
  AnswerSheet sheet = current;
  int textIndex = 0;
  for (int row = 1; row <= table.count(); ++row) {
    const QuestionRecord& q = table.question(row);
    const ByteString& line = lines[static_cast<std::size_t>(row)];
    if (q.kind() == format::kKindText) {
      sheet.setTextAnswer(textIndex++, line);
    } else {
      importChoiceLine(sheet, row, q.optionCount(), line);
    }
  }
  return sheet;
}

}  // namespace qzt
