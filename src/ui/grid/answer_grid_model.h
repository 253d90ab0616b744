// The answer grid's cells as a table model over the exam session: the
// label column, the letter cells of the answer sheet and, once graded, the
// result and correct-answer columns. Model row r is grid row r + 1; the
// grid's header row is the view's horizontal header. Assistive technology
// reads the cells through the accessible roles and the check state, and
// the rows through their vertical header (the question).
#pragma once

#include <QAbstractTableModel>

#include "sheet/exam_session.h"
#include "sheet/grid_layout.h"

namespace qzt::ui {

class AnswerGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit AnswerGridModel(const ExamSession& session, QObject* parent = nullptr);

  // A new shape: start-up, a loaded paper, or the graded paper (`graded`
  // adds the result and correct-answer columns from the session's report).
  void setLayout(const grid::Layout& layout, bool graded);
  const grid::Layout& layout() const { return layout_; }
  bool graded() const { return graded_; }

  // The cells of grid row `row` changed in the session.
  void rowChanged(int row);
  // Every cell may have changed (answers imported).
  void refresh();

  static int gridRow(const QModelIndex& index) { return index.row() + 1; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  QString cellText(int row, int column) const;
  QVariant spoken(const QModelIndex& index, int role) const;
  const GradedRow* gradedRow(int row) const;

  const ExamSession& session_;
  grid::Layout layout_;
  bool graded_ = false;
};

}  // namespace qzt::ui
