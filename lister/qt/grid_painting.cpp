#include "lister/qt/grid_painting.h"

#include <qdrawutil.h>
#include <QPainter>
#include "lister/desktop/window_layout.h"

namespace lister::window {

namespace {

void DrawCellText(QPainter& painter, const QRect& cell, const QString& text) {
  painter.save();
  painter.setClipRect(cell);
  painter.drawText(cell.adjusted(kCellTextInset, kCellTextInset, 0, 0),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
  painter.restore();
}

}  // namespace

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  const bool selected = option.state.testFlag(QStyle::State_Selected);
  const QPalette::ColorGroup group =
      option.state.testFlag(QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
  painter->fillRect(option.rect,
                    option.palette.brush(group, selected ? QPalette::Highlight : QPalette::Base));
  painter->setPen(
      option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
  painter->setFont(option.font);
  DrawCellText(*painter, option.rect, index.data(Qt::DisplayRole).toString());
}

GridHeaderView::GridHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

void GridHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  if (!rect.isValid()) {
    return;
  }
  // The last pixel column and row are the grid lines between the fixed cells.
  const QRect cell = rect.adjusted(0, 0, -1, -1);
  const QPalette& colours = palette();
  painter->fillRect(rect, colours.color(QPalette::Dark));
  qDrawShadePanel(painter, cell, colours, false, 1, &colours.brush(QPalette::Button));
  painter->setPen(colours.color(QPalette::ButtonText));
  painter->setFont(font());
  DrawCellText(*painter, cell,
               model() ? model()->headerData(logicalIndex, orientation()).toString() : QString());
}

}  // namespace lister::window
