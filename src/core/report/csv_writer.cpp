#include "report/csv_writer.h"

#include <cmath>

#include "sheet/grading.h"
#include "util/gbk.h"

namespace qzt::report {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// A plain decimal such as a negative score: a figure, not a formula.
bool isNumber(std::string_view text) {
  std::size_t i = text.starts_with('-') ? 1 : 0;
  bool digits = false, point = false;
  for (; i < text.size(); ++i) {
    if (text[i] >= '0' && text[i] <= '9') {
      digits = true;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits;
}

// A damaged mark (NaN, infinity) is left blank rather than written "nan".
std::string figure(double x) { return std::isfinite(x) ? formatScore(x) : std::string(); }

void addLine(std::string& out, const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    out += csvField(fields[i]);
  }
  out += "\r\n";
}

}  // namespace

std::string csvField(std::string_view text) {
  // A spreadsheet runs a cell that starts like a formula; a leading quote
  // makes it plain text.
  const bool formulaLike = !text.empty() && !isNumber(text) &&
                           std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
  std::string safe = formulaLike ? "'" + std::string(text) : std::string(text);
  if (safe.find_first_of(",\"\r\n") == std::string::npos) return safe;
  std::string quoted = "\"";
  for (char c : safe) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string classCsv(const ClassReport& report) {
  std::string out = kByteOrderMark;
  std::vector<std::string> heading = {"文件", "得分", "总分", "正确率"};
  for (const QuestionStats& q : report.questions) heading.push_back(gbkToUtf8(q.label));
  addLine(out, heading);
  for (const ReportedFile& f : report.files) {
    if (f.error) continue;
    std::vector<std::string> line = {pathToUtf8(f.file), figure(f.score), figure(f.total),
                                     f.rate ? figure(*f.rate) : std::string()};
    for (bool right : f.results) line.push_back(right ? "1" : "0");
    addLine(out, line);
  }
  return out;
}

}  // namespace qzt::report
