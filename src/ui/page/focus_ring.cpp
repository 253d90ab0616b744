#include "page/focus_ring.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace qzt::ui {

FocusRing::FocusRing(QWidget* target) : QWidget(target) {
  setObjectName(QStringLiteral("focusRing"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  hide();
  target->installEventFilter(this);
  // The keys go to the target's inner widgets (its focus proxy), so the
  // ring asks where the focus is rather than waiting for the target's events.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
}

void FocusRing::follow(QWidget* focused) {
  QWidget* target = parentWidget();
  const bool inside = focused && (focused == target || target->isAncestorOf(focused));
  if (inside) {
    setGeometry(target->rect());
    raise();  // above inner widgets made after the ring
  }
  setVisible(inside);
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QColor colour = palette().color(QPalette::Active, QPalette::Highlight);
  const QRect inner = rect().adjusted(kWidth, kWidth, -kWidth, -kWidth);
  QRegion ring = QRegion(rect()).subtracted(inner);
  for (const QRect& part : ring) painter.fillRect(part, colour);
}

}  // namespace qzt::ui
