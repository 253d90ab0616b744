// The answer grid by keyboard: keys answer by the session's entry rules,
// the current cell (or the row control over it) wears the focus frame, and
// assistive technology hears the cells that change and the cell it comes to.
#include <QAccessible>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <optional>

#include "grid/answer_grid.h"
#include "grid/answer_grid_model.h"

namespace qzt::ui {
namespace {

const char kCurrentRowFrame[] = "border: 2px solid rgb(0,0,160);";

// The answering meaning of a key without Ctrl, Alt or Meta.
struct TypedKey {
  GridKey key;
  char letter = 0;
};

std::optional<TypedKey> typedKey(const QKeyEvent& event) {
  const int key = event.key();
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return TypedKey{GridKey::Letter, static_cast<char>('A' + key - Qt::Key_A)};
  if (key == Qt::Key_Space) return TypedKey{GridKey::Space};
  if (key == Qt::Key_Return || key == Qt::Key_Enter) return TypedKey{GridKey::Enter};
  const QString text = event.text();
  if (!text.isEmpty() && text.at(0).isPrint()) return TypedKey{GridKey::Text};
  return std::nullopt;
}

}  // namespace

void AnswerGrid::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers chords = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
  const int row = currentRow();
  if ((event->modifiers() & chords) || row == 0) {
    QTableView::keyPressEvent(event);
    return;
  }
  if (event->key() == Qt::Key_Home || event->key() == Qt::Key_End) {
    const int column = event->key() == Qt::Key_Home
                           ? 1
                           : lastLetterColumn(session_.table(), model_->layout().letterColumns, row);
    moveCurrent(row, column);
    return;
  }
  const std::optional<TypedKey> typed = typedKey(*event);
  if (!typed) {
    QTableView::keyPressEvent(event);  // arrows, pages, Tab
    return;
  }
  answerKey(typed->key, typed->letter, event->text());
}

void AnswerGrid::inputMethodEvent(QInputMethodEvent* event) {
  // Text composed by an input method is typing, like a key with text.
  if (!event->commitString().isEmpty() && answerKey(GridKey::Text, 0, event->commitString())) {
    event->accept();
    return;
  }
  QTableView::inputMethodEvent(event);
}

bool AnswerGrid::answerKey(GridKey key, char letter, const QString& typed) {
  const QModelIndex current = currentIndex();
  if (!current.isValid()) return false;
  const int row = AnswerGridModel::gridRow(current);
  const KeyAction action = session_.pressKey(row, current.column(), key, letter);
  switch (action.kind) {
    case KeyAction::Kind::PressCell:
      cellsChanged(row);
      moveCurrent(row, action.column);
      return true;
    case KeyAction::Kind::ToRowEdit: {
      QLineEdit* edit = rowEditOf(row);
      if (!edit) return false;
      edit->setFocus(Qt::OtherFocusReason);
      if (key != GridKey::Enter) edit->insert(typed);
      return true;
    }
    case KeyAction::Kind::Nothing:
      break;
  }
  return false;
}

void AnswerGrid::moveCurrent(int row, int column) {
  const QModelIndex target = shownCell(model_->index(row - 1, column));
  if (target.isValid()) setCurrentIndex(target);
}

QModelIndex AnswerGrid::shownCell(const QModelIndex& cell) const {
  // A cell inside a joined one: its first cell is the one shown and read.
  const QModelIndex shown = cell.isValid() ? indexAt(visualRect(cell).center()) : QModelIndex();
  return shown.isValid() ? shown : cell;
}

QLineEdit* AnswerGrid::rowEditOf(int row) const {
  const int n = session_.sheet().textIndexOfRow(row);
  return n >= 0 && n < edits_.size() ? edits_[n] : nullptr;
}

bool AnswerGrid::leaveRowEdit(QLineEdit* edit, const QKeyEvent& key) {
  const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
  const bool chord = key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  if (key.key() != Qt::Key_Escape && !(enter && !chord)) return false;
  const int row = model_->layout().textRows[static_cast<std::size_t>(edits_.indexOf(edit))];
  moveCurrent(std::min(row + 1, model_->rowCount()), 1);
  setFocus(Qt::OtherFocusReason);
  return true;
}

void AnswerGrid::focusInEvent(QFocusEvent* event) {
  // Back where the keys left it; the first visit starts on the first letter
  // of the first row.
  if (!currentIndex().isValid() && model_->rowCount() > 0 && model_->columnCount() > 1) {
    const QModelIndex kept = model_->index(keptCell_.y(), keptCell_.x());
    selectionModel()->setCurrentIndex(shownCell(kept.isValid() ? kept : model_->index(0, 1)),
                                      QItemSelectionModel::NoUpdate);
  }
  QTableView::focusInEvent(event);
  markCurrentRow();
  // A screen reader coming to the grid reads the current cell, as it does
  // when the current cell moves: told after the grid's own focus event.
  if (QAccessible::isActive())
    QMetaObject::invokeMethod(this, &AnswerGrid::focusCurrentCell, Qt::QueuedConnection);
}

void AnswerGrid::focusCurrentCell() {
  const QModelIndex current = currentIndex();
  if (!hasFocus() || !current.isValid()) return;
  if (QAccessibleInterface* cell = accessibleCell(currentRow(), current.column())) {
    QAccessibleEvent focus(cell, QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
  }
}

void AnswerGrid::focusOutEvent(QFocusEvent* event) {
  QTableView::focusOutEvent(event);
  // The current cell reads as focused to assistive technology: away from
  // the grid it is kept aside, and no cell claims the focus.
  const QModelIndex current = currentIndex();
  if (current.isValid()) {
    keptCell_ = QPoint(current.column(), current.row());
    selectionModel()->clearCurrentIndex();
  }
  markCurrentRow();
}

void AnswerGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  markCurrentRow();
}

void AnswerGrid::markCurrentRow() {
  const int row = hasFocus() ? currentRow() : 0;
  if (row == markedRow_) return;
  frameRowControl(markedRow_, false);
  frameRowControl(row, true);
  markedRow_ = row;
}

void AnswerGrid::frameRowControl(int row, bool framed) {
  const grid::Layout& layout = model_->layout();
  const QString frame = framed ? QString::fromLatin1(kCurrentRowFrame) : QString();
  const auto at = [row](const std::vector<int>& rows) {
    const auto found = std::lower_bound(rows.begin(), rows.end(), row);
    return found != rows.end() && *found == row ? static_cast<int>(found - rows.begin()) : -1;
  };
  const int panel = at(layout.headingRows);
  if (panel >= 0 && panel < panels_.size())
    panels_[panel]->setStyleSheet(frame);
  const int edit = at(layout.textRows);
  if (edit >= 0 && edit < edits_.size()) edits_[edit]->setStyleSheet(frame);
}

QAccessibleInterface* AnswerGrid::accessibleCell(int row, int column) {
  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(this);
  QAccessibleTableInterface* cells = table ? table->tableInterface() : nullptr;
  return cells ? cells->cellAt(row - 1, column) : nullptr;
}

void AnswerGrid::cellsChanged(int row) {
  model_->rowChanged(row);
  if (!QAccessible::isActive()) return;
  QAccessible::State checked;
  checked.checked = true;
  for (int column = 1; column <= model_->layout().letterColumns; ++column) {
    QAccessibleInterface* cell = accessibleCell(row, column);
    if (!cell) continue;
    QAccessibleStateChangeEvent state(cell, checked);
    QAccessible::updateAccessibility(&state);
    QAccessibleEvent name(cell, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&name);
  }
}

}  // namespace qzt::ui
