#include "window/splitter_bar.h"

#include <QMouseEvent>
#include <algorithm>

namespace qzt::ui {

SplitterBar::SplitterBar(QWidget* sized, QWidget* parent, Side side, Resize resize)
    : QWidget(parent), sized_(sized), side_(side), resize_(std::move(resize)) {
  if (!resize_) resize_ = [sized](int width) { sized->setFixedWidth(width); };
  setFixedWidth(3);
  setCursor(Qt::SplitHCursor);
}

void SplitterBar::mousePressEvent(QMouseEvent* event) {
  pressX_ = event->globalPosition().toPoint().x();
  startWidth_ = sized_->isVisible() ? sized_->width() : 0;
}

void SplitterBar::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) || !sized_->isVisible()) return;
  const int moved = event->globalPosition().toPoint().x() - pressX_;
  resize_(std::max(0, side_ == Side::Left ? startWidth_ + moved : startWidth_ - moved));
}

}  // namespace qzt::ui
