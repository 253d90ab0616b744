// The reading zoom across the window: the page, the grid and the comment
// zoom themselves; here the clock line and the score line follow, and the
// comment is kept over the page, clear of the grid.
#include <QFrame>
#include <QLabel>

#include <algorithm>

#include "desktop/spoken_group.h"
#include "grid/answer_grid.h"
#include "page/page_view.h"
#include "page/text_view.h"
#include "side/comments_panel.h"
#include "window/main_window.h"
#include "window/tool_bar_metrics.h"

namespace qzt::ui {

void MainWindow::applyZoom(double factor) {
  zoom_ = factor;
  page_->setZoom(factor);
  grid_->setZoom(factor);
  commentsPanel_->setZoom(factor);
  placeClockPanel();
}

void MainWindow::placeClockPanel() {
  const auto scaled = [this](int designed) { return qRound(designed * zoom_); };
  const QFont font = cjkFont(scaled(kFontPixels));
  for (const auto& [label, place] : clockPlaces_) {
    label->setFont(font);
    label->setGeometry(scaled(place.x()), scaled(place.y()), std::max(scaled(place.width()), label->sizeHint().width()),
                       scaled(place.height()));
  }
  const int lineHeight = scaled(kClockPanelHeight);
  clockLine_->resize(scaled(kClockLineWidth), lineHeight);
  scoreLine_->setFont(font);
  // Beside the clock while the designed width fits there (always at 100%
  // and below, as designed), else on a line of its own below it.
  const int inside = clockPanel_->contentsRect().width();
  const bool beside = zoom_ <= 1.0 || scaled(kScoreLineLeft + kScoreLineWidth) <= inside;
  const QRect score = beside ? QRect(scaled(kScoreLineLeft), scaled(kScoreLineTop), scaled(kScoreLineWidth),
                                     lineHeight - scaled(3))
                             : QRect(scaled(7), lineHeight, std::max(1, inside - scaled(7)), lineHeight - scaled(3));
  scoreLine_->setGeometry(score);
  const int panelHeight = beside ? lineHeight : 2 * lineHeight;
  clockPanel_->setFixedHeight(panelHeight);
  toolBar_->setFixedHeight(kToolBarHeight - kClockPanelHeight + panelHeight);
}

void MainWindow::chooseGridWidth(int width) {
  const int paperWidth = paperArea_->width();
  if (paperWidth <= 0) return;
  gridShare_ = std::clamp(double(width) / paperWidth, 0.1, 0.9);
  grid_->setShare(qRound(gridShare_ * paperWidth));
}

void MainWindow::followResize(QObject* watched, QEvent* event) {
  const bool resized = event->type() == QEvent::Resize;
  if (watched == page_ && (resized || event->type() == QEvent::Move)) keepCommentsOverThePage();
  if (watched == clockPanel_ && resized) placeClockPanel();
  if (watched == paperArea_ && resized) grid_->setShare(qRound(gridShare_ * paperArea_->width()));
}

void MainWindow::keepCommentsOverThePage() {
  // 144 pixels right of the window's edge and 15 below the page's top, as
  // designed; the tool bar grows with the zoom.
  const QPoint pageTopRight = page_->mapTo(commentsPanel_->parentWidget(), QPoint(page_->width(), 0));
  commentsPanel_->setRoom({144, pageTopRight.y() + 15}, pageTopRight.x());
}

}  // namespace qzt::ui
