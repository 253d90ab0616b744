#include "grid/cell_delegate.h"

#include <QPainter>

namespace qzt::ui {

QColor CellDelegate::frameColour() { return QColor(0, 0, 160); }

void CellDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  option->features &= ~QStyleOptionViewItem::HasCheckIndicator;
}

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  QStyleOptionViewItem plain(option);
  plain.state &= ~QStyle::State_HasFocus;  // the style's own focus mark is a faint dotted line
  QStyledItemDelegate::paint(painter, plain, index);
  if (!(option.state & QStyle::State_HasFocus)) return;
  painter->save();
  QPen pen(frameColour(), kFrameWidth);
  pen.setJoinStyle(Qt::MiterJoin);
  painter->setPen(pen);
  painter->setBrush(Qt::NoBrush);
  const qreal inset = kFrameWidth / 2.0;
  painter->drawRect(QRectF(option.rect).adjusted(inset, inset, -inset, -inset));
  painter->restore();
}

}  // namespace qzt::ui
