// The answer grid: a table view over AnswerGridModel, plus the controls laid
// over rows that are not answered by letters: a row panel over each section
// heading and a row edit over each text-answer row (the n-th such row owns
// the n-th control). Only those rows get widgets, so long papers scroll
// without a widget per cell.
//
// Keys answer as presses do: a letter chooses it on the current row, Space
// presses the current cell, arrows move it and Home/End go to the row's
// first and last letter; on a text-answer row typing and Enter go to its row
// edit, and Enter or Escape there come back on the next row. The row edits
// belong to the grid's parent, so assistive technology finds them beside
// the grid (a table shows it only cells), and follow it in the tab order.
#pragma once

#include <QList>
#include <QPoint>
#include <QTableView>

#include "sheet/exam_session.h"

class QAccessibleInterface;
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
  // Zooms the font and every pixel rule of the layout by `factor`.
  void setZoom(double factor);
  // Row edits take typing only while the session allows it (read-only once
  // the paper is handed in).
  void followTyping();
  // The widest the grid may be, so the page beside it keeps its share;
  // past it the grid scrolls sideways. 0: as wide as its columns.
  void setShare(int width);
  // The width of all its columns (and the vertical scroll bar's room).
  int fullWidth() const { return fullWidth_; }

  AnswerGridModel* answerModel() const { return model_; }
  const QList<QLabel*>& rowPanels() const { return panels_; }
  const QList<QLineEdit*>& rowEdits() const { return edits_; }
  // First visible normal row (grid rows count from 1 under the header).
  int topRow() const;
  // The hint a press after grading put on the grid (empty when off).
  QString hint() const { return hint_; }
  // Pixel position of a cell's centre in viewport coordinates.
  QPoint cellCentre(int row, int column) const;
  // The grid row of the current cell (0 when there is none).
  int currentRow() const;

  void keyboardSearch(const QString&) override {}  // keys never jump to a cell's text

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showLayout(const grid::Layout& base, bool graded);
  void applyLayout(bool graded);
  void joinCoveredCells();
  int rowStep() const;
  QFont editFont(const QLineEdit* edit) const;
  int defaultRowStep() const;
  void clearRowControls();
  void createRowControls();
  void placeRowControls();
  void fitWidth(int rowStep);
  void leftPress(const QPoint& viewportPos);
  void showHint(const QString& hint);
  int columnsWidth() const;
  // A key that answers (a letter, Space, Enter, typing) on the current cell.
  bool answerKey(GridKey key, char letter, const QString& typed);
  void moveCurrent(int row, int column);
  // The cell shown for `cell`: the first cell of a joined one it lies in.
  QModelIndex shownCell(const QModelIndex& cell) const;
  QLineEdit* rowEditOf(int row) const;
  // Enter or Escape in a row edit: back to the grid on the next row.
  bool leaveRowEdit(QLineEdit* edit, const QKeyEvent& key);
  // After entry changed row `row`: the cells are drawn again and assistive
  // technology hears their new state.
  void cellsChanged(int row);
  QAccessibleInterface* accessibleCell(int row, int column);
  void focusCurrentCell();
  // The panel or edit of the current row shows the focus frame, as a cell would.
  void markCurrentRow();
  void frameRowControl(int row, bool framed);

  ExamSession& session_;
  AnswerGridModel* model_ = nullptr;
  QList<QLabel*> panels_;
  QList<QLineEdit*> edits_;
  int editWidth_ = 0;
  int share_ = 0;
  int fullWidth_ = 0;
  int markedRow_ = 0;  // the row whose control shows the focus frame
  QPoint keptCell_{-1, -1};  // the current cell (column, model row) while the focus is away
  grid::Layout base_;  // the layout shown, before zoom
  double zoom_ = 1.0;
  QString hint_;
};

}  // namespace qzt::ui
