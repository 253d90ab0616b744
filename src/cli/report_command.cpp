#include "cli.h"
#include "commands.h"
#include "json_fields.h"
#include "report/class_report.h"
#include "report/csv_writer.h"
#include "report/file_search.h"
#include "report/html_writer.h"
#include "sheet/grading.h"
#include "util/platform.h"

namespace qzt::cli {
namespace {

using report::ClassReport;
using report::QuestionStats;
using report::ReportedFile;

ordered_json fileJson(const ReportedFile& f) {
  ordered_json j;
  j["file"] = pathToUtf8(f.file);
  if (f.error) {
    j["error"] = *f.error;
    return j;
  }
  putScore(j, f.scoreLine, f.total, f.score, f.rate);
  j["comment"] = commentJson(f.comment);
  j["results"] = f.results;
  return j;
}

ordered_json summaryJson(const report::Summary& s) {
  using report::ScoreStats;
  const std::pair<const char*, double ScoreStats::*> figures[] = {{"mean", &ScoreStats::mean},
                                                                  {"median", &ScoreStats::median},
                                                                  {"stdev", &ScoreStats::stdev},
                                                                  {"min", &ScoreStats::min},
                                                                  {"max", &ScoreStats::max}};
  ordered_json j;
  j["count"] = s.count;
  j["refused"] = s.refused;
  for (const auto& [name, field] : figures) j[name] = s.scores ? ordered_json(*s.scores.*field) : ordered_json(nullptr);
  j["histogram"] = s.histogram;
  return j;
}

ordered_json questionJson(const QuestionStats& q) {
  ordered_json answers = ordered_json::array();
  for (const report::AnswerCount& a : q.answers) {
    answers.push_back({{"answer", gbkToUtf8(a.answer)}, {"count", a.count}});
  }
  return {{"row", q.row},
          {"label", gbkToUtf8(q.label)},
          {"kind", kindName(q.kind)},
          {"correct", gbkToUtf8(q.correct)},
          {"right", q.right},
          {"facility", nullable(q.facility)},
          {"discrimination", nullable(q.discrimination)},
          {"answers", std::move(answers)}};
}

ordered_json reportJson(const ClassReport& r) {
  ordered_json j;
  j["paper"] = {{"title", gbkToUtf8(r.title)},
                {"key", gbkToUtf8(r.key)},
                {"questions", r.questions.size()},
                {"total", r.total}};
  j["files"] = ordered_json::array();
  for (const ReportedFile& f : r.files) j["files"].push_back(fileJson(f));
  j["summary"] = summaryJson(r.summary);
  j["questions"] = ordered_json::array();
  for (const QuestionStats& q : r.questions) j["questions"].push_back(questionJson(q));
  return j;
}

// One line per file (its score line or why it was refused), then the class.
void printText(const ClassReport& r, std::ostream& out) {
  for (const ReportedFile& f : r.files) {
    out << pathToUtf8(f.file) << '\t' << (f.error ? "refused: " + *f.error : f.scoreLine) << '\n';
  }
  const report::Summary& s = r.summary;
  out << "\ngraded " << s.count << ", refused " << s.refused << '\n';
  if (!s.scores) return;
  out << "mean " << formatScore(s.scores->mean) << "  median " << formatScore(s.scores->median)
      << "  stdev " << formatScore(s.scores->stdev) << "  min " << formatScore(s.scores->min)
      << "  max " << formatScore(s.scores->max) << '\n';
}

int writeOutput(const std::optional<std::string>& target, const std::string& bytes, std::ostream& err) {
  if (!target) return kDone;
  const Status written = platform::writeFileAtomically(pathArg(*target), bytes);
  if (written.ok()) return kDone;
  err << "qzt: cannot write " << *target << ": " << written.error().message << '\n';
  return kUnreadable;
}

}  // namespace

std::string classReportJson(const report::ClassReport& r) { return dumpJson(reportJson(r)); }

int reportCommand(const ReportArgs& args, std::ostream& out, std::ostream& err) {
  LoadedPaper paper;
  if (int s = readPaperToGrade(args.paper, args.passwords, paper, err); s != kDone) return s;
  if (int s = checkGradePassword(paper, args.passwords, err); s != kDone) return s;

  std::vector<std::filesystem::path> named;
  for (const std::string& a : args.answers) named.push_back(pathArg(a));
  const ClassReport r = report::reportClass(paper, report::findAnswerFiles(named));

  const bool table = !args.json && !args.csv && !args.html;
  if (args.json) out << classReportJson(r) << '\n';
  if (table) printText(r, out);
  if (!table) {
    for (const ReportedFile& f : r.files) {
      if (f.error) err << "qzt: " << pathToUtf8(f.file) << ": " << *f.error << '\n';
    }
  }
  if (int s = writeOutput(args.csv, report::classCsv(r), err); s != kDone) return s;
  if (int s = writeOutput(args.html, report::classHtml(r), err); s != kDone) return s;

  if (r.summary.count == 0) {
    err << "qzt: no answer file fits the paper\n";
    return kAnswersDoNotFit;
  }
  if (r.commentsFailure) {
    tellCommentsFailure(*r.commentsFailure, err);
    return kUnpackFailed;
  }
  return kDone;
}

}  // namespace qzt::cli
