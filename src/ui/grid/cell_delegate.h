// Paints the answer grid's cells: their text on their colour, and a frame
// round the current cell while the grid has the focus, thick and dark
// enough to see on the green cells. The checked state the model gives for
// assistive technology draws no check box.
#pragma once

#include <QStyledItemDelegate>

namespace qzt::ui {

class CellDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  // The frame round the current cell.
  static QColor frameColour();
  static constexpr int kFrameWidth = 2;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace qzt::ui
