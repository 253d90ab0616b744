// Opening a paper and putting it on screen. The core reads, tests and
// unpacks; this file shows the outcome in the order the reader always has.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "grid/answer_grid.h"
#include "gbk_text.h"
#include "desktop/link_opener.h"
#include "window/main_window.h"
#include "window/message_box.h"
#include "page/page_view.h"
#include "side/password_panel.h"
#include "desktop/spoken_group.h"
#include "paper/format.h"
#include "paper/opening.h"

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
  if (chosen.isEmpty()) return;
  paperPath_ = chosen.toStdString();
  // Only names with ".qzt" in this exact case are opened.
  if (chosen.contains(QStringLiteral(".qzt"))) openPaper(paperPath_, 0);
}

void MainWindow::openPaper(const std::filesystem::path& path, std::int64_t offset) {
  paperPath_ = path;
  paperOffset_ = offset;
  if (options_.workFolder.empty()) {
    // No private folder to unpack into: never fall back to the current one.
    showMessage(this, kNoticeCaption, QString::fromStdString(errorBoxText(format::kStepOpen)));
    return;
  }
  OpenOutcome outcome = qzt::openPaper(path, offset, options_.workFolder);
  if (outcome.ioError) {
    showMessage(this, windowTitle(),
                QStringLiteral("%1\n%2").arg(pathText(path),
                                             QString::fromStdString(outcome.ioError->message)));
    return;
  }
  if (outcome.stateCode != 0) {
    session_.setStateCode(outcome.stateCode);
    deferredMessageTimer_.start();
    return;
  }
  candidate_ = outcome.candidate;
  reportGroup(outcome.support);
  if (outcome.needsPassword) {
    askPassword(SecondTimerMode::OpenPassword, outcome.hint);
    return;
  }
  if (outcome.hint) passwordPanel_->setHint(QByteArray::fromStdString(*outcome.hint));
  loadPaper(paperPath_, paperOffset_);
}

void MainWindow::reportGroup(const GroupResult& group) {
  for (std::size_t i = 0; i < group.busyTargets.size(); ++i)
    showMessage(this, kNoticeCaption, QString::fromUtf8(kBusyTargetText));
  if (group.failure)
    showMessage(this, kNoticeCaption, QString::fromStdString(errorBoxText(group.failure->step)));
}

void MainWindow::loadPaper(const std::filesystem::path& path, std::int64_t offset) {
  // Header and question table are read before anything on screen changes,
  // so a paper that fails here leaves the one on screen as it was.
  Result<LoadedPaper> read = readPaper(path, offset);
  if (!read) {
    showMessage(this, QStringLiteral("提示"), QString::fromStdString(read.error().message));
    return;
  }
  LoadedPaper paper = std::move(read).value();
  const PaperHeader& header = paper.header;
  paperOffset_ = offset;
  loadedPath_ = path;
  minutesAllowedLabel_->setText(QString::number(header.timeLimit()));
  minutesLeftLabel_->setText(QString::number(static_cast<std::int64_t>(header.timeLimit()) - 1));
  secondsLeftLabel_->setText(QStringLiteral("0"));
  const ByteString status = header.statusText();
  statusLine_->setText(fromGbk(status));
  statusLine_->setVisible(hasVisibleText(status));

  setWindowTitle(fromGbk(header.title()));
  UnpackedPaper unpacked = unpackPaper(paper, options_.workFolder);
  reportGroup(unpacked.page);
  if (!showPage(unpacked.page.anchor, unpacked.pageKind)) {
    showMessage(this, QStringLiteral("提示"), QStringLiteral("gd3"));
    return;
  }

  notesButton_->setVisible(header.notesGroupLen() > 0);
  notesButton_->setEnabled(false);
  handInButton_->setEnabled(false);
  startButton_->setEnabled(true);

  reportGroup(unpacked.support);
  if (unpacked.support.anchor) supportAnchor_ = unpacked.support.anchor;
  if (unpacked.hint) passwordPanel_->setHint(QByteArray::fromStdString(*unpacked.hint));
  aboutButton_->hide();
  if (unpacked.showAbout) {
    aboutButton_->setText(fromGbk(header.aboutCaption()));
    aboutButton_->show();
  }

  // The copy of the exam this load replaces is no longer written.
  recoveryPaper_.clear();
  session_.begin(header, std::move(paper.table));
  grid_->rebuild();
  watchRowEdits();
  catalogueList_->hide();
  offerRecovery();
  startExam();
  keepRecoveryCopy();
}

bool MainWindow::showPage(const std::optional<std::filesystem::path>& page, PageKind kind) {
  switch (kind) {
    case PageKind::PlainText:
    case PageKind::RichText:
      return page_->showTextPage(pathText(*page));
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
