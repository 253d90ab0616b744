#include <nlohmann/json.hpp>

#include "cli.h"
#include "commands.h"
#include "paper/format.h"
#include "paper/opening.h"
#include "paper/unpack.h"
#include "sheet/exam_session.h"
#include "shell/work_folder.h"
#include "side/answer_file.h"
#include "side/comment_step.h"
#include "util/gbk.h"

namespace qzt::cli {
namespace {

namespace fs = std::filesystem;
using nlohmann::ordered_json;

struct CommentChoice {
  std::optional<std::vector<ByteString>> lines;
  std::optional<Error> failure;
};

// The comments step runs in a scratch folder of its own, as the reader's
// runs in its work folder.
CommentChoice chooseComments(const LoadedPaper& paper, const GradeReport& report) {
  CommentChoice choice;
  if (paper.header.commentsLen() <= 0 || !report.selection) return choice;
  auto folder = createWorkFolder();
  if (!folder.ok()) {
    choice.failure = folder.error();
    return choice;
  }
  auto comment = commentFor(paper.path, paper.header, folder.value(), report.selection);
  if (comment.ok()) {
    choice.lines = std::move(comment).value();
  } else {
    choice.failure = comment.error();
  }
  removeWorkFolder(folder.value());
  return choice;
}

const char* kindName(std::int32_t kind) {
  if (kind == format::kKindSingle) return "single";
  if (kind == format::kKindText) return "text";
  return "multiple";  // every other graded kind enters letters like it
}

const char* resultText(RowResult r) { return r == RowResult::Right ? kRight : kWrong; }

void printJson(const QuestionTable& table, const GradeReport& report,
               const std::optional<std::vector<ByteString>>& comment, std::ostream& out) {
  ordered_json j;
  j["report"] = report.scoreLine;
  j["total"] = report.total;
  j["score"] = report.score;
  j["rate"] = report.rate ? ordered_json(*report.rate) : ordered_json(nullptr);
  j["selection"] = report.selection ? ordered_json(*report.selection) : ordered_json(nullptr);
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
  j["comment"] = nullptr;
  if (comment) {
    j["comment"] = ordered_json::array();
    for (const auto& line : *comment) j["comment"].push_back(gbkToUtf8(line));
  }
  out << j.dump(2, ' ', false, ordered_json::error_handler_t::replace) << '\n';
}

// The score line, one line per graded row, then the comment after a blank.
void printText(const QuestionTable& table, const GradeReport& report,
               const std::optional<std::vector<ByteString>>& comment, std::ostream& out) {
  out << report.scoreLine << '\n';
  for (const GradedRow& row : report.rows) {
    if (row.result == RowResult::NotGraded) continue;
    out << gbkToUtf8(table.question(row.row).rowLabel()) << '\t' << resultText(row.result) << '\t'
        << gbkToUtf8(row.correct) << '\n';
  }
  if (!comment) return;
  out << '\n';
  for (const auto& line : *comment) out << gbkToUtf8(line) << '\n';
}

// Imports the answer file into a fresh exam of the paper: exit 1 when it
// cannot be read, 7 when it does not fit.
int importInto(ExamSession& session, const GradeArgs& args, std::ostream& err) {
  const auto bytes = readWholeFile(pathArg(args.answers));
  if (!bytes) {
    err << "qzt: cannot read " << args.answers << '\n';
    return kUnreadable;
  }
  auto sheet = importAnswers(*bytes, session.header().paperKey(), session.table(), session.sheet());
  if (!sheet.ok()) {
    err << sheet.error().message << '\n';
    return kAnswersDoNotFit;
  }
  session.replaceAnswers(std::move(sheet).value());
  return kDone;
}

// Hands in; a grading password is checked as the password panel would.
int handIn(ExamSession& session, const GradeArgs& args, std::ostream& err) {
  if (session.handIn() == ExamSession::HandIn::Graded) return kDone;
  const PasswordBlock block = session.header().gradePasswordBlock();
  if (int s = checkPassword(block, args.passwords.grade, "--grade-password", format::kStateWrongGradePassword, err);
      s != kDone) {
    return s;
  }
  auto typed = utf8ToGbk(*args.passwords.grade);
  if (!typed.ok() || !session.checkGradePassword(typed.value())) {
    err << ExamSession::messageForState(format::kStateWrongGradePassword) << '\n';
    return kWrongPassword;
  }
  return kDone;
}

}  // namespace

int gradeCommand(const GradeArgs& args, std::ostream& out, std::ostream& err) {
  PaperHeader candidate;
  if (int s = readTestedHeader(args.paper, candidate, err); s != kDone) return s;
  if (int s = checkPassword(candidate.openPasswordBlock(), args.passwords.open, "--password",
                            format::kStateWrongOpenPassword, err);
      s != kDone) {
    return s;
  }
  auto paper = readPaper(pathArg(args.paper.paper), args.paper.offset);
  if (!paper.ok()) {
    err << "qzt: " << args.paper.paper << ": " << paper.error().message << '\n';
    return kUnreadable;
  }

  ExamSession session;
  session.begin(paper->header, paper->table);
  if (int s = importInto(session, args, err); s != kDone) return s;
  if (int s = handIn(session, args, err); s != kDone) return s;

  const GradeReport& report = *session.report();
  const CommentChoice comment = chooseComments(paper.value(), report);
  if (args.json) {
    printJson(session.table(), report, comment.lines, out);
  } else {
    printText(session.table(), report, comment.lines, out);
  }
  if (comment.failure) {
    if (comment.failure->step == 0) err << "qzt: ";
    err << (comment.failure->step == 0 ? comment.failure->message : errorBoxText(comment.failure->step)) << '\n';
    return kUnpackFailed;
  }
  return kDone;
}

}  // namespace qzt::cli
