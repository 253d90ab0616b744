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
  listBox1_ = new QListWidget(central);
  listBox1_->setObjectName(QStringLiteral("ListBox1"));
  listBox1_->setFixedWidth(kCatalogueWidth);
  listBox1_->setFont(cjkFont(15));
  listBox1_->setToolTip(QStringLiteral("双击打开试卷"));
  listBox1_->hide();
  splitter1_ = new SplitterBar(listBox1_, central);
  splitter1_->setObjectName(QStringLiteral("Splitter1"));
  auto* panel6 = new QFrame(central);
  panel6->setObjectName(QStringLiteral("Panel6"));
  panel6->setFixedWidth(kRightMarginWidth);
  middle->addWidget(listBox1_);
  middle->addWidget(splitter1_);
  middle->addWidget(buildPaperArea(), 1);
  middle->addWidget(panel6);
  column->addLayout(middle, 1);
  column->addWidget(buildStatusLine());
  setCentralWidget(central);

  // The comments float over the page, in place whatever the window size.
  panel5_ = new CommentsPanel(central);
  panel5_->move(144, 72);
  panel5_->hide();

  connect(button8_, &QPushButton::clicked, this, &MainWindow::chooseAndOpen);
  connect(button7_, &QPushButton::clicked, this, &MainWindow::handIn);
  connect(button11_, &QPushButton::clicked, this, &MainWindow::toggleCatalogue);
  connect(listBox1_, &QListWidget::itemDoubleClicked, this, &MainWindow::openCatalogueEntry);
  connect(button6_, &QPushButton::clicked, this, &MainWindow::showNotes);
  connect(button10_, &QPushButton::clicked, this, &MainWindow::showAbout);
  connect(button4_, &QPushButton::clicked, this, &MainWindow::saveAnswerFile);
  connect(button5_, &QPushButton::clicked, this, &MainWindow::importAnswerFile);
  connect(panel2_, &PasswordPanel::confirmed, this, [this] {
    session_.confirmPassword();
    syncTimers();
  });
  connect(panel2_, &PasswordPanel::linkActivated, this, &ielinknewwindows);
}

QPushButton* MainWindow::toolButton(const char* name, const QString& caption, QRect place) {
  auto* button = new QPushButton(caption, panel1_);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(place);
  return button;
}

QFrame* MainWindow::buildToolBar() {
  panel1_ = loweredPanel("Panel1", this);
  panel1_->setFixedHeight(kToolBarHeight);
  button11_ = toolButton("Button11", QStringLiteral("目录"), {17, 3, 64, 25});
  button8_ = toolButton("Button8", QStringLiteral("打开试卷"), {85, 3, 75, 25});
  button7_ = toolButton("Button7", QStringLiteral("批改试卷"), {163, 3, 65, 25});
  button10_ = toolButton("Button10", QStringLiteral("关于"), {232, 3, 49, 25});
  button6_ = toolButton("Button6", QStringLiteral("查看注释"), {285, 3, 75, 25});
  button4_ = toolButton("Button4", QStringLiteral("保存答案"), {365, 3, 65, 25});
  button5_ = toolButton("Button5", QStringLiteral("导入答案"), {437, 3, 65, 25});
  button3_ = toolButton("Button3", QStringLiteral("开始答题"), {510, 3, 67, 25});
  button11_->hide();
  button7_->setEnabled(false);
  button10_->hide();
  button6_->hide();
  button3_->hide();
  button3_->setEnabled(false);

  auto* bar = new QVBoxLayout(panel1_);
  bar->setContentsMargins(1, 1, 1, 1);
  bar->setSpacing(0);
  bar->addStretch(1);
  bar->addWidget(buildClockPanel(panel1_));
  return panel1_;
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
  QFrame* panel4 = loweredPanel("Panel4", parent);
  panel4->setFixedHeight(kClockPanelHeight);
  clockLabel(panel4, "Label1", QStringLiteral("答题时间："), 7, 0, false);
  label10_ = clockLabel(panel4, "Label10", QStringLiteral("0"), 71, 49, true);
  clockLabel(panel4, "Label2", QStringLiteral("分钟"), 119, 0, false);
  clockLabel(panel4, "Label3", QStringLiteral("剩余答题时间："), 151, 0, false);
  label11_ = clockLabel(panel4, "Label11", QStringLiteral("0"), 239, 49, true);
  clockLabel(panel4, "Label4", QStringLiteral("分钟"), 287, 0, false);
  label5_ = clockLabel(panel4, "Label5", QStringLiteral("0"), 327, 24, true);
  clockLabel(panel4, "Label6", QStringLiteral("秒"), 351, 0, false);
  label7_ = new QLabel(QStringLiteral("总分：得分："), panel4);
  label7_->setObjectName(QStringLiteral("Label7"));
  label7_->setWordWrap(true);
  label7_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label7_->setGeometry(408, 2, 289, kClockPanelHeight - 3);
  return panel4;
}

QWidget* MainWindow::buildPaperArea() {
  panel3_ = new QWidget(this);
  panel3_->setObjectName(QStringLiteral("Panel3"));
  auto* row = new QHBoxLayout(panel3_);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  page_ = new PageView(QString::fromStdString(options_.workFolder.string()), panel3_);
  page_->setObjectName(QStringLiteral("pageView"));
  grid_ = new AnswerGrid(session_, panel3_);
  row->addWidget(page_, 1);
  row->addWidget(grid_);
  panel2_ = new PasswordPanel(panel3_);
  panel2_->move(40, 16);
  connect(page_, &PageView::webLoadFinished, this,
          [this](bool ok) { emit pageLoaded(ok, windowTitle()); });
  return panel3_;
}

QLabel* MainWindow::buildStatusLine() {
  panel7_ = new QLabel(this);
  panel7_->setObjectName(QStringLiteral("Panel7"));
  panel7_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel7_->setFixedHeight(kStatusHeight);
  panel7_->setAlignment(Qt::AlignCenter);
  return panel7_;
}

}  // namespace qzt::ui
