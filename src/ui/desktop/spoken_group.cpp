#include "desktop/spoken_group.h"

#include <QAccessibleWidget>

#include "desktop/accessible_tree.h"

namespace qzt::ui {
namespace {

// The group and nothing under it: its children are how it looks. Its
// text is the name, asked for afresh at every read, so a screen reader
// that keeps names until told of a change still reads the current text.
class SpokenGroupAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit SpokenGroupAccessible(SpokenGroup* group) : QAccessibleWidget(group, group->spokenRole()) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return group()->spokenName();
    if (t == QAccessible::Description) return group()->spokenDescription();
    return QAccessibleWidget::text(t);
  }
  int childCount() const override { return 0; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }

  // Read-only text: no selection, no cursor, no character places.
  QString text(int start, int end) const override { return group()->spokenName().mid(start, end - start); }
  int characterCount() const override { return static_cast<int>(group()->spokenName().size()); }
  void selection(int, int* start, int* end) const override { *start = *end = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QRect characterRect(int) const override { return {}; }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return {};
  }

 private:
  const SpokenGroup* group() const { return static_cast<const SpokenGroup*>(widget()); }
};

}  // namespace

SpokenGroup::SpokenGroup(QAccessible::Role role, QWidget* parent) : QWidget(parent), role_(role) {
  installAccessibleTree();
}

QAccessibleInterface* SpokenGroup::interfaceFor(QObject* object) {
  auto* group = qobject_cast<SpokenGroup*>(object);
  return group ? new SpokenGroupAccessible(group) : nullptr;
}

void SpokenGroup::setTexts(Text name, Text description) {
  name_ = std::move(name);
  description_ = std::move(description);
  announce();
}

void SpokenGroup::announce() {
  if (!QAccessible::isActive()) return;
  QAccessibleEvent event(this, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&event);
}

}  // namespace qzt::ui
