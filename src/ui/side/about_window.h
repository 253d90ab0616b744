// The about window: the paper's about text, one label per line, lines with
// an "http://" address as link labels. Small and modeless; it closes itself
// when another window of the reader becomes active.
#pragma once

#include <QString>
#include <QWidget>

#include <vector>

class QFrame;
class QLabel;
class QPushButton;

class AboutWindow : public QWidget {
  Q_OBJECT

 public:
  // Builds the window from the about text file (GBK lines; a missing file
  // is an empty text) and shows it centred and active. A window left open
  // is replaced. The file is only read; removing it is the caller's.
  static AboutWindow* showAbout(QWidget* owner, const QString& aboutFile);
  // The living about window, or null.
  static AboutWindow* instance();

  // The line labels in line order (gaps have none).
  const std::vector<QLabel*>& lineLabels() const { return labels_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // Enter and Escape close the window, as its one button does.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  explicit AboutWindow(QWidget* owner);
  void buildLabels(const QString& aboutFile);
  void placeStrip();
  void onFocusWindowChanged(QWindow* focused);

  QLabel* empty_ = nullptr;
  QFrame* strip_ = nullptr;
  QPushButton* ok_ = nullptr;
  std::vector<QLabel*> labels_;
};
