// Recovery copies: while an exam runs, its answers and time left are kept
// in the data folder, so a crash, a kill or a power cut loses nothing. The
// next start of the same paper offers them back.
#include <QApplication>
#include <QLineEdit>
#include <cstdio>
#include <system_error>

#include "grid/answer_grid.h"
#include "grid/answer_grid_model.h"
#include "window/main_window.h"
#include "window/message_box.h"
#include "shell/work_folder.h"
#include "side/exam_restore.h"
#include "side/recovery.h"

namespace qzt::ui {
namespace {

// The clock writes a copy at least this often.
constexpr int kCopySeconds = 10;

// The same paper file opened from another folder or through another
// relative path keys the same copy.
std::filesystem::path paperKeyPath(const std::filesystem::path& paper) {
  std::error_code error;
  std::filesystem::path full = std::filesystem::weakly_canonical(paper, error);
  if (error) full = std::filesystem::absolute(paper, error);
  return error ? paper : full;
}

}  // namespace

void MainWindow::offerRecovery() {
  recoveryPaper_.clear();
  if (options_.dataFolder.empty() || !session_.hasPaper()) return;
  const std::filesystem::path paper = paperKeyPath(loadedPath_);
  const ByteString& key = session_.header().paperKey();
  const std::filesystem::path file = recoveryFilePath(options_.dataFolder, paper, key);
  // A copy this run wrote belongs to the exam the new load replaces.
  auto found = copiesWritten_.count(file) > 0 ? Result<std::optional<RecoveryCopy>>(std::nullopt)
                                              : loadRecovery(options_.dataFolder, paper, key);
  // A damaged copy cannot be offered; the first copy of this exam replaces it.
  if (!found.ok() || !found.value()) {
    recoveryPaper_ = paper;
    return;
  }
  // No clock runs while the question waits.
  minuteTimer_.stop();
  secondTimer_.stop();
  const bool restore =
      showMessage(this, QStringLiteral("提示1.0"),
                  QStringLiteral("上次答题未正常结束，是否恢复答案和剩余时间？"), Buttons::YesNo);
  // A signal during the question ends the reader: the copy stays as it was,
  // so this exam keeps no copy until the question is answered.
  if (endingBySignal_) return;
  recoveryPaper_ = paper;
  if (!restore || !restoreExam(*found.value(), session_).ok()) {
    discardRecovery(options_.dataFolder, paper, key);
    return;
  }
  grid_->refreshAnswers();
}

void MainWindow::keepRecoveryCopy() {
  if (recoveryPaper_.empty() || session_.graded() || !session_.hasPaper()) return;
  secondsSinceCopy_ = 0;
  const RecoveryCopy copy = recoveryCopyOf(recoveryPaper_, session_);
  const Status saved = saveRecovery(options_.dataFolder, copy);
  if (saved.ok()) {
    copiesWritten_.insert(recoveryFilePath(options_.dataFolder, copy.paperPath, copy.paperKey));
    return;
  }
  // Once per run: the exam goes on without a copy rather than under boxes.
  if (copyFailureShown_) return;
  copyFailureShown_ = true;
  std::fprintf(stderr, "qzt-reader: no recovery copy: %s\n", saved.error().message.c_str());
}

// A new exam's copy holds no answers yet, or the restored ones, whose copy
// is still on disk; it waits behind the repaint the window has pending, so
// flushing it to disk does not hold back the frame that shows the exam.
void MainWindow::keepFirstRecoveryCopy() {
  QCoreApplication::postEvent(this, new QEvent(kFirstCopyEvent), Qt::LowEventPriority);
}

void MainWindow::dropRecoveryCopy() {
  if (recoveryPaper_.empty()) return;
  discardRecovery(options_.dataFolder, recoveryPaper_, session_.header().paperKey());
  recoveryPaper_.clear();
}

void MainWindow::watchRowEdits() {
  for (QLineEdit* edit : grid_->rowEdits()) {
    connect(edit, &QLineEdit::textChanged, this, &MainWindow::keepRecoveryCopy);
  }
}

void MainWindow::tickRecovery() {
  if (++secondsSinceCopy_ >= kCopySeconds) keepRecoveryCopy();
}

void MainWindow::endBySignal() {
  if (endingBySignal_) return;
  endingBySignal_ = true;
  deferredMessageTimer_.stop();
  minuteTimer_.stop();
  secondTimer_.stop();
  keepRecoveryCopy();
  if (!options_.workFolder.empty()) removeWorkFolder(options_.workFolder);
  close();
  // Also leaves any question or dialog that is open.
  QCoreApplication::exit(0);
}

}  // namespace qzt::ui
