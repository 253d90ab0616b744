#include "report/class_report.h"

#include <algorithm>
#include <unordered_map>

#include "report/class_grader.h"

namespace qzt::report {
namespace {

using Tally = std::unordered_map<ByteString, int>;

// The graded rows of the paper, and their marks summed in row order as
// grading sums them.
void describeQuestions(const QuestionTable& table, ClassReport& report) {
  for (int q = 1; q <= table.count(); ++q) {
    const QuestionRecord& record = table.question(q);
    if (!record.graded()) continue;
    QuestionStats stats;
    stats.row = q;
    stats.label = record.rowLabel();
    stats.kind = record.kind();
    stats.correct = record.answer();
    stats.marks = record.marks();
    report.questions.push_back(std::move(stats));
    report.total += record.marks();
  }
}

// One graded file: its figures kept, its answers counted per graded row.
ReportedFile takeGraded(std::filesystem::path file, FileGrade graded, std::vector<Tally>& tallies) {
  ReportedFile f;
  f.file = std::move(file);
  f.scoreLine = std::move(graded.report.scoreLine);
  f.total = graded.report.total;
  f.score = graded.report.score;
  f.rate = graded.report.rate;
  f.comment = std::move(graded.comment);
  f.results.reserve(tallies.size());
  std::size_t k = 0;
  for (GradedRow& row : graded.report.rows) {
    if (row.result == RowResult::NotGraded) continue;
    f.results.push_back(row.result == RowResult::Right);
    ++tallies[k++][std::move(row.answer)];
  }
  return f;
}

std::vector<AnswerCount> largestFirst(const Tally& tally) {
  std::vector<AnswerCount> answers;
  answers.reserve(tally.size());
  for (const auto& [answer, count] : tally) answers.push_back({answer, count});
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

}  // namespace

ClassReport reportClass(const LoadedPaper& paper, const std::vector<std::filesystem::path>& answerFiles) {
  ClassReport report;
  report.title = paper.header.title();
  report.key = paper.header.paperKey();
  describeQuestions(paper.table, report);

  std::vector<Tally> tallies(report.questions.size());
  ClassGrader grader(paper);
  report.files.reserve(answerFiles.size());
  for (const std::filesystem::path& file : answerFiles) {
    auto graded = grader.grade(file);
    if (graded.ok()) {
      report.files.push_back(takeGraded(file, std::move(graded).value(), tallies));
    } else {
      ReportedFile refused;
      refused.file = file;
      refused.error = graded.error().message;
      report.files.push_back(std::move(refused));
    }
  }
  report.commentsFailure = grader.commentsFailure();

  summarise(report);
  std::vector<const ReportedFile*> graded;
  for (const ReportedFile& f : report.files) {
    if (!f.error) graded.push_back(&f);
  }
  for (std::size_t k = 0; k < report.questions.size(); ++k) {
    analyseQuestion(report.questions[k], k, graded);
    report.questions[k].answers = largestFirst(tallies[k]);
  }
  return report;
}

}  // namespace qzt::report
