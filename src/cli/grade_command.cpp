#include "cli.h"
#include "commands.h"
#include "json_fields.h"
#include "report/class_grader.h"

namespace qzt::cli {
namespace {

const char* resultText(RowResult r) { return r == RowResult::Right ? kRight : kWrong; }

void printJson(const QuestionTable& table, const report::FileGrade& graded, std::ostream& out) {
  const GradeReport& report = graded.report;
  ordered_json j;
  putScore(j, report.scoreLine, report.total, report.score, report.rate);
  j["selection"] = nullable(report.selection);
  j["rows"] = ordered_json::array();
  for (const GradedRow& row : report.rows) {
    if (row.result == RowResult::NotGraded) continue;
    const QuestionRecord& q = table.question(row.row);
    j["rows"].push_back({{"row", row.row},
                         {"label", gbkToUtf8(q.rowLabel())},
                         {"kind", kindName(q.kind())},
                         {"answer", gbkToUtf8(row.answer)},
                         {"correct", gbkToUtf8(row.correct)},
                         {"result", resultText(row.result)}});
  }
  j["comment"] = commentJson(graded.comment);
  out << dumpJson(j) << '\n';
}

// The score line, one line per graded row, then the comment after a blank.
void printText(const QuestionTable& table, const report::FileGrade& graded, std::ostream& out) {
  out << graded.report.scoreLine << '\n';
  for (const GradedRow& row : graded.report.rows) {
    if (row.result == RowResult::NotGraded) continue;
    out << gbkToUtf8(table.question(row.row).rowLabel()) << '\t' << resultText(row.result) << '\t'
        << gbkToUtf8(row.correct) << '\n';
  }
  if (!graded.comment) return;
  out << '\n';
  for (const auto& line : *graded.comment) out << gbkToUtf8(line) << '\n';
}

}  // namespace

int gradeCommand(const GradeArgs& args, std::ostream& out, std::ostream& err) {
  LoadedPaper paper;
  if (int s = readPaperToGrade(args.paper, args.passwords, paper, err); s != kDone) return s;

  // The answer file is tested before the grading password is asked, as the
  // reader imports it before the hand-in; nothing is shown until then.
  report::ClassGrader grader(paper);
  auto graded = grader.grade(pathArg(args.answers));
  if (!graded.ok()) {
    if (graded.error().kind == ErrorKind::Io) {
      err << "qzt: cannot read " << args.answers;
      if (graded.error().fault == FileFault::TooLarge) err << ": too large for an answer file";
      err << '\n';
      return kUnreadable;
    }
    err << graded.error().message << '\n';
    return kAnswersDoNotFit;
  }
  if (int s = checkGradePassword(paper, args.passwords, err); s != kDone) return s;

  if (args.json) {
    printJson(paper.table, graded.value(), out);
  } else {
    printText(paper.table, graded.value(), out);
  }
  if (grader.commentsFailure()) {
    tellCommentsFailure(*grader.commentsFailure(), err);
    return kUnpackFailed;
  }
  return kDone;
}

}  // namespace qzt::cli
