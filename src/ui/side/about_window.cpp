#include "side/about_window.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <cmath>
#include <functional>
#include <utility>

#include "gbk_text.h"
#include "desktop/link_opener.h"
#include "side/about_text.h"
#include "page/text_view.h"

namespace {

constexpr int kDesignedWidth = 277;
constexpr int kDesignedHeight = 281;
constexpr int kButtonWidth = 57;
constexpr int kButtonHeight = 25;
const QColor kLinkColour(0, 0, 255);

QPointer<AboutWindow>& living() {
  static QPointer<AboutWindow> window;
  return window;
}

// A line label; link labels open their target on a left click.
class LineLabel : public QLabel {
 public:
  LineLabel(const QString& text, QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);  // "&" and "<" are shown as they are; no background
    setText(text);
    adjustSize();
  }
  void makeLink(QString target) {
    target_ = std::move(target);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, kLinkColour);
    setPalette(p);
    setCursor(Qt::PointingHandCursor);
  }

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (!target_.isEmpty() && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
      ielinknewwindows(target_);
      return;
    }
    QLabel::mouseReleaseEvent(event);
  }

 private:
  QString target_;
};

QByteArray readAll(const QString& path) {
  QFile file(path);
  if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace

AboutWindow::AboutWindow(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("Tksabout"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFont(cjkFont(13));
  resize(kDesignedWidth, kDesignedHeight);

  empty_ = new QLabel(QStringLiteral("关于信息还没设置，请到软件设置中设置"), this);
  empty_->setObjectName(QStringLiteral("Label2"));
  empty_->setTextFormat(Qt::PlainText);
  empty_->move(16, 40);
  empty_->adjustSize();
  empty_->hide();

  strip_ = new QFrame(this);
  strip_->setObjectName(QStringLiteral("Panel1"));
  strip_->setFrameStyle(QFrame::NoFrame);
  ok_ = new QPushButton(QStringLiteral("确定"), strip_);
  ok_->setObjectName(QStringLiteral("Button1"));
  ok_->resize(kButtonWidth, kButtonHeight);
  connect(ok_, &QPushButton::clicked, this, &QWidget::close);
  placeStrip();

  connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &AboutWindow::onFocusWindowChanged);
}

AboutWindow* AboutWindow::instance() {
  return living().data();
}

AboutWindow* AboutWindow::showAbout(QWidget* owner, const QString& aboutFile) {
  if (AboutWindow* old = living()) old->close();
  auto* window = new AboutWindow(owner);
  living() = window;
  window->setWindowTitle(QStringLiteral("关于"));
  window->buildLabels(aboutFile);
  const QRect screen = (owner ? owner->screen() : QGuiApplication::primaryScreen())->geometry();
  window->resize(qzt::fitToScreen(window->width(), screen.width()),
                 qzt::fitToScreen(window->height(), screen.height()));
  window->show();
  QRect frame = window->frameGeometry();  // known once shown
  frame.moveCenter(screen.center());
  window->move(frame.topLeft());
  window->raise();
  window->activateWindow();
  return window;
}

void AboutWindow::buildLabels(const QString& aboutFile) {
  const QByteArray bytes = readAll(aboutFile);
  const std::vector<qzt::AboutItem> items = qzt::parseAboutText(std::string_view(bytes.constData(), bytes.size()));
  std::vector<int> heights;
  for (const qzt::AboutItem& item : items) {
    if (item.gap) continue;
    auto* label = new LineLabel(fromGbk(item.caption), this);
    label->setObjectName(QStringLiteral("line%1").arg(labels_.size()));
    if (item.link) label->makeLink(fromGbk(*item.link));
    labels_.push_back(label);
    heights.push_back(label->height());
  }
  if (labels_.empty()) {
    empty_->show();
    return;
  }
  const std::vector<int> tops = qzt::aboutLabelTops(items, heights);
  for (std::size_t i = 0; i < labels_.size() && i < tops.size(); ++i) {
    labels_[i]->move(qzt::kAboutLabelLeft, tops[i]);
  }
  const QLabel* last = labels_.back();
  resize(width(), qzt::aboutWindowHeight(last->y(), last->height()));
}

void AboutWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      close();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void AboutWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  placeStrip();
}

// The strip along the bottom, its button centred (halves to the even side).
void AboutWindow::placeStrip() {
  strip_->setGeometry(0, height() - qzt::kAboutButtonStripHeight, width(), qzt::kAboutButtonStripHeight);
  strip_->raise();
  const int left = static_cast<int>(std::nearbyint((strip_->width() - kButtonWidth) / 2.0));
  ok_->move(left, 1);
}

// Another window of the reader became active: the about window goes.
// Switching to another program gives no focus window and keeps it.
void AboutWindow::onFocusWindowChanged(QWindow* focused) {
  if (focused == nullptr || focused == windowHandle()) return;
  if (isVisible()) close();
}
