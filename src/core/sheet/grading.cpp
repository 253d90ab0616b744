#include "sheet/grading.h"

#include <cfenv>
#include <algorithm>
#include <charconv>
#include <cmath>

#include "paper/format.h"

namespace qzt {

ByteString trimControlBytes(const ByteString& s) {
  auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  std::size_t begin = 0;
  std::size_t end = s.size();
  while (begin < end && isBlank(s[begin])) ++begin;
  while (end > begin && isBlank(s[end - 1])) --end;
  return s.substr(begin, end - begin);
}

namespace {

double roundToHundredths(double x) { return roundHalfEven(x * 100) / 100; }

// General number format with 15 significant digits, independent of the
// process locale (Qt sets it from the environment): "12", "41.67", "1E20".
std::string formatGeneral(double x) {
  if (x == 0) x = 0;  // no "-0"
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 15);
  if (ec != std::errc()) return "0";
  std::string text(buf, end);
  const std::size_t e = text.find('e');
  if (e == std::string::npos) return text;
  // Exponent as "E", with its sign only when negative and no leading zeros.
  std::string mantissa = text.substr(0, e);
  std::string exponent = text.substr(e + 1);
  const bool negative = !exponent.empty() && exponent[0] == '-';
  if (!exponent.empty() && (exponent[0] == '-' || exponent[0] == '+')) exponent.erase(0, 1);
  exponent.erase(0, std::min(exponent.find_first_not_of('0'), exponent.size() - 1));
  return mantissa + "E" + (negative ? "-" : "") + exponent;
}

GradedRow gradeRow(const QuestionRecord& record, int row, const AnswerSheet& sheet, int& textIndex) {
  GradedRow graded;
  graded.row = row;
  graded.correct = record.answer();
  if (record.kind() == format::kKindText) {
    graded.answer = sheet.textAnswer(textIndex++);
  } else {
    graded.answer = trimControlBytes(sheet.joinedCells(row, record.optionCount()));
  }
  graded.result = graded.answer == graded.correct ? RowResult::Right : RowResult::Wrong;
  return graded;
}

std::optional<double> selectionFor(double score, double total, bool commentsByPercent) {
  if (!commentsByPercent) return score;
  // Nothing to choose by when the graded rows carry no marks.
  const double percent = score / total * 100;
  if (!std::isfinite(percent)) return std::nullopt;
  return roundHalfEven(percent);
}

}  // namespace

GradeReport grade(const QuestionTable& table, const AnswerSheet& sheet, bool commentsByPercent) {
  GradeReport report;
  report.rows.reserve(static_cast<std::size_t>(table.count()));
  int textIndex = 0;
  for (int q = 1; q <= table.count(); ++q) {
    const QuestionRecord& record = table.question(q);
    if (!record.graded()) {
      report.rows.push_back(GradedRow{q, RowResult::NotGraded, {}, {}});
      continue;
    }
    GradedRow row = gradeRow(record, q, sheet, textIndex);
    report.total += record.marks();
    if (row.result == RowResult::Right) report.score += record.marks();
    report.rows.push_back(std::move(row));
  }

  report.scoreLine = "总分：" + formatScore(report.total) + " 得分：" + formatScore(report.score);
  if (report.total > 1) {
    report.rate = roundHalfEven(report.score / report.total * 10000) / 100;
    report.scoreLine += " 正确率：" + formatGeneral(*report.rate);
  }
  report.selection = selectionFor(report.score, report.total, commentsByPercent);
  return report;
}

std::string formatScore(double x) { return formatGeneral(roundToHundredths(x)); }

double roundHalfEven(double x) {
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double rounded = std::nearbyint(x);
  std::fesetround(saved);
  return rounded;
}

}  // namespace qzt
