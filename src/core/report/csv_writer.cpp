#include "report/csv_writer.h"

#include "sheet/grading.h"
#include "util/gbk.h"

namespace qzt::report {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

void addLine(std::string& out, const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    out += csvField(fields[i]);
  }
  out += "\r\n";
}

}  // namespace

std::string csvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
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
    std::vector<std::string> line = {pathToUtf8(f.file), formatScore(f.score), formatScore(f.total),
                                     f.rate ? formatScore(*f.rate) : std::string()};
    for (bool right : f.results) line.push_back(right ? "1" : "0");
    addLine(out, line);
  }
  return out;
}

}  // namespace qzt::report
