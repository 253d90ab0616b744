// What a candidate sees after the hand-in, and when: the results policy
// and the graded sheet turned into display text (UTF-8).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "paper/question_table.h"
#include "report/class_grader.h"

namespace qzt::classroom {

enum class ResultsPolicy { Now, AfterClose, Never };

// "now", "after-close", "never"; none for anything else.
std::optional<ResultsPolicy> parseResultsPolicy(std::string_view text);

// Whether a candidate's results may be shown.
bool resultsAllowed(ResultsPolicy policy, bool handedIn, bool examOpen);

struct ResultRow {
  int row = 0;
  std::string label;
  bool right = false;
  std::string correct;
};

struct Results {
  bool pending = false;  // graded once the teacher gives the grading password
  std::string report;    // the score line
  double total = 0, score = 0;
  std::optional<double> rate;
  std::vector<ResultRow> rows;  // graded rows only
  std::optional<std::vector<std::string>> comment;
  bool notes = false;  // the paper's notes are unlocked
};

Results resultsOf(const QuestionTable& table, const report::FileGrade& graded, bool paperHasNotes);

}  // namespace qzt::classroom
