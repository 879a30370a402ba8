#include "lister/qt/record_grid.h"

#include <QHeaderView>
#include <QScrollBar>

namespace lister::window {

void RecordGrid::scrollContentsBy(int dx, int dy) {
  QTableView::scrollContentsBy(dx, dy);
  KeepTopRowWhole();
}

void RecordGrid::updateGeometries() {
  QTableView::updateGeometries();
  KeepTopRowWhole();
}

void RecordGrid::KeepTopRowWhole() {
  QHeaderView* rows = verticalHeader();
  const int top = verticalScrollBar()->value();
  if (top >= rows->count()) {
    return;
  }
  const int offset = rows->sectionPosition(rows->logicalIndex(top));
  if (rows->offset() != offset) {
    rows->setOffset(offset);
    viewport()->update();
  }
}

}  // namespace lister::window
