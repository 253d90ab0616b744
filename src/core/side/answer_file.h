// Answer files (.da): the paper key on line 1, then one line per question
// in question order, every line ended by CR LF. A choice question's line is
// its letter cells joined; a text question's line is its text answer.
// Text is GBK bytes throughout.
#pragma once

#include <cstdint>

#include "sheet/answer_sheet.h"
#include "paper/question_table.h"
#include "util/bytes.h"
#include "util/result.h"

namespace qzt {

// Message texts (UTF-8) of the answer-file commands.
inline constexpr char kSaveNeedsPaper[] = "请先答题再保存答案!";
inline constexpr char kImportNeedsPaper[] = "请先打开试卷再导入答案!";
inline constexpr char kAnswersDoNotFit[] = "该答案跟打开的试卷不符合，不能导入!";
inline constexpr char kAnswerFileEmpty[] = "答案文件是空的，不能导入!";

// The largest answer file read: far above what any paper's answers make,
// low enough that a stray huge file cannot exhaust memory.
inline constexpr std::uintmax_t kAnswerFileLimit = 64u << 20;

// The bytes of an answer file for the answers in `sheet`.
// REQUIRES: paperKey is not empty (the caller shows kSaveNeedsPaper).
ByteString exportAnswers(const ByteString& paperKey, const QuestionTable& table,
                         const AnswerSheet& sheet);

// `current` with the answers of an answer file put in. Letters found in a
// choice line go into their cells as " A", " B", ..., the text a mouse
// click puts there, so imported answers grade like entered ones. Refused
// (ErrorKind::Refused, nothing changed) for an empty key
// (kImportNeedsPaper), an empty file (kAnswerFileEmpty), or a first line or
// line count that does not fit the paper (kAnswersDoNotFit).
Result<AnswerSheet> importAnswers(const ByteString& fileBytes, const ByteString& paperKey,
                                  const QuestionTable& table, const AnswerSheet& current);

}  // namespace qzt
