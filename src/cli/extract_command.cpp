#include <algorithm>
#include <cstdint>
#include <system_error>

#include "cli.h"
#include "commands.h"
#include "paper/format.h"
#include "paper/opening.h"
#include "paper/unpack.h"
#include "side/comment_step.h"
#include "sheet/exam_session.h"
#include "util/gbk.h"

namespace qzt::cli {
namespace {

namespace fs = std::filesystem;

int reportGroup(const GroupResult& result, std::ostream& out, std::ostream& err) {
  for (const auto& busy : result.busyTargets) {
    err << "文件正被打开或调用!请先关闭!" << ' ' << pathToUtf8(busy) << '\n';
  }
  if (result.failure) {
    err << errorBoxText(result.failure->step) << '\n' << "qzt: " << result.failure->message << '\n';
    return kUnpackFailed;
  }
  // A file that could not be written is a failed extraction, and the anchor
  // is printed only when it was written.
  const auto& busy = result.busyTargets;
  if (result.anchor && std::find(busy.begin(), busy.end(), *result.anchor) == busy.end()) {
    out << pathToUtf8(*result.anchor) << '\n';
  }
  return busy.empty() ? kDone : kUnpackFailed;
}

// The comments data becomes the file "pyfile", as the reader names it.
int extractComments(const fs::path& paper, const PaperHeader& h, const fs::path& dir, std::ostream& out,
                    std::ostream& err) {
  if (h.commentsLen() <= 0) {
    err << "qzt: the paper has no comments\n";
    return kDone;
  }
  const fs::path target = dir / kCommentsScratchFile;
  const Status s = unpackPacked(paper, target, h.commentsLen(), h.commentsPos());
  if (!s.ok()) {
    err << errorBoxText(s.error().step) << '\n' << "qzt: " << s.error().message << '\n';
    return kUnpackFailed;
  }
  // Data too short to unpack leaves no file to name.
  std::error_code ec;
  if (fs::is_regular_file(target, ec)) out << pathToUtf8(target) << '\n';
  return kDone;
}

// The opening password guards everything but the support group (which
// holds the hint); the grading password also guards notes and comments.
int checkPasswords(const ExtractArgs& args, const PaperHeader& h, std::ostream& err) {
  if (args.group == "support") return kDone;
  if (int s = checkPassword(h.openPasswordBlock(), args.passwords.open, "--password",
                            format::kStateWrongOpenPassword, err);
      s != kDone) {
    return s;
  }
  if (args.group == "page") return kDone;
  return checkPassword(h.gradePasswordBlock(), args.passwords.grade, "--grade-password",
                       format::kStateWrongGradePassword, err);
}

}  // namespace

int extractCommand(const ExtractArgs& args, std::ostream& out, std::ostream& err) {
  PaperHeader h;
  if (int s = readTestedHeader(args.paper, h, err); s != kDone) return s;
  if (int s = checkPasswords(args, h, err); s != kDone) return s;

  const fs::path paper = pathArg(args.paper.paper);
  const fs::path dir = pathArg(args.dir);
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec || !fs::is_directory(dir)) {
    err << "qzt: cannot create " << args.dir << '\n';
    return kUnreadable;
  }

  if (args.group == "comments") return extractComments(paper, h, dir, out, err);
  if (args.group == "notes" && h.notesGroupLen() <= 0) {
    err << "qzt: the paper has no notes\n";
    return kDone;
  }
  std::int32_t pos = h.pageGroupPos(), len = h.pageGroupLen();
  if (args.group == "support") {
    pos = h.supportGroupPos();
    len = h.supportGroupLen();
  } else if (args.group == "notes") {
    pos = h.notesGroupPos();
    len = h.notesGroupLen();
  }
  return reportGroup(unpackGroup(paper, dir, len, groupStart(pos)), out, err);
}

}  // namespace qzt::cli
