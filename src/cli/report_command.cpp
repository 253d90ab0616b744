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
  j["subtotals"] = f.subtotals;
  return j;
}

ordered_json summaryJson(const report::Summary& s, int duplicates) {
  using report::ScoreStats;
  const std::pair<const char*, double ScoreStats::*> figures[] = {{"mean", &ScoreStats::mean},
                                                                  {"median", &ScoreStats::median},
                                                                  {"stdev", &ScoreStats::stdev},
                                                                  {"min", &ScoreStats::min},
                                                                  {"max", &ScoreStats::max}};
  ordered_json j;
  j["count"] = s.count;
  j["refused"] = s.refused;
  j["duplicates"] = duplicates;
  for (const auto& [name, field] : figures) j[name] = s.scores ? ordered_json(*s.scores.*field) : ordered_json(nullptr);
  j["sample_stdev"] = s.scores ? nullable(s.scores->sampleStdev) : ordered_json(nullptr);
  j["reliability"] = nullable(s.reliability);
  j["sem"] = nullable(s.sem);
  j["cutoffs"] = {{"pass", s.cutoffs.pass}, {"excellent", s.cutoffs.excellent}, {"low", s.cutoffs.low}};
  if (s.rates) {
    j["rates"] = {{"pass", s.rates->pass}, {"excellent", s.rates->excellent}, {"low", s.rates->low}};
  } else {
    j["rates"] = nullptr;
  }
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
          {"flags", q.flags},
          {"answers", std::move(answers)},
          {"other_answers", q.otherAnswers}};
}

ordered_json reportJson(const ClassReport& r) {
  ordered_json j;
  j["paper"] = {{"title", gbkToUtf8(r.title)},
                {"file", r.paperFile},
                {"date", r.date},
                {"key", gbkToUtf8(r.key)},
                {"questions", r.questions.size()},
                {"total", r.total}};
  j["sections"] = ordered_json::array();
  for (const report::SectionStats& sec : r.sections) {
    j["sections"].push_back({{"heading", gbkToUtf8(sec.heading)},
                             {"questions", sec.questions},
                             {"marks", sec.marks},
                             {"mean", nullable(sec.mean)},
                             {"facility", nullable(sec.facility)}});
  }
  j["files"] = ordered_json::array();
  for (const ReportedFile& f : r.files) j["files"].push_back(fileJson(f));
  j["summary"] = summaryJson(r.summary, r.duplicates);
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
  if (s.reliability) {
    out << "reliability (alpha) " << formatScore(*s.reliability);
    if (s.sem) out << "  sem " << formatScore(*s.sem);
    out << '\n';
  }
  if (s.rates) {
    out << "pass " << formatScore(s.rates->pass * 100) << "%  excellent " << formatScore(s.rates->excellent * 100)
        << "%  low " << formatScore(s.rates->low * 100) << "%\n";
  }
}

int writeOutput(const std::optional<std::string>& target, const std::string& bytes, std::ostream& err) {
  if (!target) return kDone;
  const Status written = platform::writeFileAtomically(pathArg(*target), bytes);
  if (written.ok()) return kDone;
  err << "qzt: cannot write " << *target << ": " << written.error().message << '\n';
  return kUnreadable;
}

// Every output named, and refused before grading when it would overwrite
// an input or another output.
int checkOutputs(const ReportArgs& args, const report::AnswerFileSearch& search, std::ostream& err) {
  std::vector<std::pair<const char*, std::string>> named;
  if (args.csv) named.emplace_back("--csv", *args.csv);
  if (args.html) named.emplace_back("--html", *args.html);
  std::vector<std::filesystem::path> outputs, inputs = search.files;
  for (const auto& [option, target] : named) outputs.push_back(pathArg(target));
  inputs.push_back(pathArg(args.paper.paper));
  const auto clash = report::findOutputClash(outputs, inputs);
  if (!clash) return kDone;
  err << "qzt: " << named[clash->output].first << ' ' << named[clash->output].second << " would overwrite "
      << (clash->withOutput ? "another output, " : "an input, ") << pathToUtf8(clash->with) << '\n';
  return kUsage;
}

}  // namespace

std::string classReportJson(const report::ClassReport& r) { return dumpJson(reportJson(r)); }

int reportCommand(const ReportArgs& args, std::ostream& out, std::ostream& err) {
  LoadedPaper paper;
  if (int s = readPaperToGrade(args.paper, args.passwords, paper, err); s != kDone) return s;
  if (int s = checkGradePassword(paper, args.passwords, err); s != kDone) return s;

  std::vector<std::filesystem::path> named;
  for (const std::string& a : args.answers) named.push_back(pathArg(a));
  const report::AnswerFileSearch search = report::findAnswerFiles(named);
  if (int s = checkOutputs(args, search, err); s != kDone) return s;
  const ClassReport r = report::reportClass(paper, search, args.cutoffs);

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

  if (r.duplicates > 0) {
    err << "qzt: " << r.duplicates << " name(s) of a file already listed, counted once\n";
  }
  if (search.files.empty()) {
    err << "qzt: no answer files (*.da) were found\n";
    return kAnswersDoNotFit;
  }
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
