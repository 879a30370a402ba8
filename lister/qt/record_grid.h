// The record table's view: a table scrolled by whole rows whose top visible row is always whole,
// with one range of selected rows that the keyboard extends as far as the first and last rows.
#pragma once

#include <QTableView>

namespace lister::window {

class RecordGrid : public QTableView {
  Q_OBJECT

 public:
  using QTableView::QTableView;

 signals:
  // Ctrl+C or Ctrl+Insert: the selected rows are to go to the clipboard.
  void CopyRequested();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override;
  void scrollContentsBy(int dx, int dy) override;
  void updateGeometries() override;

 private:
  // Scrolled to the end, QTableView aligns the last row with the bottom edge and the top row
  // lies half under the header row. Here the top row starts at the top edge, and any space left
  // stays below the last row.
  void KeepTopRowWhole();
};

}  // namespace lister::window
