#include "sheet/spoken_text.h"

#include <algorithm>

#include "paper/format.h"
#include "sheet/grid_layout.h"
#include "util/gbk.h"

namespace qzt {
namespace {

std::string kindName(int kind) {
  switch (kind) {
    case format::kKindSingle:
      return "单选题";
    case format::kKindMultiple:
      return "多选题";
    case format::kKindText:
      return "文字答案题";
    default:
      return {};
  }
}

const GradedRow* gradedRow(const ExamSession& session, int row) {
  const auto& report = session.report();
  if (!report) return nullptr;
  for (const GradedRow& graded : report->rows)
    if (graded.row == row) return &graded;
  return nullptr;
}

// The result and correct-answer cells of a graded row; false for other columns.
bool describeGradedColumn(const ExamSession& session, int row, int column, CellSpeech& out) {
  const int columns = static_cast<int>(session.gradedLayout().columnWidths.size());
  if (columns < 2 || column < columns - 2) return false;
  const GradedRow* graded = gradedRow(session, row);
  if (!graded || graded->result == RowResult::NotGraded) return true;
  if (column == columns - 2) {
    out.name += graded->result == RowResult::Right ? " 正确" : " 错误";
  } else {
    out.name += " 正确答案 " + (graded->correct.empty() ? std::string("无") : gbkToUtf8(graded->correct));
  }
  return true;
}

// A letter of its row's question: a cell that can be chosen.
bool isLetterCell(const ExamSession& session, int row, int column) {
  const QuestionTable& table = session.table();
  if (row < 1 || row > table.count() || column < 1 || column > session.sheet().letterColumns()) return false;
  const QuestionRecord& record = table.question(row);
  const int kind = record.kind();
  return kind != format::kKindHeading && kind != format::kKindText && column <= record.optionCount();
}

}  // namespace

std::string rowName(const QuestionTable& table, int row) {
  if (row < 1 || row > table.count()) return {};
  const QuestionRecord& record = table.question(row);
  if (record.kind() == format::kKindHeading) return gbkToUtf8(record.answer());
  const ByteString label = trimControlBytes(record.rowLabel());
  if (label.empty()) return "第 " + std::to_string(row) + " 行";
  return "第 " + gbkToUtf8(label) + " 题";
}

CellSpeech describeCell(const ExamSession& session, int row, int column, bool gradedColumns) {
  CellSpeech out;
  const QuestionTable& table = session.table();
  if (row < 1 || row > table.count() || column < 0) return out;
  const QuestionRecord& record = table.question(row);
  // A heading reads once, in its first cell: its strip covers the row.
  if (record.kind() == format::kKindHeading) {
    if (column == 0) out.name = rowName(table, row);
    return out;
  }
  out.name = rowName(table, row);
  out.description = kindName(record.kind());
  if (column == 0) return out;
  if (gradedColumns && describeGradedColumn(session, row, column, out)) return out;

  const AnswerSheet& sheet = session.sheet();
  if (record.kind() == format::kKindText) {
    // The answer reads once, in the first letter cell: the row edit covers the rest.
    if (column > 1) return {};
    const ByteString& text = sheet.textAnswer(sheet.textIndexOfRow(row));
    out.name += " 文字答案 " + (text.empty() ? std::string("未答") : gbkToUtf8(text));
    return out;
  }
  if (!isLetterCell(session, row, column)) return out;
  out.checkable = true;
  out.checked = !sheet.cell(row, column).empty();
  out.name += ' ' + grid::letterText(column);
  out.name += out.checked ? " 已选" : " 未选";
  return out;
}

std::string rowEditName(const QuestionTable& table, int row) {
  return rowName(table, row) + " 文字答案";
}

std::string remainingTimeText(const ExamClock& clock) {
  return "剩余答题时间 " + std::to_string(std::max(clock.minutesLeft(), 0)) + " 分 " +
         std::to_string(std::max(clock.secondsLeft(), 0)) + " 秒";
}

std::string allowedTimeText(const ExamClock& clock) {
  return "答题时间 " + std::to_string(clock.minutesAllowed()) + " 分钟";
}

std::string timeWarningText(TimeWarning warning) {
  switch (warning) {
    case TimeWarning::FiveMinutes:
      return "剩余答题时间不超过 " + std::to_string(kFirstWarningMinutes) + " 分钟";
    case TimeWarning::OneMinute:
      return "剩余答题时间不超过 " + std::to_string(kLastWarningMinutes) + " 分钟";
    case TimeWarning::None:
      break;
  }
  return {};
}

}  // namespace qzt
