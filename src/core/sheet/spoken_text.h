// What assistive technology reads for the answer grid and the exam clock,
// in the reader's language (UTF-8). The window hands these to its
// accessibility layer; nothing here is drawn.
#pragma once

#include <string>

#include "sheet/exam_clock.h"
#include "sheet/exam_session.h"

namespace qzt {

// What a screen reader says for one grid cell.
struct CellSpeech {
  std::string name;         // "第 3 题 B 已选"; empty: nothing to say
  std::string description;  // the kind of question, "单选题"
  bool checkable = false;   // a letter of the row's question
  bool checked = false;
};

// The question of a row: "第 3 题" from its label, "第 3 行" for a row
// without a label, a heading row's heading text.
std::string rowName(const QuestionTable& table, int row);

// Cell (row, column) of the session's grid: column 0 names the row; letter
// cells say the letter and whether it is chosen; a text-answer row says its
// answer in column 1 only; a heading row reads as its heading in column 0
// only (the grid joins the cells its row controls cover into those). With
// `gradedColumns` the last two columns of the graded layout read the result
// ("正确"/"错误") and the correct answer of graded rows.
CellSpeech describeCell(const ExamSession& session, int row, int column, bool gradedColumns);

// The name of the row edit over a text-answer row: "第 5 题 文字答案".
std::string rowEditName(const QuestionTable& table, int row);

// "剩余答题时间 29 分 54 秒"; minutes below 0 read as 0.
std::string remainingTimeText(const ExamClock& clock);
// "答题时间 30 分钟".
std::string allowedTimeText(const ExamClock& clock);
// "剩余答题时间不超过 5 分钟" and "... 1 分钟"; empty for None.
std::string timeWarningText(TimeWarning warning);

}  // namespace qzt
