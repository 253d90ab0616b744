#include "window/main_window.h"

#include <QCloseEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QWindow>
#include <QWindowStateChangeEvent>

#include "grid/answer_grid.h"
#include "grid/answer_grid_model.h"
#include "page/early_page.h"
#include "page/page_view.h"
#include "side/notes_window.h"
#include "window/message_box.h"
#include "shell/work_folder.h"
#include "window/splitter_bar.h"

namespace qzt::ui {

MainWindow::MainWindow(StartOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)) {
  setObjectName(QStringLiteral("Form1"));
  openFolder_ = QString::fromStdString(options_.programFile.parent_path().string());
  deferredMessageTimer_.setObjectName(QStringLiteral("Timer1"));
  minuteTimer_.setObjectName(QStringLiteral("Timer2"));
  secondTimer_.setObjectName(QStringLiteral("panle2"));
  deferredMessageTimer_.setSingleShot(true);
  deferredMessageTimer_.setInterval(500);
  minuteTimer_.setInterval(60000);
  secondTimer_.setSingleShot(true);
  secondTimer_.setInterval(1000);
  connect(&deferredMessageTimer_, &QTimer::timeout, this, &MainWindow::deferredMessageTick);
  connect(&minuteTimer_, &QTimer::timeout, this, &MainWindow::minuteTick);
  connect(&secondTimer_, &QTimer::timeout, this, &MainWindow::secondTick);
  expectStartPage();
  buildControls();
  // Every answer entered, imported or restored keeps the copy up to date.
  connect(grid_->answerModel(), &QAbstractItemModel::dataChanged, this,
          &MainWindow::keepRecoveryCopy);
}

MainWindow::~MainWindow() = default;

bool MainWindow::event(QEvent* event) {
  if (event->type() == kFirstCopyEvent) {
    keepRecoveryCopy();
    return true;
  }
  // The first web page makes the window's native window anew (the web view
  // draws on another kind of surface); the new one stands as the old one
  // did, maximised or not, instead of at the designed size.
  if (event->type() == QEvent::WinIdChange && windowHandle()) {
    const Qt::WindowStates wanted = windowState() & ~Qt::WindowActive;
    if (windowHandle()->windowStates() != wanted) windowHandle()->setWindowStates(wanted);
  }
  return QMainWindow::event(event);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // The paper at start is opened once the window is on screen, so its
  // messages have a window to stand over.
  if (!startedUp_) QMetaObject::invokeMethod(this, &MainWindow::startUp, Qt::QueuedConnection);
}

void MainWindow::startUp() {
  if (startedUp_) return;
  startedUp_ = true;
  if (options_.programFileError) {
    reportFileFailure(options_.programFile, *options_.programFileError);
    return;
  }
  // The page read while the window was built is the paper at start's only.
  if (earlyPage_) earlyPage_->finish();
  openStartPaper();
  earlyPage_.reset();
}

void MainWindow::openStartPaper() {
  const StartupPaper paper = startPaper();
  if (paper.attached) {
    // A reader with an attached paper shows that paper only.
    openButton_->hide();
    catalogueButton_->hide();
    catalogueList_->hide();
    catalogueSplitter_->hide();
    openPaper(paper.path, paper.offset);
    return;
  }
  if (!paper.path.empty()) openPaper(paper.path, 0);
  loadCatalogue();
}

StartupPaper MainWindow::startPaper() const {
  return startupPaper(options_.programFile, options_.attachedOffset, options_.commandLinePaper);
}

// What the paper opened at start is expected to show, before it is opened.
void MainWindow::expectStartPage() {
  if (options_.programFileError) return;
  const StartupPaper paper = startPaper();
  if (paper.path.empty()) return;
  expectedStartPage_ = expectedPageKind(paper.path, paper.offset);
  if (!isTextPage(expectedStartPage_) || options_.workFolder.empty()) return;
  earlyPage_ = std::make_unique<EarlyPage>(paper.path, paper.offset, options_.workFolder);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!endingBySignal_) {
    const bool leave = showMessage(this, QStringLiteral("提示1.0"),
                                   QStringLiteral("是否真的要退出？"), Buttons::YesNo);
    // A signal during the question has already kept the copy and cleaned up.
    if (endingBySignal_) {
      event->accept();
      return;
    }
    if (!leave) {
      event->ignore();
      return;
    }
    dropRecoveryCopy();
  }
  deferredMessageTimer_.stop();
  minuteTimer_.stop();
  secondTimer_.stop();
  // The notes stand on their own while the reader runs, not after it.
  if (NotesWindow* notes = NotesWindow::instance()) notes->close();
  if (!options_.workFolder.empty()) removeWorkFolder(options_.workFolder);
  event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) {
    const Qt::WindowStates before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    // Some window managers report a minimised window as minimised only,
    // so the state it had is kept from the moment it went.
    if (isMinimized() && !(before & Qt::WindowMinimized)) stateBeforeMinimised_ = before;
  }
  QMainWindow::changeEvent(event);
}

void MainWindow::restoreRequest() {
  if (isMinimized()) {
    setWindowState(stateBeforeMinimised_ & ~(Qt::WindowMinimized | Qt::WindowActive));
  }
  show();
  raise();
  activateWindow();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // A double click anywhere in the catalogue, below its last entry too.
  if (catalogueList_ && watched == catalogueList_->viewport() &&
      event->type() == QEvent::MouseButtonDblClick &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    openCatalogueEntry();
    return true;
  }
  followResize(watched, event);
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace qzt::ui
