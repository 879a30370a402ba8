// How the record table draws its cells and its fixed header row: text on one line, left-aligned,
// 2 pixels in from the cell's left and top edges, clipped to the cell, on an opaque background,
// with no focus rectangle; the header row in the button face colour with raised edges.
#pragma once

#include <QColor>
#include <QHeaderView>
#include <QStyledItemDelegate>

#include "lister/desktop/window_layout.h"

namespace lister::window {

// The grid lines between the cells: visible on white under any desktop palette.
inline const QColor kGridLineQColour{kGridLineColour.red, kGridLineColour.green,
                                     kGridLineColour.blue};

class GridCellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};

class GridHeaderView : public QHeaderView {
  Q_OBJECT

 public:
  explicit GridHeaderView(QWidget* parent = nullptr);

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

}  // namespace lister::window
