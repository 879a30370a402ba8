#include "lister/qt/record_grid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

namespace lister::window {

namespace {

bool IsCopyKey(const QKeyEvent& event) {
  const Qt::KeyboardModifiers chord = event.modifiers() & ~Qt::KeypadModifier;
  return chord == Qt::ControlModifier &&
         (event.key() == Qt::Key_C || event.key() == Qt::Key_Insert);
}

// Ctrl+Home or Ctrl+End, with or without Shift.
bool IsCtrlHomeOrEnd(const QKeyEvent& event) {
  const Qt::KeyboardModifiers chord = event.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
  return chord == Qt::ControlModifier &&
         (event.key() == Qt::Key_Home || event.key() == Qt::Key_End);
}

}  // namespace

void RecordGrid::keyPressEvent(QKeyEvent* event) {
  if (IsCopyKey(*event)) {
    emit CopyRequested();
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
  // The view scrolls only when the current row changes; the first or last row is brought into
  // view also when it is current already.
  if (IsCtrlHomeOrEnd(*event) && currentIndex().isValid()) {
    scrollTo(currentIndex());
  }
}

// Qt moves the current row on Ctrl+Home or Ctrl+End without touching the selection, which then
// no longer holds the current row; here they select as Home and End do in a list, Shift extending
// the range from where it started. Ctrl adds nothing to a click either: with one range only, a
// click without Shift starts a new range.
QItemSelectionModel::SelectionFlags RecordGrid::selectionCommand(const QModelIndex& index,
                                                                 const QEvent* event) const {
  constexpr QItemSelectionModel::SelectionFlags kNewRange =
      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
  if (event != nullptr && event->type() == QEvent::KeyPress &&
      IsCtrlHomeOrEnd(*static_cast<const QKeyEvent*>(event))) {
    const bool extend = static_cast<const QKeyEvent*>(event)->modifiers() & Qt::ShiftModifier;
    return extend ? QItemSelectionModel::SelectCurrent | QItemSelectionModel::Rows : kNewRange;
  }
  if (event != nullptr && event->type() == QEvent::MouseButtonPress) {
    const Qt::KeyboardModifiers chord = static_cast<const QMouseEvent*>(event)->modifiers();
    if (chord.testFlag(Qt::ControlModifier) && !chord.testFlag(Qt::ShiftModifier)) {
      return kNewRange;
    }
  }
  return QTableView::selectionCommand(index, event);
}

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
