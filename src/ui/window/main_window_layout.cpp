// The window's fixed layout: the tool bar with the clock line, the
// catalogue at the left, the paper area with the page and the answer grid,
// the right margin and the status line. Every control carries its layout
// name as its object name.
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "desktop/accessible_tree.h"
#include "grid/answer_grid.h"
#include "side/comments_panel.h"
#include "desktop/link_opener.h"
#include "desktop/reading_zoom.h"
#include "window/main_window.h"
#include "window/tool_bar_metrics.h"
#include "page/page_view.h"
#include "side/password_panel.h"
#include "window/splitter_bar.h"
#include "page/text_view.h"
#include "sheet/spoken_text.h"
#include "desktop/spoken_group.h"

namespace qzt::ui {
namespace {

constexpr int kStatusHeight = 21;
constexpr int kCatalogueWidth = 225;
constexpr int kRightMarginWidth = 24;
constexpr int kLabelTop = 5;
constexpr int kLabelHeight = 15;

const char kCountStyle[] = "color: red; font-weight: bold;";
const char kWarningStyle[] = "background-color: rgb(255,255,0);";

QFrame* loweredPanel(const char* name, QWidget* parent) {
  auto* panel = new AccessiblePanel(parent);
  panel->setObjectName(QString::fromLatin1(name));
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(1);
  return panel;
}

}  // namespace

void MainWindow::buildControls() {
  setFont(cjkFont(kFontPixels));
  setWindowTitle(QStringLiteral("卷舟试卷阅读器") + QStringLiteral("1.0"));
  resize(688, 488);
  move(35, 41);

  auto* central = new AccessiblePanel(this);
  central->setObjectName(QStringLiteral("centralArea"));
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(buildToolBar());

  auto* middle = new QHBoxLayout;
  middle->setContentsMargins(0, 0, 0, 0);
  middle->setSpacing(0);
  catalogueList_ = new QListWidget(central);
  catalogueList_->setObjectName(QStringLiteral("ListBox1"));
  catalogueList_->setFixedWidth(kCatalogueWidth);
  catalogueList_->setFont(cjkFont(15));
  catalogueList_->setToolTip(QStringLiteral("双击打开试卷"));
  catalogueList_->hide();
  catalogueSplitter_ = new SplitterBar(catalogueList_, central);
  catalogueSplitter_->setObjectName(QStringLiteral("Splitter1"));
  auto* rightMargin = new AccessiblePanel(central);
  rightMargin->setObjectName(QStringLiteral("Panel6"));
  rightMargin->setFixedWidth(kRightMarginWidth);
  middle->addWidget(catalogueList_);
  middle->addWidget(catalogueSplitter_);
  middle->addWidget(buildPaperArea(), 1);
  middle->addWidget(rightMargin);
  column->addLayout(middle, 1);
  column->addWidget(buildStatusLine());
  setCentralWidget(central);

  // The comments float over the page, clear of the grid.
  commentsPanel_ = new CommentsPanel(central);
  keepCommentsOverThePage();
  page_->installEventFilter(this);  // the comment follows the page's edge
  clockPanel_->installEventFilter(this);  // the score line follows its width

  connect(openButton_, &QPushButton::clicked, this, &MainWindow::chooseAndOpen);
  connect(handInButton_, &QPushButton::clicked, this, &MainWindow::handIn);
  connect(catalogueButton_, &QPushButton::clicked, this, &MainWindow::toggleCatalogue);
  catalogueList_->viewport()->installEventFilter(this);
  connect(notesButton_, &QPushButton::clicked, this, &MainWindow::showNotes);
  connect(aboutButton_, &QPushButton::clicked, this, &MainWindow::showAbout);
  connect(saveAnswersButton_, &QPushButton::clicked, this, &MainWindow::saveAnswerFile);
  connect(importAnswersButton_, &QPushButton::clicked, this, &MainWindow::importAnswerFile);
  connect(passwordPanel_, &PasswordPanel::confirmed, this, [this] {
    session_.confirmPassword();
    syncTimers();
  });
  connect(passwordPanel_, &PasswordPanel::linkActivated, this, &ielinknewwindows);

  addShortcut(openButton_, {QKeySequence(Qt::CTRL | Qt::Key_O)});
  addShortcut(saveAnswersButton_, {QKeySequence(Qt::CTRL | Qt::Key_S)});
  addShortcut(importAnswersButton_, {QKeySequence(Qt::CTRL | Qt::Key_I)});
  addShortcut(handInButton_,
              {QKeySequence(Qt::CTRL | Qt::Key_Enter), QKeySequence(Qt::CTRL | Qt::Key_Return)});
  auto* zoom = new ReadingZoom(this);
  connect(zoom, &ReadingZoom::changed, this, &MainWindow::applyZoom);
  if (zoom->factor() != 1.0) applyZoom(zoom->factor());

  // The grid follows the tool buttons; its row edits follow it.
  setTabOrder(importAnswersButton_, grid_);
}

void MainWindow::addShortcut(QPushButton* button, const QList<QKeySequence>& keys) {
  for (const QKeySequence& key : keys) {
    auto* shortcut = new QShortcut(key, this);
    connect(shortcut, &QShortcut::activated, button, [button] {
      if (button->isEnabled() && !button->isHidden()) button->click();
    });
  }
  button->setToolTip(QStringLiteral("%1（%2）")
                         .arg(button->text(), keys.first().toString(QKeySequence::NativeText)));
}

QPushButton* MainWindow::toolButton(const char* name, const QString& caption, QRect place) {
  auto* button = new QPushButton(caption, toolBar_);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(place);
  return button;
}

QFrame* MainWindow::buildToolBar() {
  toolBar_ = loweredPanel("Panel1", this);
  toolBar_->setFixedHeight(kToolBarHeight);
  catalogueButton_ = toolButton("Button11", QStringLiteral("目录"), {17, 3, 64, 25});
  openButton_ = toolButton("Button8", QStringLiteral("打开试卷"), {85, 3, 75, 25});
  handInButton_ = toolButton("Button7", QStringLiteral("批改试卷"), {163, 3, 65, 25});
  aboutButton_ = toolButton("Button10", QStringLiteral("关于"), {232, 3, 49, 25});
  notesButton_ = toolButton("Button6", QStringLiteral("查看注释"), {285, 3, 75, 25});
  saveAnswersButton_ = toolButton("Button4", QStringLiteral("保存答案"), {365, 3, 65, 25});
  importAnswersButton_ = toolButton("Button5", QStringLiteral("导入答案"), {437, 3, 65, 25});
  startButton_ = toolButton("Button3", QStringLiteral("开始答题"), {510, 3, 67, 25});
  catalogueButton_->hide();
  handInButton_->setEnabled(false);
  aboutButton_->hide();
  notesButton_->hide();
  startButton_->hide();
  startButton_->setEnabled(false);

  auto* bar = new QVBoxLayout(toolBar_);
  bar->setContentsMargins(1, 1, 1, 1);
  bar->setSpacing(0);
  bar->addStretch(1);
  bar->addWidget(buildClockPanel(toolBar_));
  buildTimeWarning(toolBar_);
  return toolBar_;
}

void MainWindow::buildTimeWarning(QWidget* parent) {
  timeWarning_ = new SpokenGroup(QAccessible::AlertMessage, parent);
  timeWarning_->setObjectName(QStringLiteral("timeWarning"));
  timeWarning_->setGeometry(584, 3, 160, 25);
  timeWarningText_ = new QLabel(timeWarning_);
  timeWarningText_->setGeometry(0, 0, 160, 25);
  timeWarningText_->setAlignment(Qt::AlignCenter);
  timeWarningText_->setStyleSheet(QString::fromLatin1(kCountStyle) + QString::fromLatin1(kWarningStyle));
  timeWarning_->setTexts([this] { return timeWarningText_->text(); });
  timeWarning_->hide();
}

QLabel* MainWindow::clockLabel(QWidget* parent, const char* name, const QString& text, int left,
                               int width, bool count) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  if (count) {
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QString::fromLatin1(kCountStyle));
  }
  label->setGeometry(left, kLabelTop, width > 0 ? width : label->sizeHint().width(), kLabelHeight);
  clockPlaces_.emplace_back(label, label->geometry());
  return label;
}

void MainWindow::highlightRemainingTime(bool on) {
  const QString warning = on ? QString::fromLatin1(kWarningStyle) : QString();
  for (QLabel* label : remainingTimeLabels_) {
    const bool count = label == minutesLeftLabel_ || label == secondsLeftLabel_;
    label->setStyleSheet((count ? QString::fromLatin1(kCountStyle) : QString()) + warning);
  }
}

// Eight labels on screen, one text for assistive technology: the time
// left, asked for when it is read and told each minute.
void MainWindow::buildClockLine(QWidget* parent) {
  clockLine_ = new SpokenGroup(QAccessible::StaticText, parent);
  clockLine_->setObjectName(QStringLiteral("clockLine"));
  clockLine_->setGeometry(0, 0, kClockLineWidth, kClockPanelHeight);
  clockLine_->setTexts(
      [this] { return QString::fromStdString(remainingTimeText(session_.clock())); },
      [this] { return QString::fromStdString(allowedTimeText(session_.clock())); });
  clockLabel(clockLine_, "Label1", QStringLiteral("答题时间："), 7, 0, false);
  minutesAllowedLabel_ = clockLabel(clockLine_, "Label10", QStringLiteral("0"), 71, 49, true);
  clockLabel(clockLine_, "Label2", QStringLiteral("分钟"), 119, 0, false);
  QLabel* remainingText = clockLabel(clockLine_, "Label3", QStringLiteral("剩余答题时间："), 151, 0, false);
  minutesLeftLabel_ = clockLabel(clockLine_, "Label11", QStringLiteral("0"), 239, 49, true);
  QLabel* minutesText = clockLabel(clockLine_, "Label4", QStringLiteral("分钟"), 287, 0, false);
  secondsLeftLabel_ = clockLabel(clockLine_, "Label5", QStringLiteral("0"), 327, 24, true);
  QLabel* secondsText = clockLabel(clockLine_, "Label6", QStringLiteral("秒"), 351, 0, false);
  remainingTimeLabels_ = {remainingText, minutesLeftLabel_, minutesText, secondsLeftLabel_, secondsText};
  // Named, the counting labels tell assistive technology nothing as they
  // count: the clock line speaks for them, once a minute.
  minutesAllowedLabel_->setAccessibleName(QStringLiteral("答题分钟数"));
  minutesLeftLabel_->setAccessibleName(QStringLiteral("剩余分钟数"));
  secondsLeftLabel_->setAccessibleName(QStringLiteral("剩余秒数"));
}

QFrame* MainWindow::buildClockPanel(QWidget* parent) {
  clockPanel_ = loweredPanel("Panel4", parent);
  clockPanel_->setFixedHeight(kClockPanelHeight);
  buildClockLine(clockPanel_);
  scoreLine_ = new QLabel(QStringLiteral("总分：得分："), clockPanel_);
  scoreLine_->setAccessibleDescription(QStringLiteral("成绩"));
  scoreLine_->setObjectName(QStringLiteral("Label7"));
  scoreLine_->setWordWrap(true);
  scoreLine_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  scoreLine_->setGeometry(kScoreLineLeft, kScoreLineTop, kScoreLineWidth, kClockPanelHeight - 3);
  // Focused after hand-in; the frame shows where the keys are.
  scoreLine_->setStyleSheet(QStringLiteral("QLabel:focus { border: 1px dotted black; }"));
  return clockPanel_;
}

QWidget* MainWindow::buildPaperArea() {
  paperArea_ = new AccessiblePanel(this);
  paperArea_->setObjectName(QStringLiteral("Panel3"));
  auto* row = new QHBoxLayout(paperArea_);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  page_ = new PageView(QString::fromStdString(options_.workFolder.string()), paperArea_);
  page_->setObjectName(QStringLiteral("pageView"));
  // Before the rest: the engine's processes start while the window is built.
  if (expectedStartPage_ == PageKind::Web) page_->prepareWebPage();
  grid_ = new AnswerGrid(session_, paperArea_);
  gridSplitter_ = new SplitterBar(grid_, paperArea_, SplitterBar::Side::Right,
                                  [this](int width) { chooseGridWidth(width); });
  gridSplitter_->setObjectName(QStringLiteral("gridSplitter"));
  row->addWidget(page_, 1);
  row->addWidget(gridSplitter_);
  row->addWidget(grid_);
  paperArea_->installEventFilter(this);  // the grid keeps its share
  passwordPanel_ = new PasswordPanel(paperArea_);
  passwordPanel_->move(40, 16);
  connect(page_, &PageView::webLoadFinished, this,
          [this](bool ok) { emit pageLoaded(ok, windowTitle()); });
  return paperArea_;
}

QLabel* MainWindow::buildStatusLine() {
  statusLine_ = new QLabel(this);
  statusLine_->setObjectName(QStringLiteral("Panel7"));
  statusLine_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  statusLine_->setFixedHeight(kStatusHeight);
  statusLine_->setAlignment(Qt::AlignCenter);
  statusLine_->setTextFormat(Qt::PlainText);  // paper text, never markup
  return statusLine_;
}

}  // namespace qzt::ui
