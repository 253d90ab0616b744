// The comments panel: the comment chosen for the candidate's result,
// floating over the page until closed.
#pragma once

#include <QByteArray>
#include <QFrame>
#include <QPoint>

#include <vector>

class QLabel;
class QPushButton;
class QTextBrowser;

class CommentsPanel : public QFrame {
  Q_OBJECT

 public:
  explicit CommentsPanel(QWidget* parent = nullptr);

  // Shows the comment's lines (GBK) in front, replacing the last comment:
  // formatted when they form an RTF document, as plain text otherwise.
  void showComment(const std::vector<QByteArray>& gbkLines);
  // The comment shown, as plain text.
  QString commentText() const;
  // Size, places and fonts at `factor` times their designed values, the
  // size no larger than the window holds left of the room's right edge.
  void setZoom(double factor);
  // Where the panel stands at 100% (in its parent) and the edge it keeps
  // left of, so it never covers what lies beyond: it moves left, as far as
  // the parent's edge, before it shrinks.
  void setRoom(QPoint home, int rightEdge);

 private:
  QLabel* captionLabel_ = nullptr;
  QTextBrowser* text_ = nullptr;
  QPushButton* close_ = nullptr;
  double zoom_ = 1.0;
  QPoint home_;
  int rightEdge_ = 0;  // 0: the parent's width
};
