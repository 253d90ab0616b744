// A widget that assistive technology reads as one piece of text, whatever
// its children show: the clock line's eight labels are one remaining time,
// and the time warning is one alert. The text is asked for each time it is
// read, so it is never stale; the owner says when a change is worth telling.
#pragma once

#include <QAccessible>
#include <QWidget>

#include <functional>

namespace qzt::ui {

class SpokenGroup : public QWidget {
  Q_OBJECT
 public:
  using Text = std::function<QString()>;

  // `role` as assistive technology sees it (StaticText, AlertMessage ...).
  explicit SpokenGroup(QAccessible::Role role, QWidget* parent = nullptr);

  void setTexts(Text name, Text description = {});
  QString spokenName() const { return name_ ? name_() : QString(); }
  QString spokenDescription() const { return description_ ? description_() : QString(); }
  QAccessible::Role spokenRole() const { return role_; }

  // Tells assistive technology that the name changed.
  void announce();

  // The accessible interface of `object` if it is a group; null otherwise.
  static QAccessibleInterface* interfaceFor(QObject* object);

 private:
  QAccessible::Role role_;
  Text name_;
  Text description_;
};

}  // namespace qzt::ui
