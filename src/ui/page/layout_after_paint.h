// Qt lays out a long text page in steps on a short timer, beyond what is in
// view. At start-up those steps run while the window is still being built
// and hold back its first frame; this holds them until the view has drawn
// the page once.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QTextEdit;

namespace qzt::ui {

class LayoutAfterPaint : public QObject {
 public:
  explicit LayoutAfterPaint(QTextEdit* view);

  // A page was put into the view: its layout steps wait for the next drawing.
  void pageLoaded();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QTextEdit* view_;
  QPointer<QObject> layout_;  // the document's layout, whose timer is held
  QElapsedTimer loaded_;
  bool painted_ = true;
};

}  // namespace qzt::ui
