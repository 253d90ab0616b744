#include "grid/answer_grid.h"

#include <QAccessible>
#include <QFontInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>
#include <optional>

#include "grid/answer_grid_model.h"
#include "grid/cell_delegate.h"
#include "gbk_text.h"
#include "sheet/spoken_text.h"

namespace qzt::ui {
namespace {

constexpr int kFontPixels = 13;  // at 100%

const char kGridStyle[] =
    "QTableView { background-color: rgb(194,252,175); gridline-color: rgb(128,128,128); }"
    "QHeaderView::section { background-color: rgb(251,226,168); color: black; padding: 0px;"
    " border: none; border-right: 1px solid rgb(128,128,128);"
    " border-bottom: 1px solid rgb(128,128,128); font-weight: bold; }";
const char kPanelStyle[] = "background-color: rgb(251,226,168); color: black;";
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

AnswerGrid::AnswerGrid(ExamSession& session, QWidget* parent)
    : QTableView(parent), session_(session), model_(new AnswerGridModel(session, this)) {
  setObjectName(QStringLiteral("StringGrid1"));
  setAccessibleName(QStringLiteral("答案区"));  // as its corner cell reads
  setModel(model_);
  setItemDelegate(new CellDelegate(this));
  setStyleSheet(QString::fromLatin1(kGridStyle));
  QFont font = this->font();
  font.setPixelSize(kFontPixels);
  font.setBold(true);
  setFont(font);
  setEditTriggers(NoEditTriggers);
  setSelectionMode(NoSelection);
  setTabKeyNavigation(false);  // Tab leaves the grid for the row edits
  setShowGrid(true);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollMode(ScrollPerItem);
  verticalHeader()->hide();
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setHighlightSections(false);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &AnswerGrid::placeRowControls);
  showStartup();
}

void AnswerGrid::showStartup() {
  clearRowControls();
  showLayout(grid::startupLayout(5, 5), false);
  fitWidth(defaultRowStep());
}

void AnswerGrid::rebuild() {
  clearRowControls();
  showLayout(session_.layout(), false);
  scrollToTop();
  fitWidth(defaultRowStep());
  createRowControls();
  placeRowControls();
}

void AnswerGrid::showGraded() {
  // The new columns reset the model; the current cell stays where it was.
  const QModelIndex current = currentIndex();
  showLayout(session_.gradedLayout(), true);
  fitWidth(rowStep());
  placeRowControls();
  if (current.isValid()) setCurrentIndex(model_->index(current.row(), current.column()));
}

void AnswerGrid::refreshAnswers() {
  model_->refresh();
  for (int n = 0; n < edits_.size(); ++n) {
    QLineEdit* edit = edits_[n];
    const QSignalBlocker quiet(edit);
    edit->setText(fromGbk(session_.sheet().textAnswer(n)));
  }
}

void AnswerGrid::setZoom(double factor) {
  zoom_ = factor;
  QFont font = this->font();
  font.setPixelSize(qMax(1, qRound(kFontPixels * factor)));
  setFont(font);
  for (QLineEdit* edit : std::as_const(edits_)) edit->setFont(editFont(edit));
  const QModelIndex current = currentIndex();
  showLayout(base_, graded_);
  fitWidth(rowStep());
  editWidth_ = columnsWidth() - columnWidth(0) - 1;
  placeRowControls();
  if (current.isValid()) setCurrentIndex(model_->index(current.row(), current.column()));
}

// The row edits keep their host's font, zoomed as the grid is.
QFont AnswerGrid::editFont(const QLineEdit* edit) const {
  QFont font = edit->parentWidget()->font();
  font.setPixelSize(qMax(1, qRound(QFontInfo(font).pixelSize() * zoom_)));
  return font;
}

void AnswerGrid::showLayout(const grid::Layout& base, bool graded) {
  base_ = base;
  graded_ = graded;
  model_->setLayout(grid::scaledLayout(base, zoom_), graded);
  applyLayout(graded);
}

// A row is its height plus its 1-pixel grid line; the grid's own default
// row height still decides where presses count and when a newly built grid
// makes room for its scroll bar.
int AnswerGrid::rowStep() const { return model_->layout().rowHeight + 1; }
int AnswerGrid::defaultRowStep() const { return model_->layout().defaultRowHeight + 1; }

void AnswerGrid::applyLayout(bool graded) {
  verticalHeader()->setDefaultSectionSize(rowStep());
  horizontalHeader()->setFixedHeight(rowStep());
  const auto& widths = model_->layout().columnWidths;
  for (int c = 0; c < static_cast<int>(widths.size()); ++c)
    setColumnWidth(c, widths[static_cast<std::size_t>(c)] + 1);
  if (!graded) viewport()->setToolTip({});
}

int AnswerGrid::columnsWidth() const {
  int width = 0;
  for (int c = 0; c < model_->columnCount(); ++c) width += columnWidth(c);
  return width;
}

void AnswerGrid::fitWidth(int rowStep) {
  const grid::Layout& layout = model_->layout();
  int width = layout.contentWidth;
  if (grid::needsScrollRoom(layout.rowCount, rowStep, height())) width += grid::kScrollBarRoom;
  if (width != this->width()) setFixedWidth(width);
}

void AnswerGrid::clearRowControls() {
  markedRow_ = 0;
  qDeleteAll(panels_);
  panels_.clear();
  qDeleteAll(edits_);
  edits_.clear();
}

void AnswerGrid::createRowControls() {
  const grid::Layout& layout = model_->layout();
  for (int row : layout.headingRows) {
    const QString heading = fromGbk(session_.table().question(row).answer());
    auto* panel = new QLabel(heading, viewport());
    panel->setObjectName(QStringLiteral("rowPanel%1").arg(panels_.size()));
    panel->setToolTip(heading);
    panel->setStyleSheet(QString::fromLatin1(kPanelStyle));
    panel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    panel->setAutoFillBackground(true);
    panels_.append(panel);
  }
  editWidth_ = columnsWidth() - columnWidth(0) - 1;
  // A grid on its own (in tests) keeps its edits in its viewport.
  QWidget* host = parentWidget() ? parentWidget() : viewport();
  QWidget* previous = this;
  for (int n = 0; n < static_cast<int>(layout.textRows.size()); ++n) {
    const int row = layout.textRows[static_cast<std::size_t>(n)];
    auto* edit = new QLineEdit(host);
    edit->setObjectName(QStringLiteral("rowEdit%1").arg(n));
    edit->setAccessibleName(QString::fromStdString(rowEditName(session_.table(), row)));
    edit->setFrame(false);
    edit->setFont(editFont(edit));
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textChanged, this,
            [this, n](const QString& text) { session_.setTextAnswer(n, toGbkString(text)); });
    setTabOrder(previous, edit);
    previous = edit;
    edits_.append(edit);
  }
}

void AnswerGrid::placeRowControls() {
  const grid::Layout& layout = model_->layout();
  const int viewHeight = viewport()->height();
  const int panelWidth = columnsWidth() - 1;
  const int editLeft = columnWidth(0);
  auto place = [&](QWidget* control, int row, int left, int width) {
    const int y = rowViewportPosition(row - 1);
    // Rows above the first visible row hide their control, and so do rows
    // below the view: a hidden control is not read out either.
    if (y < 0 || y >= viewHeight) {
      control->hide();
      return;
    }
    const QPoint at = viewport()->mapTo(control->parentWidget(), QPoint(left, y));
    control->setGeometry(at.x(), at.y(), width, layout.rowHeight);
    control->show();
  };
  for (int p = 0; p < panels_.size(); ++p)
    place(panels_[p], layout.headingRows[static_cast<std::size_t>(p)], 0, panelWidth);
  for (int e = 0; e < edits_.size(); ++e)
    place(edits_[e], layout.textRows[static_cast<std::size_t>(e)], editLeft, editWidth_);
}

void AnswerGrid::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  // Only a change of height is the answer area resizing; a width change is
  // this grid fitting its columns.
  if (event->size().height() != event->oldSize().height()) fitWidth(rowStep());
  placeRowControls();
}

void AnswerGrid::moveEvent(QMoveEvent* event) {
  QTableView::moveEvent(event);
  placeRowControls();  // the row edits live beside the grid, not in it
}

int AnswerGrid::topRow() const {
  const int first = rowAt(0);
  return first < 0 ? 1 : first + 1;
}

QString AnswerGrid::hint() const { return viewport()->toolTip(); }

QPoint AnswerGrid::cellCentre(int row, int column) const {
  return visualRect(model_->index(row - 1, column)).center();
}

int AnswerGrid::currentRow() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? AnswerGridModel::gridRow(current) : 0;
}

void AnswerGrid::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  QTableView::mousePressEvent(event);  // makes the pressed cell the current cell
  leftPress(event->position().toPoint());
}

// Every press counts once: the second press of a double click has already
// arrived as a press of its own, so the double click adds nothing.
void AnswerGrid::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void AnswerGrid::leftPress(const QPoint& viewportPos) {
  const QModelIndex cell = indexAt(viewportPos);
  const int row = cell.isValid() ? AnswerGridModel::gridRow(cell) : 0;
  if (session_.answering()) {
    // The session measures presses from the grid's top-left corner, header row included.
    const QPoint gridPos = viewportPos + QPoint(0, horizontalHeader()->height());
    if (!cell.isValid() || !session_.inLetterArea(gridPos.x(), gridPos.y(), topRow(), zoom_)) return;
    if (session_.pressLetter(row, cell.column())) cellsChanged(row);
    return;
  }
  const auto hint = cell.isValid() ? session_.hintForPress(row, cell.column()) : std::nullopt;
  viewport()->setToolTip(hint ? fromGbk(*hint) : QString());
}

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
  const QModelIndex target = model_->index(row - 1, column);
  if (target.isValid()) setCurrentIndex(target);
}

QLineEdit* AnswerGrid::rowEditOf(int row) const {
  const int n = session_.sheet().textIndexOfRow(row);
  return n >= 0 && n < edits_.size() ? edits_[n] : nullptr;
}

bool AnswerGrid::eventFilter(QObject* watched, QEvent* event) {
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (!edit || event->type() != QEvent::KeyPress || !edits_.contains(edit))
    return QTableView::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  const bool back = key->key() == Qt::Key_Escape ||
                    ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                     !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)));
  if (!back) return false;
  const int row = model_->layout().textRows[static_cast<std::size_t>(edits_.indexOf(edit))];
  moveCurrent(std::min(row + 1, model_->rowCount()), 1);
  setFocus(Qt::OtherFocusReason);
  return true;
}

void AnswerGrid::focusInEvent(QFocusEvent* event) {
  // The first visit starts on the first letter of the first row.
  if (!currentIndex().isValid() && model_->rowCount() > 0 && model_->columnCount() > 1)
    selectionModel()->setCurrentIndex(model_->index(0, 1), QItemSelectionModel::NoUpdate);
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
    panels_[panel]->setStyleSheet(QString::fromLatin1(kPanelStyle) + frame);
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
