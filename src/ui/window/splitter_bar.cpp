#include "window/splitter_bar.h"

#include <QMouseEvent>
#include <algorithm>

namespace qzt::ui {

SplitterBar::SplitterBar(QWidget* sized, QWidget* parent) : QFrame(parent), sized_(sized) {
  setFixedWidth(3);
  setCursor(Qt::SplitHCursor);
}

void SplitterBar::mousePressEvent(QMouseEvent* event) {
  pressX_ = event->globalPosition().toPoint().x();
  startWidth_ = sized_->isVisible() ? sized_->width() : 0;
}

void SplitterBar::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) || !sized_->isVisible()) return;
  const int width = startWidth_ + event->globalPosition().toPoint().x() - pressX_;
  sized_->setFixedWidth(std::max(0, width));
}

}  // namespace qzt::ui
