// A thin bar that widens or narrows the widget at its left when dragged.
// It stays on screen when that widget is hidden, as the catalogue's bar
// does.
#pragma once

#include <QFrame>

namespace qzt::ui {

class SplitterBar : public QFrame {
  Q_OBJECT
 public:
  SplitterBar(QWidget* sized, QWidget* parent = nullptr);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QWidget* sized_;
  int pressX_ = 0;
  int startWidth_ = 0;
};

}  // namespace qzt::ui
