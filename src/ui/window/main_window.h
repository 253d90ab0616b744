// The reader's one window. It owns the exam session and shows it: tool-bar
// buttons, clock labels, the page, the answer grid and the panels that
// float over them. Every rule lives in the session or elsewhere in the
// core; the handlers here forward events and show the answers.
#pragma once

#include <QEvent>
#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "paper/header.h"
#include "paper/opening.h"
#include "paper/unpack.h"
#include "sheet/exam_session.h"
#include "shell/startup.h"

class CommentsPanel;
class PasswordPanel;
class QLabel;
class QListWidget;
class QPushButton;
class QFrame;
class QKeySequence;

namespace qzt::ui {

class AnswerGrid;
class EarlyPage;
class PageView;
class SpokenGroup;
class SplitterBar;

// What the window needs from the process that starts it.
struct StartOptions {
  std::filesystem::path programFile;         // its folder holds the catalogue
  std::filesystem::path workFolder;          // private, made by the caller
  std::filesystem::path commandLinePaper;    // empty when none was named
  std::optional<std::int64_t> attachedOffset;  // a paper attached to the program
  // The program file could not be read: reported at start, and no paper is
  // shown (neither the command-line paper nor the catalogue).
  std::optional<Error> programFileError;
  // Where recovery copies of running exams are kept; empty keeps none.
  std::filesystem::path dataFolder;
};

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(StartOptions options, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The paper at start (attached, or command line plus catalogue). Runs
  // once, after the window is first shown.
  void startUp();
  // Opening a paper: header tests, password or loading.
  void openPaper(const std::filesystem::path& path, std::int64_t offset);
  // The open button: the dialog, then opening a ".qzt" file.
  void chooseAndOpen();
  // The hand-in button (and the clock when the time is up).
  void handIn();

  // Timer handlers, public so tests can fire them without waiting.
  void deferredMessageTick();  // Timer1
  void minuteTick();           // Timer2
  void secondTick();           // panle2

  // SIGTERM, SIGINT or SIGHUP: the recovery copy is written, the work
  // folder removed, and the reader ends without the exit question.
  void endBySignal();

  const ExamSession& session() const { return session_; }
  AnswerGrid* answerGrid() const { return grid_; }
  PasswordPanel* passwordPanel() const { return passwordPanel_; }
  CommentsPanel* commentsPanel() const { return commentsPanel_; }
  PageView* pageView() const { return page_; }
  const std::filesystem::path& workFolder() const { return options_.workFolder; }
  bool deferredMessagePending() const { return deferredMessageTimer_.isActive(); }
  bool minuteTimerActive() const { return minuteTimer_.isActive(); }
  bool secondTimerActive() const { return secondTimer_.isActive(); }

 signals:
  // The web view finished a page; title is the window caption.
  void pageLoaded(bool ok, const QString& title);

 public slots:
  // Another start asked this reader to come forward.
  void restoreRequest();

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Posted for keepFirstRecoveryCopy.
  static constexpr QEvent::Type kFirstCopyEvent = QEvent::User;

  // Layout (main_window_layout.cpp).
  void buildControls();
  QFrame* buildToolBar();
  QFrame* buildClockPanel(QWidget* parent);
  void buildClockLine(QWidget* parent);
  QWidget* buildPaperArea();
  QLabel* buildStatusLine();
  QPushButton* toolButton(const char* name, const QString& caption, QRect place);
  QLabel* clockLabel(QWidget* parent, const char* name, const QString& text, int left, int width,
                     bool count);
  void buildTimeWarning(QWidget* parent);
  // The remaining-time labels on a warning colour, or back to normal.
  void highlightRemainingTime(bool on);
  // A key that clicks `button` while it is shown and enabled; the tooltip
  // names the first key.
  void addShortcut(QPushButton* button, const QList<QKeySequence>& keys);

  // Zoom (main_window_zoom.cpp): the page, the grid, the comment, the clock
  // line and the score line follow the reading zoom.
  void applyZoom(double factor);
  // The clock line and the score line at the zoom, the score line below
  // the clock when the two do not fit side by side.
  void placeClockPanel();
  // The comment floats over the page and never over the grid.
  void keepCommentsOverThePage();
  // The grid's share of the paper area (a fraction of its width), as
  // chosen by dragging the bar between page and grid.
  void chooseGridWidth(int width);
  // Lays out again what depends on the size of the page, the paper area or
  // the clock panel (seen through the event filter).
  void followResize(QObject* watched, QEvent* event);

  // Papers (main_window_paper.cpp).
  void endOpenCheck();
  void reportFileFailure(const std::filesystem::path& path, const Error& error);
  void loadPaper(const std::filesystem::path& path, std::int64_t offset);
  void showPaperLine(const PaperHeader& header);
  // The paper opened at start.
  StartupPaper startPaper() const;
  // Before the window is built: what the paper at start's page will be,
  // and a text page read meanwhile.
  void expectStartPage();
  void openStartPaper();
  bool showPage(const std::optional<std::filesystem::path>& page, PageKind kind);
  void showPaperButtons(const PaperHeader& header);
  void showSupport(const UnpackedSupport& support, const PaperHeader& header);
  void showNewGrid();
  void stopWithoutExam(LoadedPaper paper);
  void reportGroup(const GroupResult& group);
  void showClock();
  void startExam();

  // Exam (main_window_exam.cpp).
  void syncTimers();
  // The remaining-time labels and the warning beside the buttons follow the
  // session's time warning; `risen` raises the warning as a new alert.
  void showTimeWarning(bool risen);
  void showGraded();
  void focusResults();
  void askGradePassword();
  void checkPassword(ExamSession::Tick check);

  // Side windows and answer files (main_window_side.cpp).
  // False when the comments could not be unpacked: grading ends there.
  bool showComment();
  void showNotes();
  void showAbout();
  void saveAnswerFile();
  void importAnswerFile();
  void showPasswordPanel(const std::optional<ByteString>& hint);
  // After a dialog: the focus stays where it was if that still shows,
  // else it goes to the grid.
  void keepFocusVisible();

  // Recovery copies (main_window_recovery.cpp).
  void offerRecovery();
  void keepRecoveryCopy();
  // keepRecoveryCopy once the window has drawn what is pending.
  void keepFirstRecoveryCopy();
  void dropRecoveryCopy();
  void watchRowEdits();
  void tickRecovery();

  // Catalogue (main_window_catalogue.cpp).
  void loadCatalogue();
  void toggleCatalogue();
  void openCatalogueEntry();

  StartOptions options_;
  ExamSession session_;
  bool startedUp_ = false;
  PageKind expectedStartPage_ = PageKind::None;
  std::unique_ptr<EarlyPage> earlyPage_;  // until the paper at start is open

  std::filesystem::path loadedPath_;       // the paper on screen
  std::optional<std::filesystem::path> supportAnchor_;
  // What a restore request brings a minimised window back to.
  Qt::WindowStates stateBeforeMinimised_ = Qt::WindowMaximized;
  QString openFolder_;                     // the open dialog's initial folder
  std::vector<std::filesystem::path> catalogue_;

  std::filesystem::path recoveryPaper_;    // key of the copy kept; empty: none
  std::set<std::filesystem::path> copiesWritten_;  // by this run
  int secondsSinceCopy_ = 0;
  bool copyFailureShown_ = false;
  bool endingBySignal_ = false;

  QTimer deferredMessageTimer_;
  QTimer minuteTimer_;
  QTimer secondTimer_;  // seconds and password checks, one tick at a time

  QFrame* toolBar_ = nullptr;
  QPushButton* catalogueButton_ = nullptr;
  QPushButton* openButton_ = nullptr;
  QPushButton* handInButton_ = nullptr;
  QPushButton* aboutButton_ = nullptr;
  QPushButton* notesButton_ = nullptr;
  QPushButton* saveAnswersButton_ = nullptr;
  QPushButton* importAnswersButton_ = nullptr;
  QPushButton* startButton_ = nullptr;
  QLabel* minutesAllowedLabel_ = nullptr;
  QLabel* minutesLeftLabel_ = nullptr;
  QLabel* secondsLeftLabel_ = nullptr;
  QList<QLabel*> remainingTimeLabels_;    // highlighted by a time warning
  SpokenGroup* clockLine_ = nullptr;      // the eight clock labels, read as one text
  SpokenGroup* timeWarning_ = nullptr;    // an alert beside the buttons
  QLabel* timeWarningText_ = nullptr;
  QLabel* scoreLine_ = nullptr;
  QFrame* clockPanel_ = nullptr;
  std::vector<std::pair<QWidget*, QRect>> clockPlaces_;  // the clock line's labels at 100%
  double zoom_ = 1.0;
  SplitterBar* gridSplitter_ = nullptr;
  double gridShare_ = 0.5;  // the page keeps the rest
  QListWidget* catalogueList_ = nullptr;
  SplitterBar* catalogueSplitter_ = nullptr;
  QWidget* paperArea_ = nullptr;
  QLabel* statusLine_ = nullptr;
  PageView* page_ = nullptr;
  AnswerGrid* grid_ = nullptr;
  PasswordPanel* passwordPanel_ = nullptr;
  CommentsPanel* commentsPanel_ = nullptr;
};

}  // namespace qzt::ui
