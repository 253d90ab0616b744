// The answer grid: a table view over AnswerGridModel, plus the controls laid
// over rows that are not answered by letters: a row panel over each section
// heading and a row edit over each text-answer row (the n-th such row owns
// the n-th control). Only those rows get widgets, so long papers scroll
// without a widget per cell.
#pragma once

#include <QList>
#include <QTableView>

#include "sheet/exam_session.h"

class QLabel;
class QLineEdit;

namespace qzt::ui {

class AnswerGridModel;

class AnswerGrid : public QTableView {
  Q_OBJECT
 public:
  explicit AnswerGrid(ExamSession& session, QWidget* parent = nullptr);

  // The empty grid of start-up.
  void showStartup();
  // The grid of the session's paper: new rows, new row controls, no answers.
  void rebuild();
  // The two columns that grading adds; the row controls stay.
  void showGraded();
  // Cells and row edits read again from the session (answers imported).
  void refreshAnswers();
  // Row edits take typing only while the session allows it (read-only once
  // the paper is handed in).
  void followTyping();

  AnswerGridModel* answerModel() const { return model_; }
  const QList<QLabel*>& rowPanels() const { return panels_; }
  const QList<QLineEdit*>& rowEdits() const { return edits_; }
  // First visible normal row (grid rows count from 1 under the header).
  int topRow() const;
  // The hint a press after grading put on the grid (empty when off).
  QString hint() const { return hint_; }
  // Pixel position of a cell's centre in viewport coordinates.
  QPoint cellCentre(int row, int column) const;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void applyLayout(bool graded);
  void clearRowControls();
  void createRowControls();
  void placeRowControls();
  void fitWidth(int rowStep);
  void leftPress(const QPoint& viewportPos);
  void showHint(const QString& hint);
  int columnsWidth() const;

  ExamSession& session_;
  AnswerGridModel* model_ = nullptr;
  QList<QLabel*> panels_;
  QList<QLineEdit*> edits_;
  int editWidth_ = 0;
  QString hint_;
};

}  // namespace qzt::ui
