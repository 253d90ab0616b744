#include "sheet/key_entry.h"

#include <algorithm>

#include "paper/format.h"

namespace qzt {

KeyAction keyAction(const QuestionTable& table, int row, int column, GridKey key, char letter) {
  if (row < 1 || row > table.count()) return {};
  const int kind = table.question(row).kind();
  if (kind == format::kKindHeading) return {};
  if (kind == format::kKindText) return {KeyAction::Kind::ToRowEdit, 0};
  switch (key) {
    case GridKey::Letter: {
      const char upper = (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 'a' + 'A') : letter;
      if (upper < 'A' || upper > 'Z') return {};
      return {KeyAction::Kind::PressCell, upper - 'A' + 1};
    }
    case GridKey::Space:
      return {KeyAction::Kind::PressCell, column};
    case GridKey::Enter:
    case GridKey::Text:
      break;
  }
  return {};
}

int lastLetterColumn(const QuestionTable& table, int letterColumns, int row) {
  const int last = std::max(letterColumns, 1);
  if (row < 1 || row > table.count()) return last;
  const QuestionRecord& record = table.question(row);
  const int kind = record.kind();
  if (kind == format::kKindHeading || kind == format::kKindText || record.optionCount() < 1) return last;
  return std::min(record.optionCount(), last);
}

}  // namespace qzt
