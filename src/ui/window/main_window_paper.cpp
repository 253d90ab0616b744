// Opening a paper and putting it on screen. The core reads, tests and
// unpacks; this file shows the outcome in the order the reader always has.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextDocument>
#include <cstdio>

#include "grid/answer_grid.h"
#include "gbk_text.h"
#include "desktop/link_opener.h"
#include "window/main_window.h"
#include "window/message_box.h"
#include "page/early_page.h"
#include "page/page_view.h"
#include "side/password_panel.h"
#include "desktop/spoken_group.h"
#include "paper/format.h"
#include "paper/opening.h"
#include "util/file_report.h"

namespace qzt::ui {
namespace {

const QString kNoticeCaption = QStringLiteral("提示1.0");

QString pathText(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

// Whether text has anything but blanks and control characters.
bool hasVisibleText(const ByteString& text) {
  for (unsigned char c : text)
    if (c > ' ') return true;
  return false;
}

}  // namespace

void MainWindow::chooseAndOpen() {
  const QString chosen = chooseOpenFile(this, QStringLiteral("生成卷舟格式试卷"), openFolder_,
                                        QStringLiteral("卷舟格式试卷(*.qzt)"));
  openFolder_.clear();
  // Only names with ".qzt" in this exact case are opened.
  if (!chosen.isEmpty() && chosen.contains(QStringLiteral(".qzt"))) {
    openPaper(chosen.toStdString(), 0);
    grid_->setFocus(Qt::OtherFocusReason);  // the new paper's first control
  }
  keepFocusVisible();
}

void MainWindow::openPaper(const std::filesystem::path& path, std::int64_t offset) {
  if (options_.workFolder.empty()) {
    // No private folder to unpack into: never fall back to the current one.
    showMessage(this, kNoticeCaption, QString::fromStdString(errorBoxText(format::kStepOpen)));
    return;
  }
  OpenOutcome outcome = qzt::openPaper(path, offset, options_.workFolder, supportAnchor_);
  if (outcome.ioError) {
    endOpenCheck();
    reportFileFailure(path, *outcome.ioError);
    return;
  }
  if (outcome.stateCode != 0) {
    endOpenCheck();
    session_.setStateCode(outcome.stateCode);
    deferredMessageTimer_.start();
    return;
  }
  supportAnchor_ = outcome.supportAnchor;
  reportGroup(outcome.support);
  if (outcome.needsPassword) {
    session_.askOpenPassword(std::move(outcome.paper));
    showPasswordPanel(outcome.hint);
    return;
  }
  if (outcome.hint) passwordPanel_->setHint(QByteArray::fromStdString(*outcome.hint));
  loadPaper(path, offset);
}

// An open that stops before its own password or loading leaves no panel
// behind through which an earlier paper could still be loaded.
void MainWindow::endOpenCheck() {
  if (session_.pendingPurpose() != SecondTimerMode::OpenPassword) return;
  session_.endOpenCheck();
  passwordPanel_->hide();
  syncTimers();
}

void MainWindow::reportFileFailure(const std::filesystem::path& path, const Error& error) {
  std::fprintf(stderr, "qzt-reader: %s\n", error.message.c_str());
  showMessage(this, windowTitle(), QString::fromStdString(fileErrorReport(path, error.fault)));
}

void MainWindow::reportGroup(const GroupResult& group) {
  for (std::size_t i = 0; i < group.busyTargets.size(); ++i)
    showMessage(this, kNoticeCaption, QString::fromUtf8(kBusyTargetText));
  if (group.failure)
    showMessage(this, kNoticeCaption, QString::fromStdString(errorBoxText(group.failure->step)));
}

void MainWindow::loadPaper(const std::filesystem::path& path, std::int64_t offset) {
  // Header and question table are read before anything on screen changes,
  // so a paper that fails here leaves the one on screen as it was, its
  // clock going on also after an opening-password check.
  Result<LoadedPaper> read = readPaper(path, offset);
  if (!read) {
    session_.resumeAfterOpenCheck();
    syncTimers();
    showMessage(this, QStringLiteral("提示"), QString::fromStdString(read.error().message));
    return;
  }
  LoadedPaper paper = std::move(read).value();
  // The exam this load replaces ends here, not in a crash: its copy goes.
  dropRecoveryCopy();
  loadedPath_ = path;
  showPaperLine(paper.header);

  // The page is shown before the support group is unpacked, so a support
  // file of the same name cannot take its place.
  const UnpackedPage page = unpackPage(paper, options_.workFolder);
  reportGroup(page.page);
  if (!showPage(page.page.anchor, page.pageKind)) {
    stopWithoutExam(std::move(paper));
    showMessage(this, QStringLiteral("提示"), QStringLiteral("gd3"));
    return;
  }
  showPaperButtons(paper.header);
  const UnpackedSupport support = unpackSupport(paper, options_.workFolder, supportAnchor_);
  showSupport(support, paper.header);

  session_.begin(paper.header, std::move(paper.table));
  showNewGrid();
  catalogueList_->hide();
  offerRecovery();
  startExam();
  keepFirstRecoveryCopy();
}

// The clock labels, the status line and the title of a paper being loaded.
void MainWindow::showPaperLine(const PaperHeader& header) {
  minutesAllowedLabel_->setText(QString::number(header.timeLimit()));
  minutesLeftLabel_->setText(QString::number(static_cast<std::int64_t>(header.timeLimit()) - 1));
  secondsLeftLabel_->setText(QStringLiteral("0"));
  const ByteString status = header.statusText();
  statusLine_->setText(fromGbk(status));
  statusLine_->setVisible(hasVisibleText(status));
  setWindowTitle(fromGbk(header.title()));
}

void MainWindow::showPaperButtons(const PaperHeader& header) {
  notesButton_->setVisible(header.notesGroupLen() > 0);
  notesButton_->setEnabled(false);
  handInButton_->setEnabled(false);
  startButton_->setEnabled(true);
}

void MainWindow::showSupport(const UnpackedSupport& support, const PaperHeader& header) {
  reportGroup(support.support);
  supportAnchor_ = support.anchor;
  if (support.hint) passwordPanel_->setHint(QByteArray::fromStdString(*support.hint));
  aboutButton_->hide();
  if (support.showAbout) {
    aboutButton_->setText(fromGbk(header.aboutCaption()));
    aboutButton_->show();
  }
}

// The grid of the session's new paper; a password panel asked for the
// paper before, so it goes.
void MainWindow::showNewGrid() {
  passwordPanel_->hide();
  grid_->rebuild();
  watchRowEdits();
}

// The page of a paper being loaded could not be shown. Title, status line
// and clock labels already show this paper; the rest follows, so that
// everything on screen and every later unpacking refers to it, but its
// exam does not start.
void MainWindow::stopWithoutExam(LoadedPaper paper) {
  page_->showBlank();
  // Nothing to hand in, so no notes to unlock; the about text is unpacked
  // with the support group, which this load never reached.
  handInButton_->setEnabled(false);
  notesButton_->hide();
  aboutButton_->hide();
  session_.takeWithoutExam(paper.header, std::move(paper.table));
  showNewGrid();
  showClock();
  showTimeWarning(false);  // the last paper's warning goes with it
  syncTimers();
}

bool MainWindow::showPage(const std::optional<std::filesystem::path>& page, PageKind kind) {
  switch (kind) {
    case PageKind::PlainText:
    case PageKind::RichText: {
      const QString path = pathText(*page);
      if (std::unique_ptr<QTextDocument> early = earlyPage_ ? earlyPage_->take(path) : nullptr) {
        page_->showTextDocument(std::move(early));
        return true;
      }
      return page_->showTextPage(path);
    }
    case PageKind::Web:
      page_->showWebPage(pathText(*page));
      return true;
    case PageKind::None:
      page_->showBlank();
      return true;
  }
  return true;
}

void MainWindow::startExam() {
  // A new paper's clock starts from its full time, whatever ran before.
  minuteTimer_.stop();
  secondTimer_.stop();
  handInButton_->setEnabled(true);
  startButton_->setEnabled(false);
  showClock();
  showTimeWarning(false);
  clockLine_->announce();
  syncTimers();
}

void MainWindow::showClock() {
  const ExamClock& clock = session_.clock();
  minutesAllowedLabel_->setText(QString::number(clock.minutesAllowed()));
  minutesLeftLabel_->setText(QString::number(clock.minutesLeft()));
  secondsLeftLabel_->setText(QString::number(clock.secondsLeft()));
}

void MainWindow::deferredMessageTick() {
  deferredMessageTimer_.stop();
  const int code = session_.takeStateCode();
  if (code == format::kStateReaderTooOld) ielinknewwindows(QString::fromUtf8(downloadSite()));
  showMessage(this, kNoticeCaption, QString::fromStdString(ExamSession::messageForState(code)));
}

}  // namespace qzt::ui
