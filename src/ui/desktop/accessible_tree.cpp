#include "desktop/accessible_tree.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QFocusFrame>

#include "desktop/accessible_text.h"
#include "desktop/spoken_group.h"

namespace qzt::ui {
namespace {

// A plain container that lists only the children that are not hidden.
class ShownChildren : public QAccessibleWidget {
 public:
  using QAccessibleWidget::QAccessibleWidget;

  int childCount() const override { return static_cast<int>(shown().size()); }
  QAccessibleInterface* child(int index) const override {
    const QList<QWidget*> children = shown();
    return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children[index])
                                                 : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child ? static_cast<int>(shown().indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
  }

 private:
  QList<QWidget*> shown() const {
    QList<QWidget*> children;
    for (QObject* object : widget()->children()) {
      auto* child = qobject_cast<QWidget*>(object);
      if (child && !child->isWindow() && !child->isHidden() && !qobject_cast<QFocusFrame*>(child))
        children.append(child);
    }
    return children;
  }
};

// The application with the windows that are shown.
class ShownWindows : public QAccessibleApplication {
 public:
  int childCount() const override { return static_cast<int>(shown().size()); }
  QAccessibleInterface* child(int index) const override {
    const QList<QAccessibleInterface*> windows = shown();
    return index >= 0 && index < windows.size() ? windows[index] : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return static_cast<int>(shown().indexOf(const_cast<QAccessibleInterface*>(child)));
  }

 private:
  QList<QAccessibleInterface*> shown() const {
    QList<QAccessibleInterface*> windows;
    for (int i = 0; i < QAccessibleApplication::childCount(); ++i) {
      QAccessibleInterface* window = QAccessibleApplication::child(i);
      if (window && !window->state().invisible) windows.append(window);
    }
    return windows;
  }
};

// Matched by class (qobject_cast), never by a base class name: a widget in
// its base destructors must not get a new interface.
QAccessibleInterface* readerFactory(const QString&, QObject* object) {
  if (QAccessibleInterface* group = SpokenGroup::interfaceFor(object)) return group;
  if (QAccessibleInterface* text = accessibleTextFor(object)) return text;
  if (auto* panel = qobject_cast<AccessiblePanel*>(object)) return new ShownChildren(panel, QAccessible::Pane);
  // The reader's own windows built on a plain widget (notes, about) read as
  // windows named by their title, not as unnamed fillers.
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget && widget->isWindow() && widget->metaObject()->superClass() == &QWidget::staticMetaObject)
    return new ShownChildren(widget, QAccessible::Window);
  if (object == QCoreApplication::instance()) return new ShownWindows;
  return nullptr;
}

}  // namespace

void installAccessibleTree() {
  static const bool installed = [] {
    QAccessible::installFactory(readerFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace qzt::ui
