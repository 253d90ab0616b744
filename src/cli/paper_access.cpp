#include "cli.h"
#include "commands.h"
#include "paper/format.h"
#include "paper/unpack.h"
#include "sheet/exam_session.h"
#include "util/gbk.h"

namespace qzt::cli {

std::filesystem::path pathArg(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

int readTestedHeader(const PaperArgs& paper, PaperHeader& header, std::ostream& err) {
  auto read = readHeader(pathArg(paper.paper), paper.offset);
  if (!read.ok()) {
    err << "qzt: " << paper.paper << ": " << read.error().message << '\n';
    return kUnreadable;
  }
  if (const int state = testHeader(read.value()); state != 0) {
    err << ExamSession::messageForState(state) << '\n';
    return state;
  }
  header = read.value();
  return kDone;
}

int checkPassword(const PasswordBlock& block, const std::optional<std::string>& typed,
                  const char* option, int state, std::ostream& err) {
  if (!hasPassword(block)) return kDone;
  if (!typed) {
    err << "qzt: this paper asks for a password (" << option << ")\n";
    return kWrongPassword;
  }
  // Text that is not UTF-8 cannot be what the reader's edit would hold.
  auto gbk = utf8ToGbk(*typed);
  if (gbk.ok() && passwordMatches(block, gbk.value())) return kDone;
  err << ExamSession::messageForState(state) << '\n';
  return kWrongPassword;
}

int readPaperToGrade(const PaperArgs& args, const PasswordArgs& passwords, LoadedPaper& paper,
                     std::ostream& err) {
  PaperHeader candidate;
  if (int s = readTestedHeader(args, candidate, err); s != kDone) return s;
  if (int s = checkPassword(candidate.openPasswordBlock(), passwords.open, "--password",
                            format::kStateWrongOpenPassword, err);
      s != kDone) {
    return s;
  }
  auto read = readPaper(pathArg(args.paper), args.offset);
  if (!read.ok()) {
    err << "qzt: " << args.paper << ": " << read.error().message << '\n';
    return kUnreadable;
  }
  paper = std::move(read).value();
  return kDone;
}

int checkGradePassword(const LoadedPaper& paper, const PasswordArgs& passwords, std::ostream& err) {
  return checkPassword(paper.header.gradePasswordBlock(), passwords.grade, "--grade-password",
                       format::kStateWrongGradePassword, err);
}

void tellCommentsFailure(const Error& failure, std::ostream& err) {
  if (failure.step == 0) {
    err << "qzt: " << failure.message << '\n';
  } else {
    err << errorBoxText(failure.step) << '\n';
  }
}

}  // namespace qzt::cli
