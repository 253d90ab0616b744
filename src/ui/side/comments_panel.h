// The comments panel: the comment chosen for the candidate's result,
// floating over the page until closed.
#pragma once

#include <QByteArray>
#include <QFrame>

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
  // size no larger than the window holds.
  void setZoom(double factor);

 private:
  QLabel* captionLabel_ = nullptr;
  QTextBrowser* text_ = nullptr;
  QPushButton* close_ = nullptr;
  double zoom_ = 1.0;
};
