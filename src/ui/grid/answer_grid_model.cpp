#include "grid/answer_grid_model.h"

#include <QColor>
#include <QFont>

#include "gbk_text.h"
#include "sheet/spoken_text.h"

namespace qzt::ui {
namespace {

const QColor kCellColour(194, 252, 175);
const QColor kFixedColour(251, 226, 168);

}  // namespace

AnswerGridModel::AnswerGridModel(const ExamSession& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session) {}

void AnswerGridModel::setLayout(const grid::Layout& layout, bool graded) {
  beginResetModel();
  layout_ = layout;
  graded_ = graded;
  endResetModel();
}

void AnswerGridModel::rowChanged(int row) {
  if (row < 1 || row > rowCount()) return;
  emit dataChanged(index(row - 1, 0), index(row - 1, columnCount() - 1));
}

void AnswerGridModel::refresh() {
  if (rowCount() == 0 || columnCount() == 0) return;
  emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int AnswerGridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return std::max(0, layout_.rowCount - 1);
}

int AnswerGridModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(layout_.columnWidths.size());
}

const GradedRow* AnswerGridModel::gradedRow(int row) const {
  const auto& report = session_.report();
  if (!graded_ || !report) return nullptr;
  const auto& rows = report->rows;
  if (row - 1 < static_cast<int>(rows.size()) && rows[static_cast<std::size_t>(row - 1)].row == row)
    return &rows[static_cast<std::size_t>(row - 1)];
  for (const GradedRow& r : rows)
    if (r.row == row) return &r;
  return nullptr;
}

QString AnswerGridModel::cellText(int row, int column) const {
  if (column == 0) {
    const auto& labels = layout_.rowLabels;
    return row < static_cast<int>(labels.size()) ? fromGbk(labels[static_cast<std::size_t>(row)])
                                                 : QString();
  }
  const int columns = columnCount();
  if (graded_ && column >= columns - 2) {
    const GradedRow* graded = gradedRow(row);
    if (!graded || graded->result == RowResult::NotGraded) return {};
    if (column == columns - 1) return fromGbk(graded->correct);
    return QString::fromUtf8(graded->result == RowResult::Right ? kRight : kWrong);
  }
  return fromGbk(session_.sheet().cell(row, column));
}

QVariant AnswerGridModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  switch (role) {
    case Qt::DisplayRole:
      return cellText(gridRow(index), index.column());
    case Qt::BackgroundRole:
      return index.column() == 0 ? kFixedColour : kCellColour;
    case Qt::ForegroundRole:
      return QColor(Qt::black);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::AccessibleTextRole:
    case Qt::AccessibleDescriptionRole:
    case Qt::CheckStateRole:
      return spoken(index, role);
    default:
      return {};
  }
}

QVariant AnswerGridModel::spoken(const QModelIndex& index, int role) const {
  const CellSpeech speech = describeCell(session_, gridRow(index), index.column(), graded_);
  switch (role) {
    case Qt::AccessibleTextRole:
      // Nothing to say (the start-up grid): the shown text is read.
      return speech.name.empty() ? QVariant() : QString::fromStdString(speech.name);
    case Qt::AccessibleDescriptionRole:
      return speech.description.empty() ? QVariant() : QString::fromStdString(speech.description);
    case Qt::CheckStateRole:
      if (!speech.checkable) return {};
      return static_cast<int>(speech.checked ? Qt::Checked : Qt::Unchecked);
    default:
      return {};
  }
}

QVariant AnswerGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Vertical) {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    // The question of the row; the start-up grid's rows keep their numbers.
    const std::string name = rowName(session_.table(), section + 1);
    return name.empty() ? QVariant(section + 1) : QVariant(QString::fromStdString(name));
  }
  if (role != Qt::DisplayRole) return {};
  if (section < 0 || section >= columnCount()) return {};
  const auto& headers = layout_.headers;
  return section < static_cast<int>(headers.size())
             ? QString::fromStdString(headers[static_cast<std::size_t>(section)])
             : QString();
}

Qt::ItemFlags AnswerGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace qzt::ui
