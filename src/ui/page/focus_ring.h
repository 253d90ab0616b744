// A visible focus mark for a widget that draws none of its own (the web
// view): a ring along its inside edge while the keys are in it. The ring
// is the widget's child, so assistive technology never lists it, and it
// lets every press through.
#pragma once

#include <QWidget>

namespace qzt::ui {

class FocusRing : public QWidget {
  Q_OBJECT
 public:
  // Rings `target` from now on; owned by it.
  explicit FocusRing(QWidget* target);

  static constexpr int kWidth = 3;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void follow(QWidget* focused);
};

}  // namespace qzt::ui
