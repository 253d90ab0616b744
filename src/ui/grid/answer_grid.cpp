#include "grid/answer_grid.h"

#include <QFontInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <limits>
#include <optional>

#include "desktop/accessible_text.h"
#include "grid/answer_grid_model.h"
#include "grid/cell_delegate.h"
#include "gbk_text.h"
#include "sheet/spoken_text.h"

namespace qzt::ui {
namespace {

constexpr int kFontPixels = 13;  // at 100%

// The header row's font is the sheet's, so its size is part of the sheet.
// The heading panels (the only labels in the grid) take their colours from
// here too: one sheet parsed once, not one per panel.
QString sheetWithHeaderFont(int fontPixels) {
  return QStringLiteral(
             "QTableView { background-color: rgb(194,252,175); gridline-color: rgb(128,128,128); }"
             "QHeaderView::section { background-color: rgb(251,226,168); color: black; padding: 0px;"
             " border: none; border-right: 1px solid rgb(128,128,128);"
             " border-bottom: 1px solid rgb(128,128,128); font-weight: bold; font-size: %1px; }"
             "QLabel { background-color: rgb(251,226,168); color: black; }")
      .arg(fontPixels);
}

}  // namespace

AnswerGrid::AnswerGrid(ExamSession& session, QWidget* parent)
    : QTableView(parent), session_(session), model_(new AnswerGridModel(session, this)) {
  setObjectName(QStringLiteral("StringGrid1"));
  setAccessibleName(QStringLiteral("答案区"));  // as its corner cell reads
  setModel(model_);
  setItemDelegate(new CellDelegate(this));
  setStyleSheet(sheetWithHeaderFont(kFontPixels));
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
  connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &AnswerGrid::placeRowControls);
  setHorizontalScrollMode(ScrollPerPixel);
  // The header row is part of the grid: a press there counts as one.
  horizontalHeader()->viewport()->installEventFilter(this);
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
  followTyping();
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
  // Styled by sheets, the header row and the heading strips keep the font
  // they were first shown with unless told.
  setStyleSheet(sheetWithHeaderFont(font.pixelSize()));
  for (QLabel* panel : std::as_const(panels_)) panel->setFont(font);
  for (QLineEdit* edit : std::as_const(edits_)) edit->setFont(editFont(edit));
  const QModelIndex current = currentIndex();
  showLayout(base_, model_->graded());
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
  model_->setLayout(grid::scaledLayout(base, zoom_), graded);
  applyLayout(graded);
}

// A row is its height plus its 1-pixel grid line; the grid's own default
// row height still decides where presses count and when a newly built grid
// makes room for its scroll bar.
int AnswerGrid::rowStep() const { return model_->layout().rowHeight + 1; }
int AnswerGrid::defaultRowStep() const { return model_->layout().defaultRowHeight + 1; }

void AnswerGrid::followTyping() {
  for (QLineEdit* edit : edits_) edit->setReadOnly(!session_.typingAllowed());
}

void AnswerGrid::applyLayout(bool graded) {
  verticalHeader()->setDefaultSectionSize(rowStep());
  horizontalHeader()->setFixedHeight(rowStep());
  const auto& widths = model_->layout().columnWidths;
  for (int c = 0; c < static_cast<int>(widths.size()); ++c)
    setColumnWidth(c, widths[static_cast<std::size_t>(c)] + 1);
  joinCoveredCells();
  if (!graded) showHint({});
}

// The cells a row control covers are one cell, which alone is read and
// takes the current cell: a heading's whole row, a text row's letters.
void AnswerGrid::joinCoveredCells() {
  clearSpans();
  const grid::Layout& layout = model_->layout();
  const int columns = model_->columnCount();
  if (columns > 1)
    for (int row : layout.headingRows) setSpan(row - 1, 0, 1, columns);
  if (layout.letterColumns > 1)
    for (int row : layout.textRows) setSpan(row - 1, 1, 1, layout.letterColumns);
}

int AnswerGrid::columnsWidth() const {
  int width = 0;
  for (int c = 0; c < model_->columnCount(); ++c) width += columnWidth(c);
  return width;
}

void AnswerGrid::fitWidth(int rowStep) {
  const grid::Layout& layout = model_->layout();
  int full = layout.contentWidth;
  if (grid::needsScrollRoom(layout.rowCount, rowStep, height())) full += grid::kScrollBarRoom;
  fullWidth_ = full;
  const int width = share_ > 0 ? std::min(full, share_) : full;
  setHorizontalScrollBarPolicy(width < full ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  if (width != this->width()) setFixedWidth(width);
}

void AnswerGrid::setShare(int width) {
  share_ = std::max(0, width);
  fitWidth(rowStep());
  placeRowControls();
}

void AnswerGrid::clearRowControls() {
  markedRow_ = 0;
  keptCell_ = QPoint(-1, -1);  // a new grid starts afresh
  qDeleteAll(panels_);
  panels_.clear();
  qDeleteAll(edits_);
  edits_.clear();
}

void AnswerGrid::createRowControls() {
  const grid::Layout& layout = model_->layout();
  for (int row : layout.headingRows) {
    const QString heading = fromGbk(session_.table().question(row).answer());
    auto* panel = new QLabel(viewport());
    panel->setObjectName(QStringLiteral("rowPanel%1").arg(panels_.size()));
    panel->setTextFormat(Qt::PlainText);  // paper text, never markup
    panel->setText(heading);
    panel->setToolTip(plainToolTip(heading));
    // The panel lies over the row; a press on it is not a press on the grid.
    panel->setAttribute(Qt::WA_NoMousePropagation);
    panel->setFont(font());
    panel->installEventFilter(this);  // the wheel scrolls the grid
    panel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    panel->setAutoFillBackground(true);
    panels_.append(panel);
  }
  editWidth_ = columnsWidth() - columnWidth(0) - 1;
  // A grid on its own (in tests) keeps its edits in its viewport.
  QWidget* host = parentWidget() ? parentWidget() : viewport();
  QWidget* previous = this;
  std::optional<QFont> editsFont;  // the same for every edit: they share a host
  for (int n = 0; n < static_cast<int>(layout.textRows.size()); ++n) {
    const int row = layout.textRows[static_cast<std::size_t>(n)];
    auto* edit = new AnswerEdit(host);
    edit->setObjectName(QStringLiteral("rowEdit%1").arg(n));
    edit->setAccessibleName(QString::fromStdString(rowEditName(session_.table(), row)));
    edit->setFrame(false);
    if (!editsFont) editsFont = editFont(edit);
    edit->setFont(*editsFont);
    // Long answers are kept whole, typed or imported.
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->installEventFilter(this);  // Enter and Escape go back to the grid
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
  const int shifted = -horizontalOffset();  // scrolled sideways past its share
  auto place = [&](QWidget* control, int row, int left, int width) {
    const int y = rowViewportPosition(row - 1);
    // The edits live beside the grid: they show only what the view shows.
    const bool beside = control->parentWidget() != viewport();
    if (beside) {
      const int right = std::min(left + width, viewport()->width());
      left = std::max(left, 0);
      width = right - left;
    }
    // Rows above the first visible row hide their control, and so do rows
    // below the view: a hidden control is not read out either.
    if (y < 0 || y >= viewHeight || width <= 0) {
      control->hide();
      return;
    }
    const QPoint at = viewport()->mapTo(control->parentWidget(), QPoint(left, y));
    control->setGeometry(at.x(), at.y(), width, beside ? std::min(layout.rowHeight, viewHeight - y) : layout.rowHeight);
    control->show();
  };
  for (int p = 0; p < panels_.size(); ++p)
    place(panels_[p], layout.headingRows[static_cast<std::size_t>(p)], shifted, panelWidth);
  for (int e = 0; e < edits_.size(); ++e)
    place(edits_[e], layout.textRows[static_cast<std::size_t>(e)], shifted + editLeft, editWidth_);
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

// Qt delivers the second press of a double click as this event instead of
// a press; it counts like any other press.
void AnswerGrid::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

bool AnswerGrid::eventFilter(QObject* watched, QEvent* event) {
  // The wheel over a heading strip or a row edit scrolls the grid under it:
  // strips keep presses to themselves, and the edits live beside the grid.
  if (event->type() == QEvent::Wheel &&
      (panels_.contains(qobject_cast<QLabel*>(watched)) || edits_.contains(qobject_cast<QLineEdit*>(watched)))) {
    wheelEvent(static_cast<QWheelEvent*>(event));
    return true;
  }
  if (event->type() == QEvent::KeyPress) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit && edits_.contains(edit) && leaveRowEdit(edit, *static_cast<QKeyEvent*>(event))) return true;
  }
  if (watched == horizontalHeader()->viewport() &&
      (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    // Above the letter area: it enters nothing, and after hand-in it
    // switches the hint off like a press anywhere else.
    if (!session_.answering()) showHint({});
  }
  return QTableView::eventFilter(watched, event);
}

void AnswerGrid::leftPress(const QPoint& viewportPos) {
  const QModelIndex cell = indexAt(viewportPos);
  const int row = cell.isValid() ? AnswerGridModel::gridRow(cell) : 0;
  if (session_.answering()) {
    // The session measures presses from the grid's top-left corner, header row included.
    const QPoint gridPos = viewportPos + QPoint(horizontalOffset(), horizontalHeader()->height());
    if (!cell.isValid() || !session_.inLetterArea(gridPos.x(), gridPos.y(), topRow(), zoom_)) return;
    if (session_.pressLetter(row, cell.column())) cellsChanged(row);
    return;
  }
  const auto hint = cell.isValid() ? session_.hintForPress(row, cell.column()) : std::nullopt;
  showHint(hint ? fromGbk(*hint) : QString());
}

void AnswerGrid::showHint(const QString& hint) {
  hint_ = hint;
  viewport()->setToolTip(plainToolTip(hint));
}

}  // namespace qzt::ui
