#include "classroom/results.h"

#include "util/gbk.h"

namespace qzt::classroom {

std::optional<ResultsPolicy> parseResultsPolicy(std::string_view text) {
  if (text == "now") return ResultsPolicy::Now;
  if (text == "after-close") return ResultsPolicy::AfterClose;
  if (text == "never") return ResultsPolicy::Never;
  return std::nullopt;
}

bool resultsAllowed(ResultsPolicy policy, bool handedIn, bool examOpen) {
  if (!handedIn) return false;
  switch (policy) {
    case ResultsPolicy::Now: return true;
    case ResultsPolicy::AfterClose: return !examOpen;
    case ResultsPolicy::Never: return false;
  }
  return false;
}

Results resultsOf(const QuestionTable& table, const report::FileGrade& graded, bool paperHasNotes) {
  Results r;
  r.report = graded.report.scoreLine;
  r.total = graded.report.total;
  r.score = graded.report.score;
  r.rate = graded.report.rate;
  for (const GradedRow& row : graded.report.rows) {
    if (row.result == RowResult::NotGraded) continue;
    r.rows.push_back({row.row, gbkToUtf8(table.question(row.row).rowLabel()),
                      row.result == RowResult::Right, gbkToUtf8(row.correct)});
  }
  if (graded.comment) {
    r.comment.emplace();
    for (const ByteString& line : *graded.comment) r.comment->push_back(gbkToUtf8(line));
  }
  r.notes = paperHasNotes;
  return r;
}

}  // namespace qzt::classroom
