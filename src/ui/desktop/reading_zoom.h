// One zoom for the whole reading surface: Ctrl+plus, Ctrl+minus, Ctrl+0 and
// Ctrl+wheel anywhere in the window change it; the factor is kept per user
// between runs.
#pragma once

#include <QObject>

class QWidget;

namespace qzt::ui {

class ReadingZoom : public QObject {
  Q_OBJECT
 public:
  // Installs the keys on `window` and reads the kept factor.
  explicit ReadingZoom(QWidget* window);

  double factor() const { return factor_; }
  void set(double factor);

 signals:
  void changed(double factor);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  double factor_;
};

}  // namespace qzt::ui
