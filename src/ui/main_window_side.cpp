// What hangs off the tool bar and the panels: the password panel, the
// comment after grading, the notes and about windows, the answer files.
#include <QPushButton>
#include <fstream>
#include <iterator>
#include <limits>
#include <system_error>

#include "about_window.h"
#include "answer_file_actions.h"
#include "answer_grid.h"
#include "comments_panel.h"
#include "main_window.h"
#include "message_box.h"
#include "notes_window.h"
#include "paper/format.h"
#include "paper/opening.h"
#include "password_panel.h"
#include "side/comments.h"

namespace qzt::ui {
namespace {

constexpr char kCommentsFile[] = "pyfile";

QString pathText(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

ByteString readWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return ByteString(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::int32_t groupStart(std::int32_t pos) {
  if (pos > std::numeric_limits<std::int32_t>::max() - format::kGroupSkip) return -1;
  return pos + format::kGroupSkip;
}

}  // namespace

void MainWindow::askPassword(SecondTimerMode purpose, const std::optional<ByteString>& hint) {
  // Without a hint file the panel keeps the last hint it showed.
  if (hint) panel2_->setHint(QByteArray::fromStdString(*hint));
  panel2_->ask();
  session_.askPassword(purpose);
}

void MainWindow::askGradePassword() {
  // The hint comes fresh from the paper: opening and loading deleted theirs.
  const PaperHeader& header = session_.header();
  GroupResult support = unpackGroup(loadedPath_, options_.workFolder, header.supportGroupLen(),
                                    groupStart(header.supportGroupPos()));
  reportGroup(support);
  std::optional<ByteString> hint;
  if (support.anchor) hint = takeFile(companionFile(*support.anchor, format::kHintFile));
  askPassword(SecondTimerMode::GradePassword, hint);
}

void MainWindow::showComment() {
  const auto& report = session_.report();
  const PaperHeader& header = session_.header();
  if (!report || !report->selection || header.commentsLen() <= 0) return;
  const std::filesystem::path file = options_.workFolder / kCommentsFile;
  Status unpacked = unpackPacked(loadedPath_, file, header.commentsLen(), header.commentsPos());
  if (!unpacked) {
    const Error& error = unpacked.error();
    showMessage(this, QStringLiteral("提示1.0"),
                error.step > 0 ? QString::fromStdString(errorBoxText(error.step))
                               : QString::fromStdString(error.message));
    return;
  }
  const ByteString text = readWhole(file);
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
  const auto lines = chooseComment(text, *report->selection);
  if (!lines) return;
  std::vector<QByteArray> gbkLines;
  gbkLines.reserve(lines->size());
  for (const ByteString& line : *lines) gbkLines.push_back(QByteArray::fromStdString(line));
  panel5_->showComment(gbkLines);
}

void MainWindow::showNotes() {
  const PaperHeader& header = session_.header();
  GroupResult notes = unpackGroup(loadedPath_, options_.workFolder, header.notesGroupLen(),
                                  groupStart(header.notesGroupPos()));
  reportGroup(notes);
  std::error_code error;
  if (!notes.anchor || !std::filesystem::is_regular_file(*notes.anchor, error)) return;
  NotesWindow::showNotes(this, pathText(*notes.anchor));
}

void MainWindow::showAbout() {
  if (!supportAnchor_) return;
  AboutWindow::showAbout(this, pathText(companionFile(*supportAnchor_, format::kAboutFile)));
}

void MainWindow::saveAnswerFile() { saveAnswers(this, session_); }

void MainWindow::importAnswerFile() {
  if (importAnswers(this, session_)) grid_->refreshAnswers();
}

}  // namespace qzt::ui
