// A thin bar that widens or narrows the widget beside it when dragged: the
// widget at its left (the catalogue) or at its right (the answer grid). It
// stays on screen when that widget is hidden, as the catalogue's bar does.
#pragma once

#include <QWidget>

#include <functional>

namespace qzt::ui {

class SplitterBar : public QWidget {
  Q_OBJECT
 public:
  enum class Side { Left, Right };
  using Resize = std::function<void(int width)>;

  // Drags set `sized`'s width through `resize`, by default its fixed width.
  SplitterBar(QWidget* sized, QWidget* parent = nullptr, Side side = Side::Left, Resize resize = {});

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QWidget* sized_;
  Side side_;
  Resize resize_;
  int pressX_ = 0;
  int startWidth_ = 0;
};

}  // namespace qzt::ui
