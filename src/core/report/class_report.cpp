#include "report/class_report.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "report/class_grader.h"
#include "paper/format.h"
#include "util/gbk.h"

namespace qzt::report {
namespace {

// GBK "…", ending an answer cut short.
constexpr char kEllipsis[] = "\xA1\xAD";

// The bytes of one GBK (GB18030) character starting at `i`.
std::size_t characterLength(const ByteString& s, std::size_t i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  if (lead < 0x81 || lead == 0xFF || i + 1 >= s.size()) return 1;
  const auto second = static_cast<unsigned char>(s[i + 1]);
  return second >= 0x30 && second <= 0x39 ? 4 : 2;
}

// At most kAnswerShownBytes, cut between characters, marked by "…".
ByteString shownAnswer(ByteString answer) {
  if (answer.size() <= kAnswerShownBytes) return answer;
  std::size_t end = 0;
  while (end < answer.size()) {
    const std::size_t next = end + characterLength(answer, end);
    if (next > kAnswerShownBytes) break;
    end = next;
  }
  answer.resize(end);
  return answer + kEllipsis;
}

// The graded rows of the paper, and their marks summed in row order as
// grading sums them.
void describeQuestions(const QuestionTable& table, ClassReport& report) {
  std::optional<ByteString> heading = ByteString();
  for (int q = 1; q <= table.count(); ++q) {
    const QuestionRecord& record = table.question(q);
    if (record.kind() == format::kKindHeading) {
      heading = record.rowLabel().empty() ? record.answer() : record.rowLabel();
      continue;
    }
    if (!record.graded()) continue;
    if (heading) {
      report.sections.push_back({*std::move(heading), 0, 0, std::nullopt, std::nullopt});
      heading.reset();
    }
    report.sections.back().marks += record.marks();
    ++report.sections.back().questions;
    QuestionStats stats;
    stats.row = q;
    stats.section = report.sections.size() - 1;
    stats.label = record.rowLabel();
    stats.kind = record.kind();
    stats.correct = record.answer();
    stats.marks = record.marks();
    report.questions.push_back(std::move(stats));
    report.total += record.marks();
  }
}

template <typename Counts>
std::vector<AnswerCount> largestFirst(const Counts& counts) {
  std::vector<AnswerCount> answers;
  answers.reserve(counts.size());
  for (const auto& [answer, count] : counts) answers.push_back({answer, count});
  std::sort(answers.begin(), answers.end(), [](const AnswerCount& a, const AnswerCount& b) {
    return a.count != b.count ? a.count > b.count : a.answer < b.answer;
  });
  return answers;
}

void summarise(ClassReport& report) {
  std::vector<double> scores;
  for (const ReportedFile& f : report.files) {
    if (!f.error) scores.push_back(f.score);
  }
  Summary& s = report.summary;
  s.count = static_cast<int>(scores.size());
  s.refused = static_cast<int>(report.files.size()) - s.count;
  if (!scores.empty()) s.scores = scoreStats(scores);
  s.histogram = histogram(scores, report.total);
  s.rates = rates(scores, report.total, s.cutoffs);
}

// Alpha over the marks each graded file earned per row, and the standard
// error of measurement from it.
void reliability(ClassReport& report, const std::vector<const ReportedFile*>& graded) {
  std::vector<std::vector<double>> items(report.questions.size(), std::vector<double>(graded.size()));
  for (std::size_t k = 0; k < items.size(); ++k) {
    for (std::size_t f = 0; f < graded.size(); ++f) items[k][f] = graded[f]->results[k] ? report.questions[k].marks : 0;
  }
  Summary& s = report.summary;
  s.reliability = cronbachAlpha(items);
  if (s.reliability && s.scores && s.scores->sampleStdev) {
    s.sem = *s.scores->sampleStdev * std::sqrt(std::max(0.0, 1 - *s.reliability));
  }
}

void analyseQuestion(QuestionStats& q, std::size_t k, const std::vector<const ReportedFile*>& graded) {
  std::vector<double> result, rest;
  for (const ReportedFile* f : graded) {
    const bool right = f->results[k];
    q.right += right ? 1 : 0;
    result.push_back(right ? 1 : 0);
    rest.push_back(f->score - (right ? q.marks : 0));
  }
  if (!graded.empty()) q.facility = static_cast<double>(q.right) / static_cast<double>(graded.size());
  q.discrimination = pearson(result, rest);
}

void flagQuestion(QuestionStats& q) {
  if (q.discrimination && *q.discrimination < 0) {
    q.flags.push_back("区分度为负：答案可能有误");
  } else if (q.discrimination && *q.discrimination < 0.2) {
    q.flags.push_back("区分度低于 0.2");
  }
  if (q.facility && *q.facility > 0.9) q.flags.push_back("答对率高于 0.9：题目可能过易");
  if (q.facility && *q.facility < 0.2) q.flags.push_back("答对率低于 0.2：题目可能过难");
}

std::string nowUtc() {
  const auto now = std::chrono::floor<std::chrono::minutes>(std::chrono::system_clock::now());
  const std::chrono::year_month_day day{std::chrono::floor<std::chrono::days>(now)};
  const std::chrono::hh_mm_ss time{now - std::chrono::floor<std::chrono::days>(now)};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02ld:%02ld UTC", static_cast<int>(day.year()),
                static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()),
                static_cast<long>(time.hours().count()), static_cast<long>(time.minutes().count()));
  return text;
}

}  // namespace

ClassReportBuilder::ClassReportBuilder(const LoadedPaper& paper) {
  report_.title = paper.header.title();
  report_.key = paper.header.paperKey();
  report_.paperFile = pathToUtf8(paper.path.filename());
  report_.date = nowUtc();
  describeQuestions(paper.table, report_);
  tallies_.resize(report_.questions.size());
}

void ClassReportBuilder::addGraded(std::filesystem::path file, const GradeReport& grade,
                                   std::optional<std::vector<ByteString>> comment) {
  ReportedFile f;
  f.file = std::move(file);
  f.scoreLine = grade.scoreLine;
  f.total = grade.total;
  f.score = grade.score;
  f.rate = grade.rate;
  f.comment = std::move(comment);
  f.results.reserve(tallies_.size());
  std::size_t k = 0;
  for (const GradedRow& row : grade.rows) {
    if (row.result == RowResult::NotGraded || k == tallies_.size()) continue;
    f.results.push_back(row.result == RowResult::Right);
    Tally& tally = tallies_[k++];
    ByteString answer = shownAnswer(row.answer);
    if (auto it = tally.counts.find(answer); it != tally.counts.end()) {
      ++it->second;
    } else if (tally.counts.size() < kAnswersKept) {
      tally.counts.emplace(std::move(answer), 1);
    } else {
      ++tally.others;
    }
  }
  f.results.resize(tallies_.size(), false);  // a grade from another paper cannot overrun
  f.subtotals.assign(report_.sections.size(), 0.0);
  for (std::size_t q = 0; q < f.results.size(); ++q) {
    if (f.results[q]) f.subtotals[report_.questions[q].section] += report_.questions[q].marks;
  }
  report_.files.push_back(std::move(f));
}

void ClassReportBuilder::addRefused(std::filesystem::path file, std::string reason) {
  ReportedFile refused;
  refused.file = std::move(file);
  refused.error = std::move(reason);
  report_.files.push_back(std::move(refused));
}

ClassReport ClassReportBuilder::report() const {
  ClassReport report = report_;
  summarise(report);
  std::vector<const ReportedFile*> graded;
  for (const ReportedFile& f : report.files) {
    if (!f.error) graded.push_back(&f);
  }
  for (std::size_t k = 0; k < report.questions.size(); ++k) {
    analyseQuestion(report.questions[k], k, graded);
    flagQuestion(report.questions[k]);
    report.questions[k].answers = largestFirst(tallies_[k].counts);
    report.questions[k].otherAnswers = tallies_[k].others;
  }
  reliability(report, graded);
  for (std::size_t k = 0; k < report.sections.size(); ++k) {
    SectionStats& section = report.sections[k];
    if (graded.empty()) continue;
    double sum = 0;
    for (const ReportedFile* f : graded) sum += f->subtotals[k];
    section.mean = sum / static_cast<double>(graded.size());
    if (section.marks > 0) section.facility = *section.mean / section.marks;
  }
  return report;
}

ClassReport reportClass(const LoadedPaper& paper, const AnswerFileSearch& search, const RateCutoffs& cutoffs) {
  ClassReportBuilder builder(paper);
  builder.setCutoffs(cutoffs);
  for (const SearchProblem& p : search.problems) builder.addRefused(p.path, p.reason);
  builder.addDuplicates(search.duplicates);
  ClassGrader grader(paper);
  for (const std::filesystem::path& file : search.files) {
    auto graded = grader.grade(file);
    if (graded.ok()) {
      builder.addGraded(file, graded.value().report, std::move(graded.value().comment));
    } else {
      builder.addRefused(file, graded.error().message);
    }
  }
  builder.setCommentsFailure(grader.commentsFailure());
  return builder.report();
}

ClassReport reportClass(const LoadedPaper& paper, const std::vector<std::filesystem::path>& answerFiles) {
  return reportClass(paper, AnswerFileSearch{answerFiles, {}, 0});
}

}  // namespace qzt::report
