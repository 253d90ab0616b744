#include "page/layout_after_paint.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QTextDocument>
#include <QTextEdit>

namespace qzt::ui {

namespace {
// A view that is never drawn (another page in front) lets the layout go on.
constexpr qint64 kLongestHoldMs = 2000;
}  // namespace

LayoutAfterPaint::LayoutAfterPaint(QTextEdit* view) : QObject(view), view_(view) {
  view_->viewport()->installEventFilter(this);
}

void LayoutAfterPaint::pageLoaded() {
  QObject* layout = view_->document()->documentLayout();
  if (layout != layout_) {
    if (layout_) layout_->removeEventFilter(this);
    layout_ = layout;
    layout_->installEventFilter(this);
  }
  painted_ = false;
  loaded_.start();
}

bool LayoutAfterPaint::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_->viewport()) {
    if (event->type() == QEvent::Paint) painted_ = true;
    return false;
  }
  // The drawing lays out what is in view itself; the rest follows it.
  return watched == layout_ && event->type() == QEvent::Timer && !painted_ &&
         loaded_.elapsed() < kLongestHoldMs;
}

}  // namespace qzt::ui
