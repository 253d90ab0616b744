// The window's fixed layout: the tool bar with the clock line, the
// catalogue at the left, the paper area with the page and the answer grid,
// the right margin and the status line. Every control carries its layout
// name as its object name.
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "grid/answer_grid.h"
#include "side/comments_panel.h"
#include "desktop/link_opener.h"
#include "window/main_window.h"
#include "page/page_view.h"
#include "side/password_panel.h"
#include "window/splitter_bar.h"
#include "page/text_view.h"

namespace qzt::ui {
namespace {

constexpr int kToolBarHeight = 57;
constexpr int kClockPanelHeight = 25;
constexpr int kStatusHeight = 21;
constexpr int kCatalogueWidth = 225;
constexpr int kRightMarginWidth = 24;
constexpr int kLabelTop = 5;
constexpr int kLabelHeight = 15;

QFrame* loweredPanel(const char* name, QWidget* parent) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(QString::fromLatin1(name));
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(1);
  return panel;
}

}  // namespace

void MainWindow::buildControls() {
  setFont(cjkFont(13));
  setWindowTitle(QStringLiteral("卷舟试卷阅读器") + QStringLiteral("1.0"));
  resize(688, 488);
  move(35, 41);

  auto* central = new QWidget(this);
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
  auto* rightMargin = new QFrame(central);
  rightMargin->setObjectName(QStringLiteral("Panel6"));
  rightMargin->setFixedWidth(kRightMarginWidth);
  middle->addWidget(catalogueList_);
  middle->addWidget(catalogueSplitter_);
  middle->addWidget(buildPaperArea(), 1);
  middle->addWidget(rightMargin);
  column->addLayout(middle, 1);
  column->addWidget(buildStatusLine());
  setCentralWidget(central);

  // The comments float over the page, in place whatever the window size.
  commentsPanel_ = new CommentsPanel(central);
  commentsPanel_->move(144, 72);
  commentsPanel_->hide();

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
  return toolBar_;
}

QLabel* MainWindow::clockLabel(QWidget* parent, const char* name, const QString& text, int left,
                               int width, bool count) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  if (count) {
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
  }
  label->setGeometry(left, kLabelTop, width > 0 ? width : label->sizeHint().width(), kLabelHeight);
  return label;
}

QFrame* MainWindow::buildClockPanel(QWidget* parent) {
  QFrame* clockPanel = loweredPanel("Panel4", parent);
  clockPanel->setFixedHeight(kClockPanelHeight);
  clockLabel(clockPanel, "Label1", QStringLiteral("答题时间："), 7, 0, false);
  minutesAllowedLabel_ = clockLabel(clockPanel, "Label10", QStringLiteral("0"), 71, 49, true);
  clockLabel(clockPanel, "Label2", QStringLiteral("分钟"), 119, 0, false);
  clockLabel(clockPanel, "Label3", QStringLiteral("剩余答题时间："), 151, 0, false);
  minutesLeftLabel_ = clockLabel(clockPanel, "Label11", QStringLiteral("0"), 239, 49, true);
  clockLabel(clockPanel, "Label4", QStringLiteral("分钟"), 287, 0, false);
  secondsLeftLabel_ = clockLabel(clockPanel, "Label5", QStringLiteral("0"), 327, 24, true);
  clockLabel(clockPanel, "Label6", QStringLiteral("秒"), 351, 0, false);
  scoreLine_ = new QLabel(QStringLiteral("总分：得分："), clockPanel);
  scoreLine_->setObjectName(QStringLiteral("Label7"));
  scoreLine_->setWordWrap(true);
  scoreLine_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  scoreLine_->setGeometry(408, 2, 289, kClockPanelHeight - 3);
  return clockPanel;
}

QWidget* MainWindow::buildPaperArea() {
  paperArea_ = new QWidget(this);
  paperArea_->setObjectName(QStringLiteral("Panel3"));
  auto* row = new QHBoxLayout(paperArea_);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  page_ = new PageView(QString::fromStdString(options_.workFolder.string()), paperArea_);
  page_->setObjectName(QStringLiteral("pageView"));
  grid_ = new AnswerGrid(session_, paperArea_);
  row->addWidget(page_, 1);
  row->addWidget(grid_);
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
