#include "report/class_grader.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "shell/work_folder.h"
#include "side/comment_step.h"
#include "side/answer_file.h"
#include "side/comments.h"
#include "util/file_bytes.h"

namespace qzt::report {

ClassGrader::ClassGrader(const LoadedPaper& paper)
    : paper_(paper), answers_(paper.header, paper.table) {}

namespace {

namespace fs = std::filesystem;

// "cannot read" made precise: missing, a folder or device, or refused by
// the system (permission denied ...).
Error whyUnreadable(const fs::path& file, Error error) {
  if (error.fault != FileFault::Missing && error.fault != FileFault::Unreadable) return error;
  std::error_code ec;
  const fs::file_status status = fs::status(file, ec);
  if (status.type() == fs::file_type::not_found) {
    error.message = "cannot read: no such file";
  } else if (status.type() != fs::file_type::regular && !ec) {
    error.message = "cannot read: not a regular file";
  } else if (std::FILE* f = std::fopen(file.c_str(), "rb"); f == nullptr) {
    error.message = "cannot read: " + std::generic_category().message(errno);
  } else {
    std::fclose(f);
  }
  return error;
}

}  // namespace

Result<FileGrade> ClassGrader::grade(const std::filesystem::path& answerFile) {
  const auto bytes = readFileBytes(answerFile, kAnswerFileLimit);
  if (!bytes.ok()) return whyUnreadable(answerFile, bytes.error());
  auto report = answers_.grade(bytes.value());
  if (!report.ok()) return report.error();
  FileGrade graded{std::move(report).value(), std::nullopt};
  graded.comment = chooseCommentFor(graded.report);
  return graded;
}

std::optional<std::vector<ByteString>> ClassGrader::chooseCommentFor(const GradeReport& report) {
  if (!report.selection || paper_.header.commentsLen() <= 0) return std::nullopt;
  if (!commentsRead_) {
    commentsRead_ = true;
    // The comments step runs in a scratch folder of its own, as the
    // reader's runs in its work folder.
    auto folder = createWorkFolder();
    if (!folder.ok()) {
      commentsFailure_ = folder.error();
      return std::nullopt;
    }
    auto text = commentsText(paper_.path, paper_.header, folder.value());
    removeWorkFolder(folder.value());
    if (text.ok()) {
      comments_ = std::move(text).value();
    } else {
      commentsFailure_ = text.error();
    }
  }
  if (!comments_) return std::nullopt;
  return chooseComment(*comments_, *report.selection);
}

}  // namespace qzt::report
