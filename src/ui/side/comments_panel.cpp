#include "side/comments_panel.h"

#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>

#include <algorithm>

#include "page/text_view.h"

namespace {

constexpr int kPanelWidth = 329;
constexpr int kPanelHeight = 249;
constexpr int kCaptionPixels = 13;  // the window's font
constexpr int kTextPixels = 15;

}  // namespace

CommentsPanel::CommentsPanel(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("Panel5"));
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setAutoFillBackground(true);

  captionLabel_ = new QLabel(QStringLiteral("评语"), this);
  captionLabel_->setObjectName(QStringLiteral("Label8"));
  setAccessibleName(captionLabel_->text());  // a panel a screen reader names

  text_ = new QTextBrowser(this);
  text_->setObjectName(QStringLiteral("pyedit"));
  text_->setOpenLinks(false);
  captionLabel_->setBuddy(text_);  // the comment is read by its caption

  close_ = new QPushButton(QStringLiteral("关闭"), this);
  close_->setObjectName(QStringLiteral("Button9"));
  connect(close_, &QPushButton::clicked, this, &QWidget::hide);

  setZoom(1.0);
  hide();
}

void CommentsPanel::setRoom(QPoint home, int rightEdge) {
  home_ = home;
  rightEdge_ = rightEdge;
  setZoom(zoom_);
}

void CommentsPanel::setZoom(double factor) {
  zoom_ = factor;
  // The panel grows no further than its room holds; the comment's text
  // keeps the whole zoom and scrolls in it.
  double fits = factor;
  int right = home_.x() + qRound(kPanelWidth * factor);
  if (const QWidget* window = parentWidget()) {
    right = rightEdge_ > 0 ? std::min(rightEdge_, window->width()) : window->width();
    fits = std::min({fits, right / double(kPanelWidth), (window->height() - home_.y()) / double(kPanelHeight)});
    fits = std::max(fits, 1.0);
  }
  const auto scaled = [fits](int designed) { return qRound(designed * fits); };
  const auto place = [&](QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(scaled(left), scaled(top), scaled(width), scaled(height));
  };
  setFixedSize(scaled(kPanelWidth), scaled(kPanelHeight));
  move(std::clamp(right - width(), 0, home_.x()), home_.y());
  QFont font = this->font();
  font.setPixelSize(scaled(kCaptionPixels));
  captionLabel_->setFont(font);
  close_->setFont(font);
  text_->setFont(cjkFont(qRound(kTextPixels * factor)));
  place(captionLabel_, 8, 6, 313, 18);
  place(text_, 8, 28, 313, 177);
  place(close_, (kPanelWidth - 49) / 2, 214, 49, 25);
}

void CommentsPanel::showComment(const std::vector<QByteArray>& gbkLines) {
  QByteArray text;
  for (std::size_t i = 0; i < gbkLines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += gbkLines[i];
  }
  showTextBytes(text_, text);
  setZoom(zoom_);  // to the window as it is now
  show();
  raise();
}

QString CommentsPanel::commentText() const { return text_->toPlainText(); }
