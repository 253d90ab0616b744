// What hangs off the tool bar and the panels: the password panel, the
// comment after grading, the notes and about windows, the answer files.
#include <QPushButton>
#include <system_error>

#include "side/about_window.h"
#include "window/answer_file_actions.h"
#include "grid/answer_grid.h"
#include "side/comments_panel.h"
#include "window/main_window.h"
#include "window/message_box.h"
#include "side/notes_window.h"
#include "paper/format.h"
#include "paper/opening.h"
#include "side/password_panel.h"
#include "side/comment_step.h"

namespace qzt::ui {
namespace {

QString pathText(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

}  // namespace

void MainWindow::showPasswordPanel(const std::optional<ByteString>& hint) {
  // Without a hint file the panel keeps the last hint it showed.
  if (hint) passwordPanel_->setHint(QByteArray::fromStdString(*hint));
  passwordPanel_->ask();
}

void MainWindow::askGradePassword() {
  // The hint comes fresh from the paper: opening and loading deleted theirs.
  SupportHint support =
      unpackSupportHint(loadedPath_, session_.header(), options_.workFolder, supportAnchor_);
  reportGroup(support.support);
  supportAnchor_ = support.anchor;
  showPasswordPanel(support.hint);
}

bool MainWindow::showComment() {
  const auto& report = session_.report();
  if (!report) return true;
  const auto comment =
      commentFor(loadedPath_, session_.header(), options_.workFolder, report->selection);
  if (!comment.ok()) {
    const Error& error = comment.error();
    // A comments stream that cannot be unpacked fails the grading step
    // itself; a target that cannot be written is only a notice.
    if (error.step > 0) {
      reportFileFailure(loadedPath_, error);
      return false;
    }
    showMessage(this, QStringLiteral("提示1.0"), QString::fromStdString(error.message));
    return true;
  }
  if (!comment.value()) return true;
  std::vector<QByteArray> gbkLines;
  gbkLines.reserve(comment.value()->size());
  for (const ByteString& line : *comment.value()) {
    gbkLines.push_back(QByteArray::fromStdString(line));
  }
  commentsPanel_->showComment(gbkLines);
  return true;
}

void MainWindow::showNotes() {
  const PaperHeader& header = session_.header();
  GroupResult notes = unpackGroup(loadedPath_, options_.workFolder, header.notesGroupLen(),
                                  groupStart(header.notesGroupPos()));
  reportGroup(notes);
  std::error_code error;
  if (!notes.anchor || !std::filesystem::is_regular_file(*notes.anchor, error)) return;
  NotesWindow::showNotes(this, pathText(options_.workFolder), pathText(*notes.anchor));
}

void MainWindow::showAbout() {
  // The about text is unpacked afresh for each showing and deleted after it.
  GroupResult support = unpackGroup(loadedPath_, options_.workFolder, session_.header().supportGroupLen(),
                                    groupStart(session_.header().supportGroupPos()));
  reportGroup(support);
  supportAnchor_ = support.anchor;
  const std::filesystem::path about =
      supportAnchor_ ? companionFile(*supportAnchor_, format::kAboutFile) : std::filesystem::path();
  AboutWindow::showAbout(this, about.empty() ? QString() : pathText(about));
  std::error_code error;
  if (!about.empty()) std::filesystem::remove(about, error);
}

void MainWindow::saveAnswerFile() {
  saveAnswers(this, session_);
  keepFocusVisible();
}

void MainWindow::importAnswerFile() {
  if (importAnswers(this, session_)) grid_->refreshAnswers();
  keepFocusVisible();
}

void MainWindow::keepFocusVisible() {
  const QWidget* current = focusWidget();
  if (current == nullptr || !current->isVisible() || !current->isEnabled()) {
    grid_->setFocus(Qt::OtherFocusReason);
  }
}

}  // namespace qzt::ui
