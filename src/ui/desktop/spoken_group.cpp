#include "desktop/spoken_group.h"

#include <QAccessibleWidget>

#include "desktop/accessible_tree.h"

namespace qzt::ui {
namespace {

// The group and nothing under it: its children are how it looks.
class SpokenGroupAccessible : public QAccessibleWidget {
 public:
  explicit SpokenGroupAccessible(SpokenGroup* group) : QAccessibleWidget(group, group->spokenRole()) {}

  QString text(QAccessible::Text t) const override {
    const auto* group = static_cast<const SpokenGroup*>(widget());
    if (t == QAccessible::Name) return group->spokenName();
    if (t == QAccessible::Description) return group->spokenDescription();
    return QAccessibleWidget::text(t);
  }
  int childCount() const override { return 0; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
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
