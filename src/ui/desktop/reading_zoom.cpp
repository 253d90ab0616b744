#include "desktop/reading_zoom.h"

#include <QApplication>
#include <QSettings>
#include <QShortcut>
#include <QWheelEvent>
#include <QWidget>

#include "sheet/zoom.h"

namespace qzt::ui {
namespace {

constexpr char kSettingsKey[] = "reading/zoom";

// Per user: ~/.config/qzt-reader/reader.conf on Linux.
QSettings userSettings() {
  return QSettings(QStringLiteral("qzt-reader"), QStringLiteral("reader"));
}

// A value edited by hand that is not a number starts at the default.
double keptFactor() {
  bool number = false;
  const double kept = userSettings().value(QLatin1String(kSettingsKey)).toDouble(&number);
  return number ? zoom::usable(kept) : zoom::kDefault;
}

}  // namespace

ReadingZoom::ReadingZoom(QWidget* window)
    : QObject(window), window_(window), factor_(keptFactor()) {
  auto bind = [this](QList<QKeySequence> keys, auto next) {
    for (const QKeySequence& key : keys) {
      auto* shortcut = new QShortcut(key, window_);
      connect(shortcut, &QShortcut::activated, this, [this, next] { set(next(factor_)); });
    }
  };
  // Plus without Shift too; a key bound twice would fire neither.
  QList<QKeySequence> in = QKeySequence::keyBindings(QKeySequence::ZoomIn);
  if (!in.contains(QKeySequence(Qt::CTRL | Qt::Key_Equal))) in.append(QKeySequence(Qt::CTRL | Qt::Key_Equal));
  bind(in, &zoom::zoomedIn);
  bind(QKeySequence::keyBindings(QKeySequence::ZoomOut), &zoom::zoomedOut);
  bind({QKeySequence(Qt::CTRL | Qt::Key_0)}, [](double) { return zoom::kDefault; });
  // Before the page's own handling, which would zoom the web page alone.
  qApp->installEventFilter(this);
}

void ReadingZoom::set(double factor) {
  factor = zoom::usable(factor);
  if (factor == factor_) return;
  factor_ = factor;
  userSettings().setValue(QLatin1String(kSettingsKey), factor_);
  emit changed(factor_);
}

bool ReadingZoom::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Wheel) return false;
  auto* wheel = static_cast<QWheelEvent*>(event);
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!(wheel->modifiers() & Qt::ControlModifier) || !widget || widget->window() != window_)
    return false;
  const int steps = wheel->angleDelta().y();
  if (steps > 0) set(zoom::zoomedIn(factor_));
  if (steps < 0) set(zoom::zoomedOut(factor_));
  return true;
}

}  // namespace qzt::ui
